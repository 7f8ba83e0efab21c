#include "performance/performance_json.h"

#include <QByteArray>
#include <QJsonArray>
#include <charconv>
#include <cmath>
#include <limits>

#include "synth/numeric.h"

namespace scrivola {
namespace {

constexpr std::size_t kMaxTextLength = 256;
// Pen positions beyond this many twips from the surface's origin are no
// mouse's.
constexpr double kMaxPosition = 1e7;
// Clock readings in seconds beyond this lie some thirty million years away.
constexpr double kMaxClock = 1e15;
constexpr std::uint32_t kMaxRunLength = 1'000'000;
constexpr qsizetype kMaxRuns = 4096;
constexpr qsizetype kMaxDrawingBytes = 6 * 1024 * 1024;

const char* const kEventKinds[] = {"press", "move",    "release", "swatch", "slider",
                                   "check", "command", "tick",    "decay",  "end"};
const char* const kSliderNames[] = {"Slider1", "VScroll1"};
const char* const kTextKeys[] = {"amsp", "fmsp", "amsp2", "cut", "cut2", "amount"};
constexpr ParameterText kTexts[] = {&SynthState::amsp, &SynthState::fmsp, &SynthState::amsp2,
                                    &SynthState::cut,  &SynthState::cut2, &SynthState::amount};

// A text from the file as a message may show it: on one line, short.
QString shown(const QString& text) {
    QString result = text.left(40);
    for (QChar& c : result) {
        if (c.category() == QChar::Other_Control || c == QChar::LineSeparator ||
            c == QChar::ParagraphSeparator) {
            c = QChar::ReplacementCharacter;
        }
    }
    return result;
}

QString quoted(const char* key) {
    return QLatin1Char('"') + QLatin1String(key) + QLatin1Char('"');
}

// A single-precision value as JSON: the shortest decimal that reads back as
// the same float, so that files stay small and readable; the three values a
// number cannot hold as text.
QJsonValue singleValue(float value) {
    if (std::isnan(value)) {
        return QStringLiteral("NaN");
    }
    if (std::isinf(value)) {
        return value > 0 ? QStringLiteral("Infinity") : QStringLiteral("-Infinity");
    }
    char text[32];
    const auto written = std::to_chars(text, text + sizeof text, value);
    double shortest = 0.0;
    std::from_chars(text, written.ptr, shortest);
    return toSingle(shortest) == value ? shortest : static_cast<double>(value);
}

QJsonValue optionalSingle(const std::optional<float>& value) {
    return value ? singleValue(*value) : QJsonValue(QJsonValue::Null);
}

// Reads the fields of one object, remembering the first fault.
class Fields {
public:
    explicit Fields(const QJsonObject& object) : object_(object) {}

    const QString& error() const { return error_; }
    bool ok() const { return error_.isEmpty(); }
    bool has(const char* key) const { return object_.contains(QLatin1String(key)); }

    template <typename T>
    void integer(const char* key, long long minimum, long long maximum, T& out, bool required) {
        const QJsonValue value = object_.value(QLatin1String(key));
        if (!present(key, value, required)) {
            return;
        }
        const double number = value.toDouble(std::numeric_limits<double>::quiet_NaN());
        if (!value.isDouble() || number != std::floor(number) || number < double(minimum) ||
            number > double(maximum)) {
            fail(quoted(key) +
                 QStringLiteral(" must be a whole number from %1 to %2").arg(minimum).arg(maximum));
            return;
        }
        out = static_cast<T>(number);
    }

    void number(const char* key, double minimum, double maximum, double& out, bool required) {
        const QJsonValue value = object_.value(QLatin1String(key));
        if (!present(key, value, required)) {
            return;
        }
        const double number = value.toDouble();
        if (!value.isDouble() || !(number >= minimum && number <= maximum)) {
            fail(quoted(key) + QStringLiteral(" must be a number from %1 to %2")
                                   .arg(minimum, 0, 'g', 10)
                                   .arg(maximum, 0, 'g', 10));
            return;
        }
        out = number;
    }

    // A single-precision value; non-finite ones only as their names.
    void single(const char* key, float& out, bool required, double limit) {
        const QJsonValue value = object_.value(QLatin1String(key));
        if (!present(key, value, required)) {
            return;
        }
        if (const std::optional<float> read = singleFrom(value, limit)) {
            out = *read;
        } else {
            fail(quoted(key) + QStringLiteral(" must be a number within %1").arg(limit, 0, 'g'));
        }
    }

