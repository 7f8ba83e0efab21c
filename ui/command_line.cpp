#include "ui/command_line.h"

#include <QCommandLineParser>
#include <QRegularExpression>
#include <cstdlib>

namespace scrivola {
namespace {

// The toolkit's own options, which QApplication takes out of the arguments
// later; known here only so they are not refused.
const char* const kToolkitOptionsWithValue[] = {
    "platform",    "platformpluginpath", "platformtheme", "plugin",     "qwindowgeometry",
    "qwindowicon", "qwindowtitle",       "style",         "stylesheet", "session",
    "display",     "geometry",           "name",          "title",      "visual"};
const char* const kToolkitFlags[] = {"reverse", "widgetcount", "nograb", "dograb", "sync"};

}  // namespace

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
        QStringLiteral("Record the sound to <FILE.wav> from start-up until the program ends."),
        QStringLiteral("FILE.wav"));
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
        result.recordPath = parser.value(record);
        result.renderPath = parser.value(render);
        result.playPath =
            parser.isSet(play) ? parser.value(play) : parser.positionalArguments().value(0);
    }
    return result;
}

}  // namespace scrivola
