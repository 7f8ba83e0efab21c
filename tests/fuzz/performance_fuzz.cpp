// Mutated performance files against the reader and the render: every file
// must be either refused, with one message naming the file and a line within
// it, or rendered; never a crash, a hang or undefined behaviour (run it built
// with AddressSanitizer and UndefinedBehaviorSanitizer). The check and the
// render must agree on every file.
//
//   scrivola_performance_fuzz --data DIR [--files N] [--seed S]
//                             [--max-seconds T] [--dir TMP]
//
// The seeds are the *.scrivola files in DIR, each cut to its first lines so
// that a file renders in well under a millisecond, and one written here
// with every kind of line and a full starting state.
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <array>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "performance/performance_reader.h"
#include "performance/performance_render.h"
#include "performance/performance_writer.h"

namespace {

using namespace scrivola;

struct Options {
    std::uint64_t files = 10'000;
    std::uint64_t seed = 1;
    double maxSeconds = 0.0;  // 0: no limit
    QString data;
    QString dir;
};

bool parse(int argc, char** argv, Options& options) {
    for (int i = 1; i + 1 < argc; i += 2) {
        const char* value = argv[i + 1];
        if (std::strcmp(argv[i], "--files") == 0) {
            options.files = std::strtoull(value, nullptr, 10);
        } else if (std::strcmp(argv[i], "--seed") == 0) {
            options.seed = std::strtoull(value, nullptr, 10);
        } else if (std::strcmp(argv[i], "--max-seconds") == 0) {
            options.maxSeconds = std::atof(value);
        } else if (std::strcmp(argv[i], "--data") == 0) {
            options.data = QString::fromLocal8Bit(value);
        } else if (std::strcmp(argv[i], "--dir") == 0) {
            options.dir = QString::fromLocal8Bit(value);
        } else {
            return false;
        }
    }
    return argc % 2 == 1 && !options.data.isEmpty();
}

// Samples are looked at, not kept; past half a second none are made.
class CountingSink final : public SoundSink {
public:
    bool write(const std::int16_t* samples, std::size_t frames) override {
        if (frames > 0) {
            last_ ^= static_cast<std::uint16_t>(samples[frames - 1]);
        }
        return true;
    }

private:
    std::uint16_t last_ = 0;
};
constexpr std::uint64_t kFrameLimit = 44100 / 2;

QByteArray firstLines(const QByteArray& content, int lines) {
    qsizetype end = 0;
    for (int i = 0; i < lines && end >= 0; ++i) {
        end = content.indexOf('\n', end);
        if (end >= 0) {
            ++end;
        }
    }
    return end < 0 ? content : content.left(end);
}

// A file with every kind of line and a starting state with every key.
QByteArray writtenSeed(const QString& path) {
    StartingState start;
    start.tablesGiven = true;
    start.synth.tableA.fill(200);
    start.synth.sampleA = -3.5f;
    start.drawingPng = "\x89PNG";
    start.clock = 1234.5;
    PerformanceWriter writer;
    writer.open(path, PerformanceHeader{}, start);
    PerformanceEvent event;
    const auto add = [&](EventKind kind, double time, int number, int value) {
        event = PerformanceEvent{};
        event.kind = kind;
        event.time = time;
        event.number = number;
        event.value = value;
        event.button = 1;
        event.x = 3000.0f + static_cast<float>(time) * 500.0f;
        event.y = 2000.0f;
        if (kind == EventKind::SynthesisTick) {
            event.readings = {{1234.5f + static_cast<float>(time), 2}, {std::nullopt, 1}};
        }
        writer.write(event);
    };
    add(EventKind::Swatch, 0.0, 4, 0);
    add(EventKind::Press, 0.01, 0, 0);
    add(EventKind::SynthesisTick, 0.015625, 0, 0);
    add(EventKind::Move, 0.02, 0, 0);
    add(EventKind::DecayTick, 0.02, 0, 0);
    add(EventKind::Slider, 0.03, int(SliderId::Slider1), 7);
    add(EventKind::Check, 0.03, 5, 1);
    add(EventKind::SynthesisTick, 0.03125, 0, 0);
    add(EventKind::Command, 0.04, int(CommandId::Command1), 0);
    add(EventKind::Move, 0.045, 0, 0);
    add(EventKind::Release, 0.05, 0, 0);
    add(EventKind::SynthesisTick, 0.046875, 0, 0);
    writer.finish(0.06);
    QFile file(path);
    file.open(QIODevice::ReadOnly);
    return file.readAll();
}

const char* const kNumbers[] = {"0",
                                "-1",
                                "1e308",
                                "-1e308",
                                "1e-320",
                                "65536",
                                "32768",
                                "-32769",
                                "2147483648",
                                "86400",
                                "86401",
                                "4.5",
                                "\"NaN\"",
                                "\"Infinity\"",
                                "1e39",
                                "null",
                                "[]",
                                "{}",
                                "\"\"",
                                "true",
                                "361",
                                "16777216",
                                "9007199254740993"};
const char* const kWords[] = {"\"state\"",   "\"tick\"",   "\"press\"",    "\"move\"",
                              "\"release\"", "\"swatch\"", "\"slider\"",   "\"check\"",
                              "\"command\"", "\"decay\"",  "\"end\"",      "\"k\"",
                              "\"t\"",       "\"c\"",      "\"Command1\"", "\"VScroll1\""};
const char kBytes[] = {'"', '{', '}', '[', ']',  ',',  ':', '\n',
                       '0', '-', 'e', '.', '\0', '\r', '\\'};

class Mutator {
public:
    explicit Mutator(std::uint64_t seed) : random_(seed) {}

