// The program's command line: --help, --version, --record FILE, --output NAME,
// --render FILE.scrivola and --play FILE.scrivola (or the file alone).
// Read before the window system is reached, so that help, version and usage
// errors work without a display and never open a window or a sound device.
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <optional>

#include "audio/output_settings.h"

namespace scrivola {

struct CommandLine {
    // Set when the program should end at once with this status, after
    // printing `output` on standard output (help, version) or standard
    // error (a usage error).
    std::optional<int> exitStatus;
    QString output;
    // --record: the file to record into from start-up to exit, as the bytes
    // given; empty if none.
    QByteArray recordFile;
    // --output: the sound back end to play through; automatic: the first
    // that works.
    OutputBackend outputBackend = OutputBackend::automatic;
    // --render: the performance to render into `recordFile`, with no window,
    // as the bytes given; empty if none.
    QByteArray renderPath;
    // --play, or a file named without an option: the performance to replay
    // in the window once it is up, as the bytes given; empty if none.
    QByteArray playPath;
};

inline constexpr int kUsageErrorStatus = 2;

// `arguments` as the process got them (through decodeArgument), the
// program's name first. Options of the window system (such as -platform or
// -style) pass through unread.
CommandLine parseCommandLine(const QStringList& arguments);

// One argument as text that gives back its very bytes through
// argumentBytes(), also when they are not valid UTF-8: each byte that is not
// part of a valid sequence stands as the lone code unit U+DC80 + its value
// (which valid UTF-8 never yields). File names on the command line may be
// any bytes; QFile::decodeName would replace such bytes for good.
QString decodeArgument(const QByteArray& bytes);
QByteArray argumentBytes(const QString& text);

}  // namespace scrivola
