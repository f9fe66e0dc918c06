#include "app/CommandLine.h"

#include <QCommandLineParser>
#include <QFileInfo>

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

// A command line that does not start the program.
CommandLineOptions ending(const commandline::Outcome& outcome) {
    CommandLineOptions options;
    static_cast<commandline::Outcome&>(options) = outcome;
    return options;
}

}  // namespace

CommandLineOptions parseCommandLine(const QStringList& arguments) {
    commandline::ProgramCommandLine commandLine(
        {kProgram,
         QStringLiteral("A small skinned MP3 player that takes part in a chat room.\n"
                        "Given FILE.mp3 it plays that file from its folder. One melodrop runs at "
                        "a time: a\nlater start brings it forward, and hands it the file."),
         QStringLiteral(" [options] [FILE.mp3]"), QString::fromLatin1(kFiles),
         UpdateCheck::runningVersionText()});
    QCommandLineParser& parser = commandLine.parser();
    parser.addPositionalArgument(QStringLiteral("FILE.mp3"),
                                 QStringLiteral("An MP3 file to play (optional)."),
                                 QStringLiteral("[FILE.mp3]"));
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
                       "$XDG_RUNTIME_DIR/melodrop-bridge.token; with --client wine on another "
                       "port than 47190, melodrop-bridge-PORT.token there)."),
        QStringLiteral("file"));
    parser.addOption(client);
    parser.addOption(bridgePort);
    parser.addOption(bridgeTokenFile);

    const commandline::Outcome outcome = commandLine.parse(arguments);
    if (!outcome.run) return ending(outcome);
    const auto usageError = [&](const QString& what) {
        return ending(commandLine.usageError(what));
    };
    CommandLineOptions result;
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

}  // namespace melodrop::app
