#include "performance/performance_reader.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonParseError>
#include <algorithm>

#include "performance/performance_json.h"
#include "performance/regular_file.h"

namespace scrivola {

QString PerformanceError::message() const {
    if (line == 0) {
        return QStringLiteral("%1: %2").arg(file, reason);
    }
    return QStringLiteral("%1, line %2: %3").arg(file).arg(line).arg(reason);
}

bool PerformanceReader::fail(const QString& reason) {
    if (error_.reason.isEmpty()) {
        error_.reason = reason;
        error_.line = lineNumber_;
    }
    ended_ = true;
    return false;
}

PerformanceReader::Line PerformanceReader::readLine(qint64 maxLength) {
    // Read in pieces, so that the buffer grows only as far as the longest
    // line so far needs.
    constexpr qint64 kPiece = 64 * 1024;
    for (;;) {
        qint64 length = 0;
        while (length < maxLength && (length == 0 || line_.at(length - 1) != '\n')) {
            const qint64 piece = std::min(kPiece, maxLength - length) + 1;
            if (line_.size() < length + piece) {
                line_.resize(length + piece);
            }
            const qint64 got = file_.readLine(line_.data() + length, piece);
            if (got <= 0) {
                break;
            }
            length += got;
        }
        if (length == 0) {
            if (file_.error() != QFileDevice::NoError) {
                ++lineNumber_;
                fail(QStringLiteral("cannot be read: ") + file_.errorString());
                return Line::Fault;
            }
            return Line::End;
        }
        ++lineNumber_;
        // A last line without its newline is taken as it is; if it does not
        // parse, the file was cut short in the middle of it.
        unterminated_ = line_.at(length - 1) != '\n';
        if (unterminated_ && length >= maxLength) {
            fail(QStringLiteral("the line is longer than %1 bytes").arg(maxLength));
            return Line::Fault;
        }
        if (!unterminated_) {
            --length;
        }
        if (length > 0 && line_.at(length - 1) == '\r') {
            --length;
        }
        current_ = QByteArray::fromRawData(line_.constData(), length);
        if (!current_.trimmed().isEmpty()) {
            return Line::Read;
        }
    }
}

namespace {

// The line as a JSON object, or why it is not one. `unterminated`: the
// line is the file's last and lacks its newline.
QString parseObject(const QByteArray& line, bool unterminated, QJsonObject& object) {
    QJsonParseError parseError{};
    const QJsonDocument document = QJsonDocument::fromJson(line, &parseError);
    if (parseError.error != QJsonParseError::NoError && unterminated) {
        return QStringLiteral("the file ends in the middle of this line (cut short)");
    }
    if (parseError.error != QJsonParseError::NoError) {
        return QStringLiteral("not JSON (%1 at byte %2)")
            .arg(parseError.errorString())
            .arg(parseError.offset + 1);
    }
    if (!document.isObject()) {
        return QStringLiteral("not a JSON object");
    }
    object = document.object();
    return {};
}

}  // namespace

bool PerformanceReader::open(const QByteArray& path) {
    error_ = PerformanceError{};
    error_.file = QFile::decodeName(path);
    lineNumber_ = 0;
    lastTime_ = 0.0;
    ended_ = false;
    sawEnd_ = false;
    if (const QString reason = openRegularFile(path, file_); !reason.isEmpty()) {
        return fail(reason);
    }

    QJsonObject object;
    const Line header = readLine(kMaxHeaderLine);
    if (header == Line::Fault) {
        return false;
    }
    if (header == Line::End) {
        return fail(QStringLiteral("the file is empty"));
    }
    QString reason = parseObject(current_, unterminated_, object);
    if (!reason.isEmpty()) {
        return fail(QStringLiteral("not a performance (the first line: %1)").arg(reason));
    }
    header_ = PerformanceHeader{};
    reason = headerFromJson(object, header_);
    if (!reason.isEmpty()) {
        return fail(reason);
    }

    const Line state = readLine(kMaxStateLine);
    if (state == Line::Fault) {
        return false;
    }
    if (state == Line::End) {
        ++lineNumber_;
        return fail(QStringLiteral("the file ends before the starting state (cut short)"));
    }
    reason = parseObject(current_, unterminated_, object);
    if (reason.isEmpty() && object.value(kKindKey).toString() != kStateKind) {
        reason = QStringLiteral("the second line must be the starting state (\"k\": \"state\")");
    }
    start_ = StartingState{};
    if (reason.isEmpty()) {
        reason = stateFromJson(object, start_);
    }
    return reason.isEmpty() || fail(reason);
}

bool PerformanceReader::next(PerformanceEvent& event) {
    if (ended_ || !file_.isOpen()) {
        return false;
    }
    const Line line = readLine(kMaxEventLine);
    if (line != Line::Read) {
        ended_ = true;
        return false;
    }
    QJsonObject object;
    QString reason = parseObject(current_, unterminated_, object);
    if (reason.isEmpty()) {
        reason = eventFromJson(object, event);
    }
    if (reason.isEmpty() && sawEnd_) {
        reason = QStringLiteral("an event after the end");
    }
    if (reason.isEmpty() && event.time < lastTime_) {
        reason = QStringLiteral("\"t\" %1 is earlier than the event before (%2)")
                     .arg(event.time, 0, 'g', 10)
                     .arg(lastTime_, 0, 'g', 10);
    }
    if (!reason.isEmpty()) {
        return fail(reason);
    }
    lastTime_ = event.time;
    sawEnd_ = event.kind == EventKind::End;
    return true;
}

std::optional<PerformanceError> checkPerformanceFile(const QByteArray& path,
                                                     PerformanceSummary* summary) {
    PerformanceReader reader;
    std::uint64_t events = 0;
    if (reader.open(path)) {
        PerformanceEvent event;
        while (reader.next(event)) {
            ++events;
        }
    }
    if (reader.failed()) {
        return reader.error();
    }
    if (summary != nullptr) {
        *summary = PerformanceSummary{reader.header(), reader.lastTime(), events};
    }
    return std::nullopt;
}

}  // namespace scrivola