    // The value's float; a number beyond `limit` (or infinite once single)
    // is refused, and the names of the non-finite values are taken only
    // when `limit` is infinite.
    static std::optional<float> singleFrom(const QJsonValue& value, double limit) {
        if (value.isDouble()) {
            const float read = toSingle(value.toDouble());
            if (std::isfinite(read) && std::fabs(read) <= limit) {
                return read;
            }
            return std::nullopt;
        }
        if (value.isString() && std::isinf(limit)) {
            const QString name = value.toString();
            if (name == QLatin1String("NaN")) {
                return std::numeric_limits<float>::quiet_NaN();
            }
            if (name == QLatin1String("Infinity")) {
                return std::numeric_limits<float>::infinity();
            }
            if (name == QLatin1String("-Infinity")) {
                return -std::numeric_limits<float>::infinity();
            }
        }
        return std::nullopt;
    }

    void text(const char* key, std::string& out) {
        const QJsonValue value = object_.value(QLatin1String(key));
        if (!present(key, value, false)) {
            return;
        }
        const QByteArray bytes = value.toString().toUtf8();
        if (!value.isString() || std::size_t(bytes.size()) > kMaxTextLength) {
            fail(quoted(key) +
                 QStringLiteral(" must be a text of at most %1 bytes").arg(kMaxTextLength));
            return;
        }
        out = bytes.toStdString();
    }

    // Base64 text of at most `maxBytes` decoded bytes.
    void bytes(const char* key, qsizetype maxBytes, QByteArray& out) {
        const QJsonValue value = object_.value(QLatin1String(key));
        if (!present(key, value, false)) {
            return;
        }
        const QByteArray text = value.toString().toLatin1();
        const auto decoded =
            QByteArray::fromBase64Encoding(text, QByteArray::AbortOnBase64DecodingErrors);
        if (!value.isString() || !decoded || decoded.decoded.size() > maxBytes) {
            fail(quoted(key) + QStringLiteral(" must be base64 of at most %1 bytes").arg(maxBytes));
            return;
        }
        out = decoded.decoded;
    }

    // One of `names`; its index.
    template <std::size_t N>
    void name(const char* key, const char* const (&names)[N], int& out) {
        const QJsonValue value = object_.value(QLatin1String(key));
        if (!present(key, value, true)) {
            return;
        }
        const QString given = value.toString();
        for (std::size_t i = 0; i < N; ++i) {
            if (value.isString() && given == QLatin1String(names[i])) {
                out = static_cast<int>(i);
                return;
            }
        }
        fail(quoted(key) + QStringLiteral(" names nothing known: ") +
             (value.isString() ? QLatin1Char('"') + shown(given) + QLatin1Char('"')
                               : QStringLiteral("not a text")));
    }

    void fail(const QString& reason) {
        if (error_.isEmpty()) {
            error_ = reason;
        }
    }

private:
    bool present(const char* key, const QJsonValue& value, bool required) {
        if (!ok()) {
            return false;
        }
        if (value.isUndefined()) {
            if (required) {
                fail(quoted(key) + QStringLiteral(" is missing"));
            }
            return false;
        }
        return true;
    }

