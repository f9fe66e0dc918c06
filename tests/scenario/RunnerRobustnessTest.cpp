// The scenario runner itself: a malformed or impossible scenario ends with a clear message that
// names its line and a non-zero exit code, before or instead of running on; a failed
// expectation shows what was expected and what happened.
#include <gtest/gtest.h>

#include <QDir>
#include <QFileInfo>

#include "ScenarioTestSupport.h"

using namespace melodrop::e2e;
using melodrop::scenario::kExpectationFailed;
using melodrop::scenario::kScenarioError;

namespace {

// The exit code and the message of a run that must not pass.
struct Outcome {
    int exitCode;
    QString message;
};

Outcome outcomeOf(const QString& text) {
    const ScenarioRun run = runText(text);
    return {run.result.exitCode, run.result.message};
}

}  // namespace

TEST(ScenarioParsing, MalformedLinesAreRefusedBeforeAnythingRuns) {
    struct Case {
        const char* text;
        const char* message;  // or its beginning
    };
    const Case cases[] = {
        {"start quick\nclik lblPlay\n",
         "inline.scn:2: unknown step `clik` (did you mean `click`?)"},
        {"setting\n", "inline.scn:1: missing words; usage: setting KEY [VALUE]"},
        {"start quick now\n", "inline.scn:1: too much on this line; usage: start [quick]"},
        {"user\n", "inline.scn:1: missing text at the end; usage: user LINE"},
        {"# fine\n\nexpect transcript\n  MeloFan: hi\n",
         "inline.scn:3: the block opened here is never closed with a line `end`"},
        {"end\n", "inline.scn:1: `end` without a block to close"},
        {"file \"skins/a.mds\n", "inline.scn:1: a quoted word has no closing \""},
        {"expect lines x\n",
         "inline.scn:1: unknown step `expect lines`; `expect` takes one of: line, transcript, "
         "no-lines, "},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        const ScenarioRun run = runText(QString::fromUtf8(c.text));
        EXPECT_EQ(run.result.exitCode, kScenarioError);
        EXPECT_TRUE(run.result.message.startsWith(QString::fromUtf8(c.message)))
            << run.result.message.toStdString();
        EXPECT_EQ(run.err, QStringList{run.result.message});
        EXPECT_TRUE(run.result.transcript.isEmpty());
    }
}

TEST(ScenarioParsing, AMissingScenarioFileIsReported) {
    const ScenarioRun run = runFile(QStringLiteral("no-such-scenario.scn"));
    EXPECT_EQ(run.result.exitCode, kScenarioError);
    EXPECT_TRUE(run.result.message.contains(QStringLiteral("cannot read the scenario")))
        << run.result.message.toStdString();
}

