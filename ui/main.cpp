// Scrivola Synth: a synthesizer played by drawing.
#include <QApplication>

#include "audio/rtaudio_sound_layer.h"
#include "ui/form1.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Scrivola Synth"));
    QApplication::setDesktopFileName(QStringLiteral("io.github.scrivola.ScrivolaSynth"));

    scrivola::RtAudioSoundLayer sound;
    scrivola::Form1 window(sound);
    // Without a sound device the program ends at once, without a message.
    if (!window.Form_Load()) {
        return 1;
    }
    window.show();
    return QApplication::exec();
}
