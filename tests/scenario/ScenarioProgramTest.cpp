// The melodrop-scenario program as a user runs it: its arguments, its output and exit codes,
// and the watchdog that ends a step that would not finish.
#include <gtest/gtest.h>

#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

#include "ScenarioTestSupport.h"
#include "fakes/Sanitizers.h"

namespace {

const QString kProgram = QStringLiteral(MELODROP_RUNTIME_DIR "/melodrop-scenario");

struct ProgramRun {
    int exitCode = -1;
    QString out;
    QString err;
};

ProgramRun runProgram(const QStringList& arguments, const QString& scenarioText = {}) {
    QTemporaryDir dir;
    QStringList args = arguments;
    if (!scenarioText.isNull()) {
        const QString path = dir.filePath(QStringLiteral("test.scn"));
        QFile file(path);
        if (file.open(QIODevice::WriteOnly)) file.write(scenarioText.toUtf8());
        args << path;
    }
    QProcess process;
    process.start(kProgram, args);
    process.waitForFinished(60000);
    ProgramRun run;
    run.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    run.out = QString::fromUtf8(process.readAllStandardOutput());
    run.err = QString::fromUtf8(process.readAllStandardError());
    return run;
}

class ScenarioProgram : public ::testing::Test {
protected:
    void SetUp() override {
        if (!QFileInfo(kProgram).isExecutable()) GTEST_SKIP() << "melodrop-scenario is not built";
    }
};

}  // namespace

TEST_F(ScenarioProgram, PrintsTheTranscriptAndExitsWithZero) {
    const ProgramRun run = runProgram({QStringLiteral("--silent")}, QStringLiteral(R"(join Bob
say Bob hello
note done
)"));
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_EQ(run.out, "Bob: hello\n\n# done\n");
}

TEST_F(ScenarioProgram, AFailedExpectationExitsWithOneAndSaysWhere) {
    const ProgramRun run =
        runProgram({QStringLiteral("--silent")}, QStringLiteral("join Bob\nexpect line Bob: hi\n"));
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.err.contains(QStringLiteral("test.scn:2: no new line of the room reads")))
        << run.err.toStdString();
}

TEST_F(ScenarioProgram, WrongArgumentsShowTheUsage) {
    for (const QStringList& args : {QStringList{}, QStringList{QStringLiteral("--loud"), "x.scn"},
                                    QStringList{QStringLiteral("--step-limit"), "soon", "x.scn"}}) {
        const ProgramRun run = runProgram(args);
        EXPECT_EQ(run.exitCode, 2);
        EXPECT_TRUE(run.err.startsWith(QStringLiteral("usage: melodrop-scenario")))
            << run.err.toStdString();
    }
}

TEST_F(ScenarioProgram, AStepThatRunsTooLongEndsTheRunWithCode124) {
    // Virtual days of idle mode (a line in the room every minute) take longer than the seconds
    // allowed (more of them under the sanitizers, where starting alone may take a second).
    const int limit = melodrop::testing::kUnderAddressSanitizer ? 4 : 1;
    const ProgramRun run = runProgram(
        {QStringLiteral("--silent"), QStringLiteral("--step-limit"), QString::number(limit)},
        QStringLiteral("start quick\nuser idle lunch\n") +
            QStringLiteral("wait 48h\n").repeated(8));
    EXPECT_EQ(run.exitCode, 124);
    EXPECT_TRUE(run.err.contains(
        QStringLiteral("(wait): did not finish within %1 s of real time; giving up").arg(limit)))
        << run.err.toStdString();
}
