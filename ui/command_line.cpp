#include "ui/command_line.h"

#include <QCommandLineParser>
#include <QRegularExpression>
#include <cstdlib>

#include "audio/sound_file_format.h"

namespace scrivola {
namespace {

// The toolkit's own options, which QApplication takes out of the arguments
// later; known here only so they are not refused.
const char* const kToolkitOptionsWithValue[] = {
    "platform",    "platformpluginpath", "platformtheme", "plugin",     "qwindowgeometry",
    "qwindowicon", "qwindowtitle",       "style",         "stylesheet", "session",
    "display",     "geometry",           "name",          "title",      "visual"};
const char* const kToolkitFlags[] = {"reverse", "widgetcount", "nograb", "dograb", "sync"};

constexpr char16_t kEscapedByte = 0xDC00;

// The length of the valid UTF-8 sequence at `at`, or 0 when there is none
// (a stray, overlong, surrogate or out-of-range sequence, or a cut one).
int validSequenceAt(const QByteArray& bytes, qsizetype at) {
    const auto byte = [&](qsizetype i) { return static_cast<unsigned char>(bytes[i]); };
    const unsigned char lead = byte(at);
    if (lead < 0x80) {
        return 1;
    }
    int length = 0;
    unsigned low = 0x80;  // the smallest and largest allowed second byte
    unsigned high = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        low = lead == 0xE0 ? 0xA0 : 0x80;
        high = lead == 0xED ? 0x9F : 0xBF;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        low = lead == 0xF0 ? 0x90 : 0x80;
        high = lead == 0xF4 ? 0x8F : 0xBF;
    } else {
        return 0;
    }
    if (at + length > bytes.size() || byte(at + 1) < low || byte(at + 1) > high) {
        return 0;
    }
    for (int i = 2; i < length; ++i) {
        if (byte(at + i) < 0x80 || byte(at + i) > 0xBF) {
            return 0;
        }
    }
    return length;
}

}  // namespace

QString decodeArgument(const QByteArray& bytes) {
    QString text;
    for (qsizetype at = 0; at < bytes.size();) {
        const int length = validSequenceAt(bytes, at);
        if (length == 0) {
            text += QChar(kEscapedByte + static_cast<unsigned char>(bytes[at]));
            ++at;
        } else {
            text += QString::fromUtf8(bytes.mid(at, length));
            at += length;
        }
    }
    return text;
}

QByteArray argumentBytes(const QString& text) {
    QByteArray bytes;
    for (qsizetype at = 0; at < text.size(); ++at) {
        const char16_t unit = text[at].unicode();
        if (text[at].isHighSurrogate() && at + 1 < text.size() && text[at + 1].isLowSurrogate()) {
            bytes += text.mid(at, 2).toUtf8();
            ++at;
        } else if (unit >= kEscapedByte + 0x80 && unit <= kEscapedByte + 0xFF) {
            bytes += static_cast<char>(unit - kEscapedByte);
        } else {
            bytes += QString(text[at]).toUtf8();
        }
    }
    return bytes;
}

