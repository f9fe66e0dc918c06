#include "commandline/ProgramCommandLine.h"

#include <cstdio>

namespace melodrop::commandline {

namespace {

// Qt's documented options for every application with a window: left to Qt, not shown here.
void passQtOptionsOn(QCommandLineParser& parser) {
    for (const char* name :
         {"platform", "platformpluginpath", "platformtheme", "plugin", "qmljsdebugger",
          "qwindowgeometry", "qwindowicon", "qwindowtitle", "session", "display", "geometry",
          "style", "stylesheet", "name", "title", "visual"}) {
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

Outcome ending(QString output) {
    Outcome outcome;
    outcome.run = false;
    outcome.output = std::move(output);
    return outcome;
}

}  // namespace

ProgramCommandLine::ProgramCommandLine(ProgramText text)
    : text_(std::move(text)),
      help_({QStringLiteral("h"), QStringLiteral("help")},
            QStringLiteral("Shows this help and ends.")),
      version_({QStringLiteral("v"), QStringLiteral("version")},
               QStringLiteral("Shows the version and ends.")) {
    parser_.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    parser_.setApplicationDescription(text_.description);
    parser_.addOption(help_);
    parser_.addOption(version_);
}

Outcome ProgramCommandLine::parse(const QStringList& arguments) {
    passQtOptionsOn(parser_);
    if (!parser_.parse(arguments)) {
        const QStringList unknown = parser_.unknownOptionNames();
        if (!unknown.isEmpty())
            return usageError(QStringLiteral("unknown option '%1'")
                                  .arg(writtenAs(unknown.constFirst(), arguments)));
        return usageError(parser_.errorText());
    }
    if (parser_.isSet(help_)) {
        // Qt's help starts with "Usage: " and the running executable's name, when it knows one.
        const QString help = parser_.helpText();
        return ending(QStringLiteral("Usage: ") + text_.name + text_.usage +
                      help.mid(help.indexOf(QLatin1Char('\n'))) + text_.more);
    }
    if (parser_.isSet(version_))
        return ending(text_.name + QLatin1Char(' ') + text_.version + QLatin1Char('\n'));
    return {};
}

Outcome ProgramCommandLine::usageError(const QString& what) const {
    Outcome outcome;
    outcome.run = false;
    outcome.exitCode = kUsageError;
    outcome.error = text_.name + QStringLiteral(": ") + what + QStringLiteral("\nTry '") +
                    text_.name + QStringLiteral(" --help' for the options.\n");
    return outcome;
}

QStringList argumentsOf(int argc, char** argv) {
    QStringList arguments;
    for (int i = 0; i < argc; ++i) arguments << QString::fromLocal8Bit(argv[i]);
    return arguments;
}

int finishWithoutRunning(const Outcome& outcome) {
    std::fputs(outcome.output.toLocal8Bit().constData(), stdout);
    std::fputs(outcome.error.toLocal8Bit().constData(), stderr);
    std::fflush(nullptr);
    return outcome.exitCode;
}

}  // namespace melodrop::commandline
