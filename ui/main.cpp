// Scrivola Synth: a synthesizer played by drawing.
#include <QApplication>
#include <csignal>
#include <cstdlib>
#include <iostream>
#include <memory>

#include "audio/rtaudio_sound_layer.h"
#include "performance/render_command.h"
#include "ui/command_line.h"
#include "ui/file_commands.h"
#include "ui/form1.h"
#include "ui/performance_replay.h"
#include "ui/realtime_kit.h"
#include "ui/startup.h"

int main(int argc, char** argv) {
    QStringList arguments;
    for (int i = 0; i < argc; ++i) {
        arguments << QString::fromLocal8Bit(argv[i]);
    }
    const scrivola::CommandLine commandLine = scrivola::parseCommandLine(arguments);
    if (commandLine.exitStatus) {
        const int status = *commandLine.exitStatus;
        (status == EXIT_SUCCESS ? std::cout : std::cerr) << commandLine.output.toLocal8Bit().data();
        return status;
    }
    // A render needs no window system and no sound device: it runs before
    // either is reached.
    if (!commandLine.renderPath.isEmpty()) {
        return scrivola::renderCommand(commandLine.renderPath, commandLine.recordPath, std::cerr);
    }
    // A recording that reaches the file size limit fails with a message
    // instead of ending the program.
    std::signal(SIGXFSZ, SIG_IGN);

    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Scrivola Synth"));
    QApplication::setApplicationVersion(QStringLiteral(SCRIVOLA_VERSION));
    // The app id names the desktop entry; the window must carry the same.
    QApplication::setDesktopFileName(QStringLiteral(SCRIVOLA_APP_ID));

    // The stream's threads ask the desktop's RealtimeKit for real-time
    // scheduling when the process may not set it itself.
    scrivola::RtAudioDevice::Settings output;
    output.realtimeBroker = std::make_shared<scrivola::RealtimeKitBroker>();
    scrivola::RtAudioSoundLayer sound(output);
    scrivola::Form1 window(sound);
    // Without a sound device there is nothing to play: no window, one line
    // on stderr saying why, and a failed status.
    if (!scrivola::startWindow(window, std::cerr)) {
        return EXIT_FAILURE;
    }
    if (!commandLine.recordPath.isEmpty()) {
        window.fileCommands().startRecording(commandLine.recordPath);
    }
    if (!commandLine.playPath.isEmpty()) {
        window.performanceReplay().play(commandLine.playPath);
    }
    return QApplication::exec();
}
