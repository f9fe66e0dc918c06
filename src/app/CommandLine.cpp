#include "app/CommandLine.h"

#include <QCommandLineParser>
#include <QFileInfo>
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
    "With --client wine, melodrop starts melodrop-bridge.exe (from <prefix>/lib/melodrop/) with\n"
    "the user's wine (or wine64) in the user's Wine prefix (WINEPREFIX, or ~/.wine) and ends it\n"
    "when melodrop ends. With --client bridge, start melodrop-bridge.exe next to the chat client\n"
    "(under Wine) first or later: melodrop connects by itself, and again whenever the bridge\n"
    "comes back.\n"
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
        QStringLiteral("A small skinned MP3 player that takes part in a chat room.\n"
                       "Given FILE.mp3 it plays that file from its folder. One melodrop runs at "
                       "a time: a\nlater start brings it forward, and hands it the file."));
    parser.addPositionalArgument(QStringLiteral("FILE.mp3"),
                                 QStringLiteral("An MP3 file to play (optional)."),
                                 QStringLiteral("[FILE.mp3]"));
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")},
                                  QStringLiteral("Shows this help and ends."));
    const QCommandLineOption version({QStringLiteral("v"), QStringLiteral("version")},
                                     QStringLiteral("Shows the version and ends."));
    const QString kinds = clientKindNames().join(QStringLiteral(", "));
    const QCommandLineOption client(
        QStringLiteral("client"),
        QStringLiteral("The chat client to take part in: %1 (default %2). \"sim\" is the "
                       "built-in simulated room with its window; \"wine\" a real client under "
                       "Wine, reached through melodrop-bridge.exe, which melodrop starts next to "
                       "it; \"bridge\" the same through a melodrop-bridge.exe started by hand.")
            .arg(kinds, clientKindNames().constFirst()),
        QStringLiteral("kind"));
    const QCommandLineOption bridgePort(
        QStringLiteral("bridge-port"),
        QStringLiteral("The port melodrop-bridge listens on, on 127.0.0.1 (default 47190; "
                       "with --client wine a free one when that is taken)."),
        QStringLiteral("port"));
    const QCommandLineOption bridgeTokenFile(
        QStringLiteral("bridge-token-file"),
        QStringLiteral("The file where melodrop-bridge wrote its token (default "
                       "$XDG_RUNTIME_DIR/melodrop-bridge.token)."),
        QStringLiteral("file"));
    parser.addOption(help);
    parser.addOption(version);
    parser.addOption(client);
    parser.addOption(bridgePort);
    parser.addOption(bridgeTokenFile);
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
        result.output = QStringLiteral("Usage: ") + kProgram +
                        QStringLiteral(" [options] [FILE.mp3]") +
                        text.mid(text.indexOf(QLatin1Char('\n'))) + QString::fromLatin1(kFiles);
        return result;
    }
    if (parser.isSet(version)) {
        result.run = false;
        result.output =
            kProgram + QLatin1Char(' ') + UpdateCheck::runningVersionText() + QLatin1Char('\n');
        return result;
    }
    if (!parser.positionalArguments().isEmpty()) {
        const QString given = parser.positionalArguments().constFirst();
        const QFileInfo file(given);
        if (!file.isFile()) return usageError(QStringLiteral("no such file: '%1'").arg(given));
        result.file = file.absoluteFilePath();
    }
    if (parser.isSet(client)) {
        const QString kind = parser.value(client);
        if (!clientKindNames().contains(kind))
            return usageError(QStringLiteral("unknown client '%1' (choose %2)").arg(kind, kinds));
        result.client.kind = kind == QLatin1String("sim")      ? ClientKind::Simulated
                             : kind == QLatin1String("bridge") ? ClientKind::Bridge
                             : kind == QLatin1String("wine")   ? ClientKind::Wine
                                                               : ClientKind::Win32;
    }
    if (parser.isSet(bridgePort)) {
        bool ok = false;
        const uint port = parser.value(bridgePort).toUInt(&ok);
        if (!ok || port == 0 || port > 65535)
            return usageError(QStringLiteral("not a port: '%1'").arg(parser.value(bridgePort)));
        result.client.bridgePort = static_cast<quint16>(port);
    }
    if (parser.isSet(bridgeTokenFile))
        result.client.bridgeTokenFile = parser.value(bridgeTokenFile);
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
