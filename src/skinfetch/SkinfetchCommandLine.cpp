#include "skinfetch/SkinfetchCommandLine.h"

#include <QCommandLineParser>

namespace melodrop::skinfetch {

namespace {

const QString kProgram = QStringLiteral("skinfetch");

const char* const kMore =
    "\n"
    "skinfetch lists the skins offered for melodrop by its update server and downloads the\n"
    "chosen one (a .zip archive, not unpacked) into melodrop's skins folder:\n"
    "~/.local/share/melodrop/skins/ when installed, the skins folder beside it otherwise.\n"
    "The environment variable MELODROP_UPDATE_SERVER names another server.\n"
    "Qt's own options (-platform, -style ...) are passed on to Qt.\n";

// Qt's documented options for every application with a window: left to Qt, not shown here.
void passQtOptionsOn(QCommandLineParser& parser) {
    for (const char* name : {"platform", "platformpluginpath", "platformtheme", "plugin",
                             "qwindowgeometry", "qwindowicon", "qwindowtitle", "session", "display",
                             "geometry", "style", "stylesheet", "name", "title", "visual"}) {
        QCommandLineOption option(QString::fromLatin1(name), QString(), QStringLiteral("value"));
        option.setFlags(QCommandLineOption::HiddenFromHelp);
        parser.addOption(option);
    }
    for (const char* name : {"reverse", "widgetcount", "nograb", "dograb", "sync"}) {
        QCommandLineOption option(QString::fromLatin1(name));
        option.setFlags(QCommandLineOption::HiddenFromHelp);
        parser.addOption(option);
    }
}

SkinfetchCommandLine usageError(const QString& what) {
    SkinfetchCommandLine result;
    result.run = false;
    result.exitCode = kUsageError;
    result.error = kProgram + QStringLiteral(": ") + what + QStringLiteral("\nTry '") + kProgram +
                   QStringLiteral(" --help' for the options.\n");
    return result;
}

// The argument as written for an option the parser did not know ("--bogus", "-x").
QString writtenAs(const QString& name, const QStringList& arguments) {
    for (const QString& argument : arguments.mid(1)) {
        QString bare = argument.section(QLatin1Char('='), 0, 0);
        while (bare.startsWith(QLatin1Char('-'))) bare.remove(0, 1);
        if (bare == name && argument.startsWith(QLatin1Char('-')))
            return argument.section(QLatin1Char('='), 0, 0);
    }
    return QStringLiteral("--") + name;
}

}  // namespace

SkinfetchCommandLine parseSkinfetchCommandLine(const QStringList& arguments) {
    QCommandLineParser parser;
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    parser.setApplicationDescription(QStringLiteral("Downloads skins for melodrop."));
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")},
                                  QStringLiteral("Shows this help and ends."));
    const QCommandLineOption version({QStringLiteral("v"), QStringLiteral("version")},
                                     QStringLiteral("Shows the version and ends."));
    parser.addOption(help);
    parser.addOption(version);
    passQtOptionsOn(parser);

    SkinfetchCommandLine result;
    if (!parser.parse(arguments)) {
        const QStringList unknown = parser.unknownOptionNames();
        if (!unknown.isEmpty())
            return usageError(QStringLiteral("unknown option '%1'")
                                  .arg(writtenAs(unknown.constFirst(), arguments)));
        return usageError(parser.errorText());
    }
    if (parser.isSet(help)) {
        result.run = false;
        const QString text = parser.helpText();
        result.output = QStringLiteral("Usage: ") + kProgram + QStringLiteral(" [options]") +
                        text.mid(text.indexOf(QLatin1Char('\n'))) + QString::fromLatin1(kMore);
        return result;
    }
    if (parser.isSet(version)) {
        result.run = false;
        result.output = kProgram + QStringLiteral(" " MELODROP_VERSION "\n");
        return result;
    }
    if (!parser.positionalArguments().isEmpty())
        return usageError(QStringLiteral("unexpected argument '%1'")
                              .arg(parser.positionalArguments().constFirst()));
    return result;
}

}  // namespace melodrop::skinfetch
