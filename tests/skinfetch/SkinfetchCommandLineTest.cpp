// skinfetch's command line: --help and --version answer without a window (and without a
// display), and what it does not understand ends it with exit code 2, as melodrop does.
#include <gtest/gtest.h>

#include <QProcess>
#include <QProcessEnvironment>

#include "skinfetch/SkinfetchCommandLine.h"

using namespace melodrop::skinfetch;

namespace {

SkinfetchCommandLine parse(QStringList arguments) {
    arguments.prepend(QStringLiteral("/usr/bin/skinfetch"));
    return parseSkinfetchCommandLine(arguments);
}

}  // namespace

TEST(SkinfetchCommandLine, HelpVersionAndWhatItDoesNotUnderstand) {
    EXPECT_TRUE(parse({}).run);
    EXPECT_TRUE(parse({"-platform", "offscreen", "--style=fusion"}).run);  // Qt's own
    for (const char* asked : {"--help", "-h"}) {
        const SkinfetchCommandLine help = parse({asked});
        EXPECT_FALSE(help.run);
        EXPECT_EQ(help.exitCode, 0);
        EXPECT_TRUE(help.output.startsWith("Usage: skinfetch [options]\n"))
            << qPrintable(help.output);
        EXPECT_TRUE(help.output.contains("--version"));
        EXPECT_TRUE(help.output.contains("~/.local/share/melodrop/skins/"));
        EXPECT_FALSE(help.output.contains("--platform"));
    }
    for (const char* asked : {"--version", "-v"}) {
        const SkinfetchCommandLine version = parse({asked});
        EXPECT_FALSE(version.run);
        EXPECT_EQ(version.output, "skinfetch 0.0.2\n");
    }
    const struct {
        QStringList arguments;
        const char* said;
    } wrong[] = {
        {{"--bogus"}, "skinfetch: unknown option '--bogus'\n"},
        {{"-x=1"}, "skinfetch: unknown option '-x'\n"},
        {{"sunset"}, "skinfetch: unexpected argument 'sunset'\n"},
        {{"-style"}, "skinfetch: Missing value after '-style'.\n"},
    };
    for (const auto& w : wrong) {
        const SkinfetchCommandLine result = parse(w.arguments);
        EXPECT_FALSE(result.run);
        EXPECT_EQ(result.exitCode, kUsageError);
        EXPECT_EQ(result.error,
                  QString::fromLatin1(w.said) + "Try 'skinfetch --help' for the options.\n");
        EXPECT_EQ(result.output, "");
    }
}

TEST(SkinfetchCommandLine, TheProgramAnswersWithoutOpeningItsWindow) {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        environment.remove(QString::fromLatin1(name));
    const struct {
        QStringList arguments;
        int code;
        const char* starts;
    } runs[] = {{{"--version"}, 0, "skinfetch 0.0.2\n"},
                {{"--help"}, 0, "Usage: skinfetch"},
                {{"--nonsense"}, kUsageError, "skinfetch: unknown option '--nonsense'"}};
    for (const auto& r : runs) {
        QProcess program;
        program.setProcessEnvironment(environment);
        program.setProcessChannelMode(QProcess::MergedChannels);
        program.start(QStringLiteral(MELODROP_RUNTIME_DIR "/skinfetch"), r.arguments);
        ASSERT_TRUE(program.waitForFinished(30000));
        EXPECT_EQ(program.exitCode(), r.code);
        EXPECT_TRUE(QString::fromLocal8Bit(program.readAll()).startsWith(r.starts));
    }
}
