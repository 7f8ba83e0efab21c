// Random user events against the real window on the offscreen platform,
// checking after every event that the state still makes sense.
//
//   scrivola_gesture_fuzz [--events N] [--seed S] [--max-seconds T]
//                         [--exit-children K]
//
// The exit command answered Yes ends the process at once, so the window's
// own process only ever answers it No (or with some other button); at K
// points spread over the run a forked child, holding the window as the run
// left it, answers Yes and must end at once with status 0.
//
// Ends with status 0 when every event kept the rules (also when the time
// limit cut the run short, which the summary says), 1 otherwise.
#include <QApplication>
#include <array>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>

#include "audio/silent_sound_layer.h"
#include "tests/fuzz/exit_child.h"
#include "tests/fuzz/gesture_fuzzer.h"
#include "tests/fuzz/random_message_box.h"
#include "tests/fuzz/state_invariants.h"
#include "ui/form1.h"

namespace {

using namespace scrivola;
using namespace scrivola::fuzz;

struct Options {
    std::uint64_t events = 20'000;
    std::uint64_t seed = 1;
    double maxSeconds = 0.0;  // 0: no limit
    int exitChildren = 1;
};

bool parse(int argc, char** argv, Options& options) {
    for (int i = 1; i + 1 < argc; i += 2) {
        const char* value = argv[i + 1];
        if (std::strcmp(argv[i], "--events") == 0) {
            options.events = std::strtoull(value, nullptr, 10);
        } else if (std::strcmp(argv[i], "--seed") == 0) {
            options.seed = std::strtoull(value, nullptr, 10);
        } else if (std::strcmp(argv[i], "--max-seconds") == 0) {
            options.maxSeconds = std::atof(value);
        } else if (std::strcmp(argv[i], "--exit-children") == 0) {
            options.exitChildren = std::atoi(value);
        } else {
            return false;
        }
    }
    return argc % 2 == 1;
}

// The last events played, oldest first, for the report of a broken rule.
class EventTrail {
public:
    void add(const PlayedEvent& e) { events_[next_++ % events_.size()] = e; }
    void print() const {
        const std::size_t count = std::min<std::size_t>(next_, events_.size());
        for (std::size_t k = next_ - count; k < next_; ++k) {
            std::fprintf(stderr, "  #%zu %s\n", k, events_[k % events_.size()].describe().c_str());
        }
    }

private:
    std::array<PlayedEvent, 24> events_{};
    std::size_t next_ = 0;
};

}  // namespace

int main(int argc, char** argv) {
    Options options;
    if (!parse(argc, argv, options)) {
        std::fprintf(stderr,
                     "usage: %s [--events N] [--seed S] [--max-seconds T] [--exit-children K]\n",
                     argv[0]);
        return 2;
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);

    std::mt19937_64 random(options.seed);
    RandomMessageBox messageBox(random);
    SilentSoundLayer sound;
    Form1 window(sound, messageBox);
    if (!window.Form_Load()) {
        std::fprintf(stderr, "start-up failed\n");
        return 1;
    }
    window.show();
    QApplication::processEvents();

    GestureFuzzer fuzzer(window, random);
    EventTrail trail;
    const auto start = std::chrono::steady_clock::now();
    const std::uint64_t exitEvery =
        options.exitChildren > 0
            ? options.events / static_cast<std::uint64_t>(options.exitChildren) + 1
            : 0;
    int exitChildren = 0;
    std::uint64_t played = 0;
    bool cutShort = false;
    for (; played < options.events; ++played) {
        if (exitEvery != 0 && played % exitEvery == exitEvery / 2) {
            const std::string why = exitAnsweredYesInChild(window, messageBox);
            if (!why.empty()) {
                std::fprintf(stderr, "exit answered Yes after %llu events: %s\n",
                             static_cast<unsigned long long>(played), why.c_str());
                trail.print();
                return 1;
            }
            ++exitChildren;
        }
        const PlayedEvent e = fuzzer.step();
        trail.add(e);
        const std::string broken = firstViolation(
            window.state(), window.picdrawSurface().foreColor(), fuzzer.leftPressedYet());
        if (!broken.empty()) {
            std::fprintf(stderr, "rule broken after event #%llu: %s; the last events:\n",
                         static_cast<unsigned long long>(played), broken.c_str());
            trail.print();
            return 1;
        }
        if (options.maxSeconds > 0.0 && played % 256 == 0 &&
            std::chrono::steady_clock::now() - start >
                std::chrono::duration<double>(options.maxSeconds)) {
            cutShort = true;
            ++played;
            break;
        }
    }

    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::printf("%llu events (seed %llu) in %.1f s%s; every rule held\n",
                static_cast<unsigned long long>(played),
                static_cast<unsigned long long>(options.seed), seconds,
                cutShort ? ", cut short by the time limit" : "");
    for (int k = 0; k < static_cast<int>(EventKind::Count); ++k) {
        const auto kind = static_cast<EventKind>(k);
        std::printf("  %-16s %llu\n", eventKindName(kind),
                    static_cast<unsigned long long>(fuzzer.played(kind)));
    }
    std::printf("  questions asked  %llu (%llu answered Yes)\n",
                static_cast<unsigned long long>(messageBox.questions),
                static_cast<unsigned long long>(messageBox.yeses));
    std::printf("  exit answered Yes in %d child process(es), each ended with status 0\n",
                exitChildren);
    return 0;
}
