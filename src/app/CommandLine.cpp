#include "app/CommandLine.h"

#include <QCommandLineParser>
#include <cstdio>

#include "web/UpdateCheck.h"

namespace melodrop::app {

namespace {

const QString kProgram = QStringLiteral("melodrop");

const char* const kFiles =
    "\n"
    "Files:\n"
    "  ~/.config/melodrop/melodrop.ini  the settings\n"
    "  ~/.local/share/melodrop/         what melodrop and skinfetch write: the immune list\n"
    "                                   (immune.txt) and downloaded skins (skins/); skins are\n"
    "                                   looked for here first\n"
    "  <prefix>/share/melodrop/         the shipped skins (skins/) and the chat commands\n"
    "                                   (commands.txt)\n"
    "Run from its build tree, melodrop keeps skins/, commands.txt and immune.txt beside itself.\n"
    "Qt's own options (-platform, -style ...) are passed on to Qt.\n";

// Qt's documented options for every application with a window: left to Qt, not shown here.
void passQtOptionsOn(QCommandLineParser& parser) {
    const QStringList withValue = {
        QStringLiteral("platform"),      QStringLiteral("platformpluginpath"),
        QStringLiteral("platformtheme"), QStringLiteral("plugin"),
        QStringLiteral("qmljsdebugger"), QStringLiteral("qwindowgeometry"),
        QStringLiteral("qwindowicon"),   QStringLiteral("qwindowtitle"),
        QStringLiteral("session"),       QStringLiteral("display"),
        QStringLiteral("geometry"),      QStringLiteral("style"),
        QStringLiteral("stylesheet"),    QStringLiteral("name"),
        QStringLiteral("title"),         QStringLiteral("visual")};
    const QStringList flags = {QStringLiteral("reverse"), QStringLiteral("widgetcount"),
                               QStringLiteral("nograb"), QStringLiteral("dograb"),
                               QStringLiteral("sync")};
    for (const QString& name : withValue) {
        QCommandLineOption option(name, QString(), QStringLiteral("value"));
        option.setFlags(QCommandLineOption::HiddenFromHelp);
        parser.addOption(option);
    }
    for (const QString& name : flags) {
        QCommandLineOption option(name);
        option.setFlags(QCommandLineOption::HiddenFromHelp);
        parser.addOption(option);
    }
}

// The argument as written for an option name the parser did not know ("--bogus", "-x").
QString writtenAs(const QString& name, const QStringList& arguments) {
    for (const QString& argument : arguments.mid(1)) {
        QString bare = argument.section(QLatin1Char('='), 0, 0);
        while (bare.startsWith(QLatin1Char('-'))) bare.remove(0, 1);
        if (bare == name && argument.startsWith(QLatin1Char('-')))
            return argument.section(QLatin1Char('='), 0, 0);
    }
    return QStringLiteral("--") + name;
}

CommandLineOptions usageError(const QString& what) {
    CommandLineOptions result;
    result.run = false;
    result.exitCode = kUsageError;
    result.error = kProgram + QStringLiteral(": ") + what + QStringLiteral("\nTry '") + kProgram +
                   QStringLiteral(" --help' for the options.\n");
    return result;
}

}  // namespace

CommandLineOptions parseCommandLine(const QStringList& arguments) {
    QCommandLineParser parser;
    // Qt's options are written with one dash (-platform); so may melodrop's own be.
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    parser.setApplicationDescription(
        QStringLiteral("A small skinned MP3 player that takes part in a chat room."));
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")},
                                  QStringLiteral("Shows this help and ends."));
    const QCommandLineOption version({QStringLiteral("v"), QStringLiteral("version")},
                                     QStringLiteral("Shows the version and ends."));
    parser.addOption(help);
    parser.addOption(version);
    passQtOptionsOn(parser);

    CommandLineOptions result;
    if (!parser.parse(arguments)) {
        const QStringList unknown = parser.unknownOptionNames();
        if (!unknown.isEmpty())
            return usageError(QStringLiteral("unknown option '%1'")
                                  .arg(writtenAs(unknown.constFirst(), arguments)));
        return usageError(parser.errorText());
    }
    if (parser.isSet(help)) {
        result.run = false;
        // Qt names the program after the running executable, when it knows one.
        const QString text = parser.helpText();
        result.output = QStringLiteral("Usage: ") + kProgram + QStringLiteral(" [options]") +
                        text.mid(text.indexOf(QLatin1Char('\n'))) + QString::fromLatin1(kFiles);
        return result;
    }
    if (parser.isSet(version)) {
        result.run = false;
        result.output =
            kProgram + QLatin1Char(' ') + UpdateCheck::runningVersionText() + QLatin1Char('\n');
        return result;
    }
    if (!parser.positionalArguments().isEmpty())
        return usageError(
            QStringLiteral("unexpected argument '%1'").arg(parser.positionalArguments().first()));
    return result;
}

QStringList argumentsOf(int argc, char** argv) {
    QStringList arguments;
    for (int i = 0; i < argc; ++i) arguments << QString::fromLocal8Bit(argv[i]);
    return arguments;
}

int finishWithoutRunning(const CommandLineOptions& options) {
    std::fputs(options.output.toLocal8Bit().constData(), stdout);
    std::fputs(options.error.toLocal8Bit().constData(), stderr);
    std::fflush(nullptr);
    return options.exitCode;
}

}  // namespace melodrop::app
