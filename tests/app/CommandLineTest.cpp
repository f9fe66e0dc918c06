// melodrop's command line: help and version without starting, a clear word and exit code 2 for
// what it does not understand, Qt's own options passed on. Read before any window exists, so it
// answers without a display.
#include <gtest/gtest.h>

#include <QDir>
#include <QProcess>
#include <QProcessEnvironment>

#include "app/CommandLine.h"

using namespace melodrop::app;

namespace {

CommandLineOptions parse(QStringList arguments) {
    arguments.prepend(QStringLiteral("/usr/bin/melodrop"));
    return parseCommandLine(arguments);
}

}  // namespace

TEST(CommandLine, NothingGivenStartsTheProgram) {
    const CommandLineOptions options = parse({});
    EXPECT_TRUE(options.run);
    EXPECT_EQ(options.output, "");
    EXPECT_EQ(options.error, "");
}

TEST(CommandLine, HelpListsTheOptionsAndWhereFilesLive) {
    for (const QString& asked : {QStringLiteral("--help"), QStringLiteral("-h")}) {
        const CommandLineOptions options = parse({asked});
        EXPECT_FALSE(options.run);
        EXPECT_EQ(options.exitCode, 0);
        EXPECT_TRUE(options.output.startsWith("Usage: melodrop [options] [FILE.mp3]\n"))
            << qPrintable(options.output);
        for (const char* part : {"-h, --help", "-v, --version", "~/.config/melodrop/melodrop.ini",
                                 "~/.local/share/melodrop/", "<prefix>/share/melodrop/"})
            EXPECT_TRUE(options.output.contains(QLatin1String(part))) << part;
        // Qt's own options are Qt's to explain.
        EXPECT_FALSE(options.output.contains("--platform")) << qPrintable(options.output);
        EXPECT_FALSE(options.output.contains("help-all")) << qPrintable(options.output);
        EXPECT_EQ(options.error, "");
    }
}

TEST(CommandLine, VersionIsTheProgramsVersion) {
    for (const QString& asked : {QStringLiteral("--version"), QStringLiteral("-v")}) {
        const CommandLineOptions options = parse({asked});
        EXPECT_FALSE(options.run);
        EXPECT_EQ(options.exitCode, 0);
        EXPECT_EQ(options.output, "melodrop 0.0.2\n");
    }
}

TEST(CommandLine, QtsOwnOptionsArePassedOn) {
    EXPECT_TRUE(parse({"-platform", "offscreen", "-style", "fusion", "-reverse"}).run);
    EXPECT_TRUE(parse({"--platform=offscreen", "-qwindowtitle", "x"}).run);
}

TEST(CommandLine, TheChatClientIsChosenOnTheCommandLine) {
    const CommandLineOptions plain = parse({});
    EXPECT_EQ(plain.client.kind, ClientKind::Simulated);
    EXPECT_EQ(parse({"--client", "sim"}).client.kind, ClientKind::Simulated);
    EXPECT_EQ(parse({"--client", "wine"}).client.kind, ClientKind::Wine);
    const CommandLineOptions bridge = parse(
        {"--client", "bridge", "--bridge-port", "5190", "--bridge-token-file", "/run/x/token"});
    EXPECT_TRUE(bridge.run);
    EXPECT_EQ(bridge.client.kind, ClientKind::Bridge);
    EXPECT_EQ(bridge.client.bridgePort, 5190);
    EXPECT_EQ(bridge.client.bridgeTokenFile, "/run/x/token");
    const QString help = parse({"--help"}).output;
    for (const char* part :
         {"--client <kind>", "--bridge-port <port>", "--bridge-token-file", "--client wine"})
        EXPECT_TRUE(help.contains(QLatin1String(part))) << part;
}

// A file to play: taken with its full path, from where the program was started.
TEST(CommandLine, AnMp3FileIsTakenWithItsFullPath) {
    const QString tone = QStringLiteral(MELODROP_FIXTURES_DIR "/tones/tone-1s.mp3");
    EXPECT_EQ(parse({tone}).file, tone);
    EXPECT_TRUE(parse({tone}).run);
    const QString here = QDir::currentPath();
    QDir::setCurrent(QStringLiteral(MELODROP_FIXTURES_DIR));
    const CommandLineOptions relative = parse({"tones/tone-1s.mp3", "tones/tone-3s.mp3"});
    QDir::setCurrent(here);
    EXPECT_EQ(relative.file, tone);  // of several, the first
    EXPECT_EQ(parse({}).file, QString());
    EXPECT_TRUE(parse({"--help"}).output.contains("FILE.mp3"));
}

TEST(CommandLine, WhatItDoesNotUnderstandIsAUsageError) {
    struct Case {
        QStringList arguments;
        QString said;
    };
    const QList<Case> cases = {
        {{"--bogus"}, "melodrop: unknown option '--bogus'\n"},
        {{"-x"}, "melodrop: unknown option '-x'\n"},
        {{"--bogus=3"}, "melodrop: unknown option '--bogus'\n"},
        {{"/no/such/song.mp3"}, "melodrop: no such file: '/no/such/song.mp3'\n"},
        {{"-platform"}, "melodrop: Missing value after '-platform'.\n"},
        {{"--client", "aim"}, "melodrop: unknown client 'aim' (choose sim, bridge, wine)\n"},
        {{"--bridge-port", "70000"}, "melodrop: not a port: '70000'\n"},
        {{"--bridge-port", "x"}, "melodrop: not a port: 'x'\n"},
    };
    for (const Case& c : cases) {
        const CommandLineOptions options = parse(c.arguments);
        EXPECT_FALSE(options.run) << qPrintable(c.arguments.join(' '));
        EXPECT_EQ(options.exitCode, kUsageError);
        EXPECT_EQ(options.error, c.said + "Try 'melodrop --help' for the options.\n");
        EXPECT_EQ(options.output, "");
    }
}

TEST(CommandLine, TheProgramAnswersWithoutADisplay) {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        environment.remove(QString::fromLatin1(name));
    auto run = [&](const QStringList& arguments, int expectedCode) {
        QProcess program;
        program.setProcessEnvironment(environment);
        program.start(QStringLiteral(MELODROP_RUNTIME_DIR "/melodrop"), arguments);
        EXPECT_TRUE(program.waitForFinished(30000));
        EXPECT_EQ(program.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(program.exitCode(), expectedCode) << qPrintable(arguments.join(' '));
        return QString::fromLocal8Bit(program.readAllStandardOutput() +
                                      program.readAllStandardError());
    };
    EXPECT_EQ(run({"--version"}, 0), "melodrop 0.0.2\n");
    EXPECT_TRUE(run({"--help"}, 0).contains("--version"));
    EXPECT_TRUE(
        run({"--nonsense"}, kUsageError).startsWith("melodrop: unknown option '--nonsense'"));
}