    const QJsonObject& object_;
    QString error_;
};

QJsonValue tableValue(const WaveTable& table) {
    const QByteArray bytes(reinterpret_cast<const char*>(table.data()), qsizetype(table.size()));
    return QString::fromLatin1(bytes.toBase64());
}

void readTable(Fields& fields, const char* key, WaveTable& table) {
    QByteArray bytes;
    fields.bytes(key, kTableSize, bytes);
    if (!fields.ok() || !fields.has(key)) {
        return;
    }
    if (bytes.size() != kTableSize) {
        fields.fail(quoted(key) + QStringLiteral(" must hold %1 bytes").arg(kTableSize));
        return;
    }
    std::copy(bytes.cbegin(), bytes.cend(), table.begin());
}

void readReadings(const QJsonObject& object, Fields& fields, std::vector<ClockRun>& runs) {
    runs.clear();
    const QJsonValue value = object.value(QLatin1String("c"));
    if (value.isUndefined() || !fields.ok()) {
        return;
    }
    const QString reason = QStringLiteral(
        "\"c\" must list clock readings: numbers or null, or [reading, count] pairs");
    if (!value.isArray() || value.toArray().size() > kMaxRuns) {
        fields.fail(reason);
        return;
    }
    const QJsonArray list = value.toArray();
    for (const QJsonValue& item : list) {
        ClockRun run;
        QJsonValue reading = item;
        if (item.isArray()) {
            const QJsonArray pair = item.toArray();
            const double count = pair.size() == 2 ? pair.at(1).toDouble(-1.0) : -1.0;
            if (count < 1.0 || count > kMaxRunLength || count != std::floor(count)) {
                fields.fail(QStringLiteral("\"c\": a run's count must be a whole number from 1 "
                                           "to %1")
                                .arg(kMaxRunLength));
                return;
            }
            run.count = static_cast<std::uint32_t>(count);
            reading = pair.at(0);
        }
        if (!reading.isNull()) {
            run.seconds = Fields::singleFrom(reading, std::numeric_limits<float>::max());
            if (!run.seconds) {
                fields.fail(reason);
                return;
            }
        }
        runs.push_back(run);
    }
}

}  // namespace

QJsonObject headerToJson(const PerformanceHeader& header) {
    QJsonObject object;
    object.insert(QLatin1String("format"), QLatin1String(kPerformanceFormatName));
    object.insert(QLatin1String("version"), header.version);
    object.insert(QLatin1String("rate"), static_cast<qint64>(header.rate));
    if (!header.program.empty()) {
        object.insert(QLatin1String("program"), QString::fromStdString(header.program));
    }
    return object;
}

QString headerFromJson(const QJsonObject& object, PerformanceHeader& header) {
    if (object.value(QLatin1String("format")).toString() != QLatin1String(kPerformanceFormatName)) {
        return QStringLiteral("not a performance: the first line must name the format \"%1\"")
            .arg(QLatin1String(kPerformanceFormatName));
    }
    Fields fields(object);
    fields.integer("version", 1, std::numeric_limits<int>::max(), header.version, true);
    if (fields.ok() && header.version > kPerformanceFormatVersion) {
        return QStringLiteral(
                   "written in a newer version of the format (%1); this program reads version %2")
            .arg(header.version)
            .arg(kPerformanceFormatVersion);
    }
    fields.integer("rate", kMinPerformanceRate, kMaxPerformanceRate, header.rate, false);
    std::string program;
    fields.text("program", program);
    header.program = program;
    return fields.error();
}

QJsonObject stateToJson(const StartingState& start) {
    QJsonObject object;
    object.insert(kKindKey, kStateKind);
    object.insert(QLatin1String("clock"), start.clock);
    for (std::size_t i = 0; i < std::size(kTextKeys); ++i) {
        object.insert(QLatin1String(kTextKeys[i]), QString::fromStdString(start.state.*kTexts[i]));
    }
    object.insert(QLatin1String("penDown"), start.state.penDown);
    object.insert(QLatin1String("level"), start.state.level);
    QJsonArray switches;
    for (const int value : start.switches) {
        switches.append(value);
    }
    object.insert(QLatin1String("switches"), switches);
    object.insert(QLatin1String("Slider1"), start.slider1);
    object.insert(QLatin1String("VScroll1"), start.vscroll1);
    object.insert(QLatin1String("penColor"), static_cast<qint64>(start.penColor));
    object.insert(QLatin1String("penX"), singleValue(start.penX));
    object.insert(QLatin1String("penY"), singleValue(start.penY));

    const modSynth_DX7& m = start.synth;
    QJsonObject synth;
    if (start.tablesGiven) {
        synth.insert(QLatin1String("tableA"), tableValue(m.tableA));
        synth.insert(QLatin1String("tableB"), tableValue(m.tableB));
    }
    synth.insert(QLatin1String("sampleIndex"), m.sampleIndex);
    synth.insert(QLatin1String("clockSeconds"), singleValue(m.clockSeconds));
    synth.insert(QLatin1String("angle"), singleValue(m.angle));
    synth.insert(QLatin1String("fmTerm"), m.fmTerm);
    synth.insert(QLatin1String("sampleA"), singleValue(m.sampleA));
    synth.insert(QLatin1String("sampleB"), singleValue(m.sampleB));
    synth.insert(QLatin1String("ampA"), m.ampA);
    synth.insert(QLatin1String("ampB"), m.ampB);
    synth.insert(QLatin1String("tone"), m.tone);
    synth.insert(QLatin1String("toneB"), m.toneB);
    synth.insert(QLatin1String("peakA"), m.peakA);
    synth.insert(QLatin1String("peakB"), m.peakB);
    synth.insert(QLatin1String("fmspInt"), m.fmspInt);
    synth.insert(QLatin1String("amspInt"), m.amspInt);
    synth.insert(QLatin1String("amsp2Int"), m.amsp2Int);
    synth.insert(QLatin1String("cutInt"), m.cutInt);
    synth.insert(QLatin1String("cut2Int"), m.cut2Int);
    object.insert(QLatin1String("synth"), synth);
    if (!start.drawingPng.empty()) {
        const QByteArray png(start.drawingPng.data(), qsizetype(start.drawingPng.size()));
        object.insert(QLatin1String("drawing"), QString::fromLatin1(png.toBase64()));
    }
    return object;
}

QString stateFromJson(const QJsonObject& object, StartingState& start) {
    constexpr long long kMin16 = std::numeric_limits<std::int16_t>::min();
    constexpr long long kMax16 = std::numeric_limits<std::int16_t>::max();
    constexpr double kAny = std::numeric_limits<double>::infinity();
    Fields fields(object);
    fields.number("clock", -kMaxClock, kMaxClock, start.clock, false);
    for (std::size_t i = 0; i < std::size(kTextKeys); ++i) {
        fields.text(kTextKeys[i], start.state.*kTexts[i]);
    }
    fields.integer("penDown", kMin16, kMax16, start.state.penDown, false);
    fields.integer("level", kMin16, kMax16, start.state.level, false);
    const QJsonValue switches = object.value(QLatin1String("switches"));
    if (fields.ok() && !switches.isUndefined()) {
        const QJsonArray list = switches.toArray();
        if (!switches.isArray() || list.size() != qsizetype(start.switches.size())) {
            fields.fail(QStringLiteral("\"switches\" must list 12 values, each 0 or 1"));
        }
        for (qsizetype i = 0; fields.ok() && i < list.size(); ++i) {
            const double value = list.at(i).toDouble(-1.0);
            if (value != 0.0 && value != 1.0) {
                fields.fail(QStringLiteral("\"switches\" must list 12 values, each 0 or 1"));
            }
            start.switches[std::size_t(i)] = static_cast<int>(value);
        }
    }
    fields.integer("Slider1", 1, 10, start.slider1, false);
    fields.integer("VScroll1", 0, 100, start.vscroll1, false);
    fields.integer("penColor", 0, 0xFFFFFF, start.penColor, false);
    fields.single("penX", start.penX, false, kMaxPosition);
    fields.single("penY", start.penY, false, kMaxPosition);

    const QJsonValue synthValue = object.value(QLatin1String("synth"));
    if (fields.ok() && !synthValue.isUndefined() && !synthValue.isObject()) {
        fields.fail(QStringLiteral("\"synth\" must be an object"));
    }
    const QJsonObject synthObject = synthValue.toObject();
    Fields synth(synthObject);
    modSynth_DX7& m = start.synth;
    readTable(synth, "tableA", m.tableA);
    readTable(synth, "tableB", m.tableB);
    if (synth.has("tableA") != synth.has("tableB")) {
        synth.fail(QStringLiteral("\"tableA\" and \"tableB\" go together"));
    }
    start.tablesGiven = synth.has("tableA");
    synth.integer("sampleIndex", kMin16, kMax16, m.sampleIndex, false);
    synth.single("clockSeconds", m.clockSeconds, false, kAny);
    synth.single("angle", m.angle, false, kAny);
    synth.integer("fmTerm", std::numeric_limits<std::int32_t>::min(),
                  std::numeric_limits<std::int32_t>::max(), m.fmTerm, false);
    synth.single("sampleA", m.sampleA, false, kAny);
    synth.single("sampleB", m.sampleB, false, kAny);
    synth.integer("ampA", kMin16, kMax16, m.ampA, false);
    synth.integer("ampB", kMin16, kMax16, m.ampB, false);
    synth.integer("tone", kMin16, kMax16, m.tone, false);
    synth.integer("toneB", kMin16, kMax16, m.toneB, false);
    synth.integer("peakA", kMin16, kMax16, m.peakA, false);
    synth.integer("peakB", kMin16, kMax16, m.peakB, false);
    synth.integer("fmspInt", kMin16, kMax16, m.fmspInt, false);
    synth.integer("amspInt", kMin16, kMax16, m.amspInt, false);
    synth.integer("amsp2Int", kMin16, kMax16, m.amsp2Int, false);
    synth.integer("cutInt", kMin16, kMax16, m.cutInt, false);
    synth.integer("cut2Int", kMin16, kMax16, m.cut2Int, false);
    if (!synth.ok()) {
        fields.fail(QStringLiteral("\"synth\": ") + synth.error());
    }

    QByteArray png;
    fields.bytes("drawing", kMaxDrawingBytes, png);
    start.drawingPng = png.toStdString();
    return fields.error();
}

QJsonObject eventToJson(const PerformanceEvent& event) {
    QJsonObject object;
    object.insert(kKindKey, QLatin1String(kEventKinds[static_cast<int>(event.kind)]));
    object.insert(QLatin1String("t"), std::round(event.time * 1e6) / 1e6);
    switch (event.kind) {
        case EventKind::Press:
        case EventKind::Move:
        case EventKind::Release:
            object.insert(QLatin1String("b"), event.button);
            if (event.shift != 0) {
                object.insert(QLatin1String("s"), event.shift);
            }
            object.insert(QLatin1String("x"), singleValue(event.x));
            object.insert(QLatin1String("y"), singleValue(event.y));
            break;
        case EventKind::Swatch:
            object.insert(QLatin1String("i"), event.number);
            break;
        case EventKind::Slider:
            object.insert(QLatin1String("n"), QLatin1String(kSliderNames[event.number]));
            object.insert(QLatin1String("v"), event.value);
            break;
        case EventKind::Check:
            object.insert(QLatin1String("n"), event.number);
            object.insert(QLatin1String("v"), event.value);
            break;
        case EventKind::Command: {
            const std::string_view name = kCommandNames[std::size_t(event.number)];
            object.insert(QLatin1String("n"), QLatin1String(name.data(), qsizetype(name.size())));
            break;
        }
        case EventKind::SynthesisTick:
            if (!event.readings.empty()) {
                // Runs of one as bare readings; the last run's length is left
                // out, since a tick reads the last reading again anyway.
                QJsonArray runs;
                for (std::size_t i = 0; i < event.readings.size(); ++i) {
                    const ClockRun& run = event.readings[i];
                    const QJsonValue reading = optionalSingle(run.seconds);
                    if (run.count == 1 || i + 1 == event.readings.size()) {
                        runs.append(reading);
                    } else {
                        runs.append(QJsonArray{reading, static_cast<qint64>(run.count)});
                    }
                }
                object.insert(QLatin1String("c"), runs);
            }
            break;
        case EventKind::DecayTick:
        case EventKind::End:
            break;
    }
    return object;
}

QString eventFromJson(const QJsonObject& object, PerformanceEvent& event) {
    constexpr long long kMin16 = std::numeric_limits<std::int16_t>::min();
    constexpr long long kMax16 = std::numeric_limits<std::int16_t>::max();
    Fields fields(object);
    int kind = 0;
    fields.name("k", kEventKinds, kind);
    if (!fields.ok()) {
        return fields.error();
    }
    event = PerformanceEvent{};
    event.kind = static_cast<EventKind>(kind);
    fields.number("t", 0.0, kMaxPerformanceSeconds, event.time, true);
    switch (event.kind) {
        case EventKind::Press:
        case EventKind::Move:
        case EventKind::Release:
            fields.integer("b", kMin16, kMax16, event.button, true);
            fields.integer("s", kMin16, kMax16, event.shift, false);
            fields.single("x", event.x, true, kMaxPosition);
            fields.single("y", event.y, true, kMaxPosition);
            break;
        case EventKind::Swatch:
            fields.integer("i", 0, 7, event.number, true);
            break;
        case EventKind::Slider:
            fields.name("n", kSliderNames, event.number);
            if (fields.ok()) {
                const bool decayStep = event.number == static_cast<int>(SliderId::Slider1);
                fields.integer("v", decayStep ? 1 : 0, decayStep ? 10 : 100, event.value, true);
            }
            break;
        case EventKind::Check:
            fields.integer("n", Check1, Check12, event.number, true);
            fields.integer("v", 0, 1, event.value, true);
            break;
        case EventKind::Command: {
            const QString name = object.value(QLatin1String("n")).toString();
            event.number = -1;
            for (std::size_t i = 0; i < kCommandNames.size(); ++i) {
                if (name.toStdString() == kCommandNames[i]) {
                    event.number = static_cast<int>(i);
                }
            }
            if (fields.ok() && event.number < 0) {
                fields.fail(QStringLiteral("\"n\" names no command"));
            }
            break;
        }
        case EventKind::SynthesisTick:
            readReadings(object, fields, event.readings);
            break;
        case EventKind::DecayTick:
        case EventKind::End:
            break;
    }
    return fields.error();
}

}  // namespace scrivola
