#include "performance/render_command.h"

#include <csignal>
#include <limits>

#include "performance/performance_reader.h"
#include "performance/performance_render.h"
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

}  // namespace

int renderCommand(const QString& performancePath, const QString& soundPath, std::ostream& err,
                  SoundObserver* observer) {
    if (const QString problem = SoundFileSink::formatProblem(soundPath); !problem.isEmpty()) {
        line(err, QStringLiteral("cannot render into %1: %2").arg(soundPath, problem));
        return 1;
    }
    PerformanceSummary summary;
    if (const auto fault = checkPerformanceFile(performancePath, &summary)) {
        line(err, fault->message());
        return 1;
    }

    struct sigaction action {};
    action.sa_handler = noteStopSignal;
    sigemptyset(&action.sa_mask);
    for (const int signal : {SIGINT, SIGTERM, SIGHUP}) {
        sigaction(signal, &action, nullptr);
    }

    SoundFileSink file;
    const auto frames = static_cast<std::uint64_t>(summary.duration * summary.header.rate) + 1;
    if (const QString reason = file.open(soundPath, summary.header.rate, frames);
        !reason.isEmpty()) {
        line(err, QStringLiteral("cannot write %1: %2").arg(soundPath, reason));
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
        line(err, QStringLiteral("cannot write %1: %2").arg(soundPath, reason));
        return 1;
    }
    return 0;
}

}  // namespace scrivola