    QByteArray mutate(QByteArray data) {
        const int steps = below(4) == 0 ? 2 + below(3) : 1;
        for (int i = 0; i < steps; ++i) {
            step(data);
        }
        return data;
    }

private:
    int below(std::size_t n) { return n == 0 ? 0 : static_cast<int>(random_() % n); }
    qsizetype at(const QByteArray& data) { return below(std::size_t(data.size()) + 1); }

    // The start of the line holding `position`, and the start of the next.
    static std::pair<qsizetype, qsizetype> lineAround(const QByteArray& data, qsizetype position) {
        const qsizetype begin = position == 0 ? 0 : data.lastIndexOf('\n', position - 1) + 1;
        const qsizetype newline = data.indexOf('\n', position);
        return {begin, newline < 0 ? data.size() : newline + 1};
    }

    void step(QByteArray& data) {
        const qsizetype p = at(data);
        switch (below(11)) {
            case 0:
                if (p < data.size()) {
                    data[p] = static_cast<char>(data[p] ^ (1 << below(8)));
                }
                break;
            case 1:
                if (p < data.size()) {
                    data[p] = kBytes[below(sizeof kBytes)];
                }
                break;
            case 2:
                data.remove(p, below(40));
                break;
            case 3:
                data.insert(at(data), data.mid(p, below(200)));
                break;
            case 4: {  // a line removed or repeated
                const auto [begin, end] = lineAround(data, p);
                const QByteArray line = data.mid(begin, end - begin);
                if (below(2) == 0) {
                    data.remove(begin, end - begin);
                } else {
                    data.insert(end, line);
                }
                break;
            }
            case 5: {  // two lines swapped
                const auto [begin, end] = lineAround(data, p);
                const QByteArray line = data.mid(begin, end - begin);
                data.remove(begin, end - begin);
                const auto [other, unused] = lineAround(data, at(data));
                data.insert(other, line);
                break;
            }
            case 6:
            case 7: {  // a number replaced
                qsizetype q = p;
                while (q < data.size() && !(std::isdigit(data[q]) || data[q] == '-')) {
                    ++q;
                }
                qsizetype end = q;
                while (end < data.size() && (std::isalnum(data[end]) || data[end] == '.' ||
                                             data[end] == '-' || data[end] == '+')) {
                    ++end;
                }
                data.replace(q, end - q, kNumbers[below(std::size(kNumbers))]);
                break;
            }
            case 8: {  // a quoted word replaced
                const qsizetype q = data.indexOf('"', p);
                const qsizetype end = q < 0 ? -1 : data.indexOf('"', q + 1);
                if (end > q) {
                    data.replace(q, end - q + 1, kWords[below(std::size(kWords))]);
                }
                break;
            }
            case 9:
                data.truncate(p);
                break;
            case 10:  // a long run: deep nesting, a long text or a long line
                data.insert(
                    p, QByteArray(below(2) == 0 ? below(3000) : below(70'000), "[{ax\""[below(5)]));
                break;
        }
    }

    std::mt19937_64 random_;
};

// Lines in the file; a missing line after the last is named too.
qsizetype lineCount(const QByteArray& data) {
    return data.count('\n') + 1;
}

}  // namespace

int main(int argc, char** argv) {
    Options options;
    if (!parse(argc, argv, options)) {
        std::fprintf(stderr,
                     "usage: %s --data DIR [--files N] [--seed S] [--max-seconds T] [--dir TMP]\n",
                     argv[0]);
        return 2;
    }
    QCoreApplication app(argc, argv);
    QTemporaryDir temporary(options.dir.isEmpty() ? QDir::tempPath() + QStringLiteral("/XXXXXX")
                                                  : options.dir + QStringLiteral("/XXXXXX"));
    const QString path = temporary.filePath(QStringLiteral("fuzz.scrivola"));

    std::vector<QByteArray> seeds{writtenSeed(path)};
    const QDir data(options.data);
    for (const QString& name : data.entryList({QStringLiteral("*.scrivola")}, QDir::Files)) {
        QFile file(data.filePath(name));
        file.open(QIODevice::ReadOnly);
        seeds.push_back(firstLines(file.readAll(), 40));
    }

    Mutator mutator(options.seed);
    std::mt19937_64 pick(options.seed ^ 0x5eedULL);
    const auto start = std::chrono::steady_clock::now();
    std::uint64_t done = 0;
    std::uint64_t refused = 0;
    bool cutShort = false;
    for (; done < options.files; ++done) {
        const QByteArray content = mutator.mutate(seeds[pick() % seeds.size()]);
        {
            QFile file(path);
            file.open(QIODevice::WriteOnly | QIODevice::Truncate);
            file.write(content);
        }
        PerformanceSummary summary;
        const std::optional<PerformanceError> error =
            checkPerformanceFile(QFile::encodeName(path), &summary);
        CountingSink sink;
        const RenderOutcome outcome = renderPerformance(QFile::encodeName(path), sink, kFrameLimit);
        std::string broken;
        if (error) {
            ++refused;
            if (error->line < 0 || error->line > lineCount(content) + 1 ||
                !error->message().startsWith(path) || error->reason.contains(QLatin1Char('\n'))) {
                broken = "a bad message: " + error->message().toStdString();
            } else if (outcome.error != error->message()) {
                broken = "the render said \"" + outcome.error.toStdString() +
                         "\" where the check said \"" + error->message().toStdString() + "\"";
            }
        } else {
            const auto frames =
                static_cast<std::uint64_t>(std::llround(summary.duration * summary.header.rate));
            if (!outcome.ok()) {
                broken = "a checked file failed to render: " + outcome.error.toStdString();
            } else if (outcome.frames != std::min(frames, kFrameLimit)) {
                broken = "the render's length is not the last event's time";
            }
        }
        if (!broken.empty()) {
            const QString kept = QStringLiteral("performance-fuzz-failure.scrivola");
            QFile::remove(kept);
            QFile::copy(path, kept);
            std::fprintf(stderr, "file #%llu: %s (kept as %s)\n",
                         static_cast<unsigned long long>(done), broken.c_str(),
                         kept.toLocal8Bit().constData());
            return 1;
        }
        if (options.maxSeconds > 0.0 && done % 64 == 0 &&
            std::chrono::steady_clock::now() - start >
                std::chrono::duration<double>(options.maxSeconds)) {
            cutShort = true;
            ++done;
            break;
        }
    }
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::printf(
        "%llu mutated performance files (%llu refused, %llu rendered) in %.1f s, seed %llu%s\n",
        static_cast<unsigned long long>(done), static_cast<unsigned long long>(refused),
        static_cast<unsigned long long>(done - refused), seconds,
        static_cast<unsigned long long>(options.seed),
        cutShort ? "; cut short by the time limit" : "");
    return 0;
}