TEST(ScenarioSteps, StepsThatCannotBeCarriedOutNameTheirLine) {
    struct Case {
        const char* text;
        const char* messageStart;
    };
    const Case cases[] = {
        {"start quick\nclick lblPlayy\n",
         "inline.scn:2: the player window has no control `lblPlayy`; its controls: "},
        {"click lblPlay\n", "inline.scn:1: `click` needs the program: put `start` before it"},
        {"start quick\nsetting vol 3\n",
         "inline.scn:2: `setting` must come before `start` (line 1)"},
        {"start quick\nuser exit\nclick lblPlay\n",
         "inline.scn:3: the program has ended (line 2), so `click` cannot run"},
        {"say Carol hi\n", "inline.scn:1: Carol is not in the room (add `join Carol` first)"},
        {"user ${prog}\n", "inline.scn:1: unknown variable ${prog}; there are ${program}, "},
        {"wait 5x\n", "inline.scn:1: a wait is a number with a unit"},
        {"mp3s mine\n", "inline.scn:1: `mp3s` takes `demo`"},
        {"start quick\nmenu bar9\n", "inline.scn:2: the options menu has no item `bar9`"},
        {"start quick\nmenu skins\n", "inline.scn:2: `skins` opens a submenu"},
        {"start quick\nmenu defaultmp3player\n",
         "inline.scn:2: `defaultmp3player` is greyed out in the options menu"},
        {"start quick\ntray\n", "inline.scn:2: there is no tray icon to press"},
        {"start quick\ntrack-end\n", "inline.scn:2: no track can end: the player is empty"},
        {"start quick\nclick fileMP3s nothing.mp3\n",
         "inline.scn:2: fileMP3s has no entry \"nothing.mp3\""},
        {"start quick\nmenu rollup\nclick lblPlay\n",
         "inline.scn:3: `lblPlay` lies outside the window as it is now (rolled up?)"},
        {"start quick\nmenu minimizetosystray\nclick lblPlay\n",
         "inline.scn:3: the player window is hidden, so `lblPlay` cannot be reached"},
        {"start quick\nfolder /tmp\n", "inline.scn:2: the MP3 folder dialog is not open"},
        {"file /tmp/elsewhere.txt text\n",
         "inline.scn:1: /tmp/elsewhere.txt lies outside the run's temporary folders"},
        {"answer file ${program}/../../outside.zip\n", "inline.scn:1: /tmp/"},
        {"start quick\nmenu checkforupdates\n",
         "inline.scn:2: the update check needs the local update server"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        const Outcome outcome = outcomeOf(QString::fromUtf8(c.text));
        EXPECT_EQ(outcome.exitCode, kScenarioError);
        EXPECT_TRUE(outcome.message.startsWith(QString::fromUtf8(c.messageStart)))
            << outcome.message.toStdString();
    }
}

TEST(ScenarioAnswers, AQuestionWithoutAFittingAnswerIsAFaultOfTheScenario) {
    const Outcome none = outcomeOf(QStringLiteral("start quick\nclick lblExit\n"));
    EXPECT_EQ(none.exitCode, kScenarioError);
    EXPECT_EQ(none.message,
              "inline.scn:2: the program asked \"are you sure you want to exit?\" (Yes or No), "
              "but no answer was queued");

    const Outcome wrongKind =
        outcomeOf(QStringLiteral("start quick\nanswer text lunch\nclick lblExit\n"));
    EXPECT_EQ(wrongKind.exitCode, kScenarioError);
    EXPECT_EQ(wrongKind.message,
              "inline.scn:3: the program asked \"are you sure you want to exit?\" (Yes or No), "
              "but the next answer queued is `answer text lunch` (line 2)");

    const Outcome unused = outcomeOf(QStringLiteral("start quick\nanswer yes\nuser hello\n"));
    EXPECT_EQ(unused.exitCode, kScenarioError);
    EXPECT_EQ(unused.message,
              "inline.scn:2: this answer was never used: no question came after it");
}

TEST(ScenarioExpectations, AFailedExpectationShowsExpectedAndActualLines) {
    const ScenarioRun run = runText(QStringLiteral(R"(start quick
user hello
expect transcript
  MeloFan: hello
  MeloFan: hello again
end
)"));
    EXPECT_EQ(run.result.exitCode, kExpectationFailed);
    EXPECT_TRUE(run.result.message.startsWith(
        "inline.scn:3: the room's new lines are not the expected ones\nexpected:\n"))
        << run.result.message.toStdString();
    EXPECT_TRUE(run.result.message.contains("  MeloFan: hello again\nactual:\n  MeloFan: <Font"))
        << run.result.message.toStdString();
    EXPECT_TRUE(
        run.result.message.endsWith("  MeloFan: hello\nfirst difference: line 1, character 10"))
        << run.result.message.toStdString();
    // The run stops there, and what the room got so far is still printed.
    EXPECT_EQ(run.out.size(), 3);
    EXPECT_EQ(run.out.last(), "MeloFan: hello");
}

TEST(ScenarioExpectations, ExpectationsAfterTheFirstFailureDoNotRun) {
    const Outcome outcome = outcomeOf(
        QStringLiteral("start quick\nexpect state txtHandle dj\nexpect dialog never shown\n"));
    EXPECT_EQ(outcome.exitCode, kExpectationFailed);
    EXPECT_EQ(outcome.message, "inline.scn:2: txtHandle is \"user\"");
}

TEST(ScenarioFolders, TheProgramRunsInATemporaryFolderThatIsRemovedAfterwards) {
    const QFileInfo besideImmune(QStringLiteral(MELODROP_RUNTIME_DIR "/immune.txt"));
    const bool existedBefore = besideImmune.exists();
    const ScenarioRun run = runText(QStringLiteral(R"(setting trig /
start quick
user /imu bob
expect file immune.txt bob
note ${program}
)"));
    ASSERT_TRUE(passes(run));
    const QString programFolder = run.out.last().mid(2);
    EXPECT_TRUE(programFolder.startsWith(QDir::tempPath())) << programFolder.toStdString();
    EXPECT_FALSE(QFileInfo::exists(programFolder));
    EXPECT_EQ(QFileInfo::exists(besideImmune.filePath()), existedBefore);
}
