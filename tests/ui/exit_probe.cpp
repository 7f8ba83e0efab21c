// A test program: the real window on the real audio output. Once both loops
// play, it clicks "X" and answers the question with the key for Yes. The exit
// command should then end the process with status 0; every other way out has
// a status of its own and a line on stderr.
#include <QApplication>
#include <QMessageBox>
#include <QTest>
#include <QTimer>
#include <iostream>

#include "audio/playback_counters.h"
#include "audio/system_sound_layer.h"
#include "ui/form1.h"
#include "ui/startup.h"

namespace {

constexpr int kNoSound = 2;
constexpr int kWentOnAfterYes = 3;
constexpr int kNeverPlayed = 4;
constexpr int kLoopEnded = 5;

bool bothLoopsPlay(const scrivola::PlaybackCounters& counters) {
    const scrivola::PlaybackSnapshot seen = counters.snapshot();
    return seen.slots[0].renderedWrite > 0 && seen.slots[1].renderedWrite > 0;
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    scrivola::PlaybackCounters counters;
    scrivola::SystemSoundLayer sound;
    sound.setObserver(&counters);
    scrivola::Form1 window(sound);
    if (!scrivola::startWindow(window, std::cerr)) {
        return kNoSound;
    }

    QTimer answerer;
    answerer.setInterval(20);
    QObject::connect(&answerer, &QTimer::timeout, [&answerer] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (box == nullptr || !box->isVisible() || box->windowTitle() != "Exit Scrivola") {
            return;
        }
        answerer.stop();
        std::cout << "answering" << std::endl;
        QTest::keyClick(box, Qt::Key_Y);
    });

    QTimer waiter;
    waiter.setInterval(20);
    QObject::connect(&waiter, &QTimer::timeout, [&] {
        if (!bothLoopsPlay(counters)) {
            return;
        }
        waiter.stop();
        std::cout << "playing" << std::endl;
        answerer.start();
        QTest::mouseClick(window.controls().cmdexit, Qt::LeftButton);
        std::cerr << "exit probe: the program went on after Yes" << std::endl;
        QApplication::exit(kWentOnAfterYes);
    });
    waiter.start();

    QTimer::singleShot(20'000, [] {
        std::cerr << "exit probe: the loops did not play within 20 s" << std::endl;
        QApplication::exit(kNeverPlayed);
    });
    const int status = QApplication::exec();
    return status != 0 ? status : kLoopEnded;
}
