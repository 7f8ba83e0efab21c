#include "performance/render_command.h"

#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <cctype>
#include <csignal>
#include <limits>

#include "performance/performance_reader.h"
#include "performance/performance_render.h"
#include "performance/regular_file.h"
#include "performance/sound_file_sink.h"

namespace scrivola {
namespace {

volatile std::sig_atomic_t stopSignal = 0;

extern "C" void noteStopSignal(int signal) {
    stopSignal = signal;
}

// The sound file, refusing more samples once a signal asked to stop.
class StoppableSink final : public SoundSink {
public:
    explicit StoppableSink(SoundFileSink& file) : file_(file) {}
    bool write(const std::int16_t* samples, std::size_t frames) override {
        return stopSignal == 0 && file_.write(samples, frames);
    }
    QString error() const override {
        return stopSignal != 0 ? QStringLiteral("stopped by a signal") : file_.error();
    }

private:
    SoundFileSink& file_;
};

void line(std::ostream& err, const QString& text) {
    err << "scrivola-synth: " << text.toLocal8Bit().constData() << '\n';
}

// The time of the performance's last event, from its last line alone: how
// long the sound is, known before the render reads the file. Times never
// decrease, so for a file the render accepts this is the last event's time;
// a file whose last line is no event renders to nothing, or is refused
// (0 then).
double lastEventTime(const QByteArray& path) {
    QFile file;
    if (!openRegularFile(path, file).isEmpty() || file.size() == 0) {
        return 0.0;
    }
    const uchar* const bytes = file.map(0, file.size());
    if (bytes == nullptr) {
        return 0.0;
    }
    // Blank lines after the last event are skipped, however many.
    qint64 end = file.size();
    while (end > 0 && std::isspace(bytes[end - 1])) {
        --end;
    }
    qint64 begin = end;
    while (begin > 0 && bytes[begin - 1] != '\n' &&
           end - begin < PerformanceReader::kMaxEventLine) {
        --begin;
    }
    const QByteArray last(reinterpret_cast<const char*>(bytes) + begin, end - begin);
    const QJsonValue time = QJsonDocument::fromJson(last).object().value(QLatin1String("t"));
    const double seconds = time.toDouble(0.0);
    return seconds >= 0.0 && seconds <= kMaxPerformanceSeconds ? seconds : 0.0;
}

}  // namespace

int renderCommand(const QByteArray& performancePath, const QByteArray& soundPath, std::ostream& err,
                  SoundObserver* observer) {
    const QString soundName = QFile::decodeName(soundPath);
    if (const QString problem = SoundFileSink::formatProblem(soundPath); !problem.isEmpty()) {
        line(err, QStringLiteral("cannot render into %1: %2").arg(soundName, problem));
        return 1;
    }
    // The header and the starting state are checked before the sound file
    // is started; the events as they are rendered, in one reading of the
    // file: a fault among them discards the sound file.
    unsigned rate = 0;
    {
        PerformanceReader start;
        if (!start.open(performancePath)) {
            line(err, start.error().message());
            return 1;
        }
        rate = start.header().rate;
    }

    struct sigaction action {};
    action.sa_handler = noteStopSignal;
    sigemptyset(&action.sa_mask);
    for (const int signal : {SIGINT, SIGTERM, SIGHUP}) {
        sigaction(signal, &action, nullptr);
    }

    SoundFileSink file;
    const auto frames = static_cast<std::uint64_t>(lastEventTime(performancePath) * rate) + 1;
    if (const QString reason = file.open(soundPath, rate, frames); !reason.isEmpty()) {
        line(err, QStringLiteral("cannot write %1: %2").arg(soundName, reason));
        return 1;
    }
    StoppableSink sink(file);
    const RenderOutcome outcome = renderPerformance(
        performancePath, sink, std::numeric_limits<std::uint64_t>::max(), observer);
    if (stopSignal != 0) {
        file.discard();
        return 128 + stopSignal;
    }
    if (!outcome.ok()) {
        file.discard();
        line(err, outcome.error);
        return 1;
    }
    if (const QString reason = file.commit(); !reason.isEmpty()) {
        line(err, QStringLiteral("cannot write %1: %2").arg(soundName, reason));
        return 1;
    }
    return 0;
}

}  // namespace scrivola