CommandLine parseCommandLine(const QStringList& arguments) {
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("A synthesizer played by drawing."));
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    const QCommandLineOption help(QStringLiteral("help"),
                                  QStringLiteral("Show this help and exit."));
    const QCommandLineOption version(QStringLiteral("version"),
                                     QStringLiteral("Show the version and exit."));
    const QCommandLineOption record(
        QStringLiteral("record"),
        QStringLiteral("Record the sound to <FILE> (.wav, .flac or .ogg) from start-up "
                       "until the program ends."),
        QStringLiteral("FILE"));
    const QCommandLineOption output(
        QStringLiteral("output"),
        QStringLiteral("Play through <NAME>: pipewire, pulseaudio or alsa. Without it, the first "
                       "of these that works is used."),
        QStringLiteral("NAME"));
    parser.addOption(help);
    parser.addOption(version);
    const QCommandLineOption render(
        QStringLiteral("render"),
        QStringLiteral("Render the performance <FILE.scrivola> into the --record file, with no "
                       "window and no sound device, and exit."),
        QStringLiteral("FILE.scrivola"));
    const QCommandLineOption play(
        QStringLiteral("play"),
        QStringLiteral("Replay the performance <FILE.scrivola> in the window (the file may also "
                       "be named alone)."),
        QStringLiteral("FILE.scrivola"));
    parser.addOption(record);
    parser.addOption(output);
    parser.addOption(render);
    parser.addOption(play);
    parser.addPositionalArgument(QStringLiteral("FILE.scrivola"),
                                 QStringLiteral("A performance to replay, as --play."),
                                 QStringLiteral("[FILE.scrivola]"));
    for (const char* name : kToolkitOptionsWithValue) {
        QCommandLineOption option(QString::fromLatin1(name), QString(), QStringLiteral("value"));
        option.setFlags(QCommandLineOption::HiddenFromHelp);
        parser.addOption(option);
    }
    for (const char* name : kToolkitFlags) {
        QCommandLineOption option(QString::fromLatin1(name));
        option.setFlags(QCommandLineOption::HiddenFromHelp);
        parser.addOption(option);
    }

    CommandLine result;
    const QString name = QStringLiteral("scrivola-synth");
    QString error;
    if (!parser.parse(arguments)) {
        error = parser.errorText();
    } else if (parser.positionalArguments().size() > 1 ||
               (parser.positionalArguments().size() == 1 && parser.isSet(play))) {
        error =
            QStringLiteral("Unexpected argument '%1'.").arg(parser.positionalArguments().last());
    } else if (parser.values(play).size() > 1) {
        error = QStringLiteral("Only one --play file.");
    } else if (parser.isSet(play) && parser.value(play).isEmpty()) {
        error = QStringLiteral("--play needs a file name.");
    } else if (parser.values(record).size() > 1) {
        error = QStringLiteral("Only one --record file.");
    } else if (parser.isSet(record) && parser.value(record).isEmpty()) {
        error = QStringLiteral("--record needs a file name.");
    } else if (const std::string problem =
                   parser.isSet(record)
                       ? soundFileNameProblem(argumentBytes(parser.value(record)).toStdString())
                       : std::string();
               !problem.empty()) {
        error = QStringLiteral("Cannot record to %1: %2.")
                    .arg(parser.value(record), QString::fromStdString(problem));
    } else if (parser.values(output).size() > 1) {
        error = QStringLiteral("Only one --output.");
    } else if (parser.isSet(output) && !outputBackendNamed(parser.value(output).toStdString())) {
        error = QStringLiteral("Unknown output '%1': pipewire, pulseaudio or alsa.")
                    .arg(parser.value(output));
    } else if (parser.values(render).size() > 1) {
        error = QStringLiteral("Only one --render file.");
    } else if (parser.isSet(render) && parser.value(render).isEmpty()) {
        error = QStringLiteral("--render needs a file name.");
    } else if (parser.isSet(render) && !parser.isSet(record)) {
        error = QStringLiteral("--render needs --record FILE to name the sound file.");
    }
    // The help names the program as installed, whatever path started it.
    const QString usage = parser.helpText().replace(
        QRegularExpression(QStringLiteral("^Usage: \\S+")), QStringLiteral("Usage: ") + name);
    if (!error.isEmpty()) {
        result.exitStatus = kUsageErrorStatus;
        result.output = name + QStringLiteral(": ") + error + QLatin1Char('\n') + usage;
    } else if (parser.isSet(help)) {
        result.exitStatus = EXIT_SUCCESS;
        result.output = usage;
    } else if (parser.isSet(version)) {
        result.exitStatus = EXIT_SUCCESS;
        result.output =
            name + QLatin1Char(' ') + QStringLiteral(SCRIVOLA_VERSION) + QLatin1Char('\n');
    } else {
        result.recordFile = argumentBytes(parser.value(record));
        if (parser.isSet(output)) {
            result.outputBackend = *outputBackendNamed(parser.value(output).toStdString());
        }
        result.renderPath = argumentBytes(parser.value(render));
        result.playPath = argumentBytes(parser.isSet(play) ? parser.value(play)
                                                           : parser.positionalArguments().value(0));
    }
    return result;
}

}  // namespace scrivola
