// Scrivola Synth: a synthesizer played by drawing.
#include <QApplication>
#include <csignal>
#include <cstdlib>
#include <iostream>
#include <memory>

#include "audio/realtime.h"
#include "audio/system_sound_layer.h"
#include "performance/render_command.h"
#include "ui/command_line.h"
#include "ui/display_guard.h"
#include "ui/file_commands.h"
#include "ui/form1.h"
#include "ui/linked_sound_observer.h"
#include "ui/outside_end.h"
#include "ui/performance_replay.h"
#include "ui/realtime_kit.h"
#include "ui/startup.h"

int main(int argc, char** argv) {
    QStringList arguments;
    for (int i = 0; i < argc; ++i) {
        arguments << scrivola::decodeArgument(argv[i]);
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
        return scrivola::renderCommand(commandLine.renderPath, commandLine.recordFile, std::cerr,
                                       scrivola::linkedSoundObserver());
    }
    // A recording that reaches the file size limit fails with a message
    // instead of ending the program.
    std::signal(SIGXFSZ, SIG_IGN);

    // On X11 the window's pixels go to the server in its requests rather than
    // through a shared memory segment: before repainting a part it sent
    // through the segment, Qt waits for the server to have read it, and the
    // scopes repaint the same place on every tick, so the window's thread
    // and Qt's X event thread would wake for that round trip 64 times a
    // second. What a tick repaints is small. A value the user set stays.
    if (!qEnvironmentVariableIsSet("QT_XCB_NO_MITSHM")) {
        qputenv("QT_XCB_NO_MITSHM", "1");
    }
    // Without a display: one line on stderr and status 1, not Qt's abort.
    auto displayGuard = std::make_unique<scrivola::DisplayGuard>();
    QApplication app(argc, argv);
    displayGuard.reset();
    QApplication::setApplicationName(QStringLiteral("Scrivola Synth"));
    QApplication::setApplicationVersion(QStringLiteral(SCRIVOLA_VERSION));
    // The app id names the desktop entry; the window must carry the same.
    QApplication::setDesktopFileName(QStringLiteral(SCRIVOLA_APP_ID));

    // The stream's threads ask the desktop's RealtimeKit for real-time
    // scheduling when the process may not set it itself, and the window's
    // threads (this one and the toolkit's event reader) for a high priority:
    // they compute what the output plays, and a busy desktop must not delay
    // the pen's sound.
    scrivola::OutputSettings output;
    output.backend = commandLine.outputBackend;
    output.applicationId = SCRIVOLA_APP_ID;
    output.realtimeBroker = std::make_shared<scrivola::RealtimeKitBroker>();
    scrivola::raiseWindowThreads(scrivola::threadIds(), output.realtimeBroker.get());
    scrivola::SystemSoundLayer sound(output);
    sound.setObserver(scrivola::linkedSoundObserver());
    scrivola::Form1 window(sound);
    // Without a sound device there is nothing to play: no window, one line
    // on stderr saying why, and a failed status.
    if (!scrivola::startWindow(window, std::cerr)) {
        return EXIT_FAILURE;
    }
    // Ctrl+C, kill, a closed terminal and a window destroyed by another
    // program end the program as closing the window does.
    scrivola::endOnTerminationSignals(window);
    scrivola::endWhenWindowDestroyed(window);
    if (!commandLine.recordFile.isEmpty()) {
        window.fileCommands().startCommandLineRecording(commandLine.recordFile);
    }
    if (!commandLine.playPath.isEmpty()) {
        window.performanceReplay().play(commandLine.playPath);
    }
    const int status = QApplication::exec();
    return status != EXIT_SUCCESS ? status : window.fileCommands().exitStatus();
}
