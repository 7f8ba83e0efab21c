// The program's command line: --help, --version, --record FILE.wav,
// --render FILE.scrivola and --play FILE.scrivola (or the file alone).
// Read before the window system is reached, so that help, version and usage
// errors work without a display and never open a window or a sound device.
#pragma once

#include <QString>
#include <QStringList>
#include <optional>

namespace scrivola {

struct CommandLine {
    // Set when the program should end at once with this status, after
    // printing `output` on standard output (help, version) or standard
    // error (a usage error).
    std::optional<int> exitStatus;
    QString output;
    // --record: the file to record into from start-up to exit; empty if none.
    QString recordPath;
    // --render: the performance to render into `recordPath`, with no window;
    // empty if none.
    QString renderPath;
    // --play, or a file named without an option: the performance to replay
    // in the window once it is up; empty if none.
    QString playPath;
};

inline constexpr int kUsageErrorStatus = 2;

// `arguments` as the process got them, the program's name first. Options of
// the window system (such as -platform or -style) pass through unread.
CommandLine parseCommandLine(const QStringList& arguments);

}  // namespace scrivola
