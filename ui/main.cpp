// Scrivola Synth: a synthesizer played by drawing.
#include <QApplication>
#include <cstdlib>
#include <iostream>

#include "audio/rtaudio_sound_layer.h"
#include "ui/form1.h"
#include "ui/startup.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Scrivola Synth"));
    // The app id names the desktop entry; the window must carry the same.
    QApplication::setDesktopFileName(QStringLiteral(SCRIVOLA_APP_ID));

    scrivola::RtAudioSoundLayer sound;
    scrivola::Form1 window(sound);
    // Without a sound device there is nothing to play: no window, one line
    // on stderr saying why, and a failed status.
    if (!scrivola::startWindow(window, sound, std::cerr)) {
        return EXIT_FAILURE;
    }
    return QApplication::exec();
}
