// The runner's steps for hostile and unlucky worlds: the client's transcript bound, floods,
// long texts, special files, a client that changes under the program, restarts on the same
// settings and files, and the limits of a run.
#include <gtest/gtest.h>

#include "ScenarioTestSupport.h"

using namespace melodrop::e2e;
using melodrop::scenario::kExpectationFailed;
using melodrop::scenario::kScenarioError;

// What is set survives the program's end: a restart finds the settings and the immune list.
TEST(WorldSteps, ARestartStartsOnTheSameSettingsAndFiles) {
    EXPECT_TRUE(passes(runText(QStringLiteral(R"(
mp3 Love Song.mp3
join Bob
start quick
slide 40
user imu Bob
user trig /
user /play love
expect opened ${mp3s}/Love Song.mp3
restart quick
expect slider 40
expect volume -1500
expect setting vol 40
expect state lstImmune bob
expect state txtTrigger /
expect not-playing
user /exit
expect ended
restart quick
expect running
expect state txtTrigger /
)"))));
}

// The client keeps its last 250 lines; the runner still sees every line of a flood, and so do
// the program's scanners: 300 numbered lines with ax 300 ignore the flooder at the 300th.
TEST(WorldSteps, AFloodIsSeenLineByLineThroughTheClientsBound) {
    const ScenarioRun run = runText(QStringLiteral(R"(
join Bob
start quick
user ax 300
flood Bob 299 spam {n}
expect not-ignored Bob
flood Bob 1 spam 300
expect ignored Bob
expect line Bob: spam 300
)"));
    ASSERT_TRUE(passes(run));
    EXPECT_EQ(run.result.transcript.filter(QStringLiteral("Bob: spam ")).size(), 300);
    EXPECT_EQ(
        run.result.transcript
            .filter(QStringLiteral("uto <b>i</b>gnoring; '<Font Color=\"#0000A0\"><b>bob</b>"))
            .size(),
        1);
}

TEST(WorldSteps, DefinedTextsBytesPipesAndLinks) {
    EXPECT_TRUE(passes(runText(QStringLiteral(R"(
define long 3 ab
file skins/x.mds [melodrop]\x0d\x0aimage=caf\xe9.bmp
fifo immune.txt
symlink skins/zero.bmp /dev/zero
mp3s 3 track {n}.mp3
start quick
expect dialog File Not Found
expect dialog-title Error
expect dialog-icon critical
user play track 3
expect opened ${mp3s}/track 3.mp3
user ${long}
expect line ${user}: ababab
)"))));
}

// The room closes and the user signs off under the program: it goes on without a word.
TEST(WorldSteps, TheClientChangesUnderTheProgram) {
    const ScenarioRun run = runText(QStringLiteral(R"(
mp3 a.mp3
start quick
close-room
click lblPlay
expect playing a.mp3
room Lounge
signoff
click lblStop
expect stopped a.mp3
expect running
)"));
    ASSERT_TRUE(passes(run));
    // Only the start-up's loaded and user lines ever reached a room.
    EXPECT_EQ(run.result.transcript.size(), 2);
}

TEST(WorldSteps, LimitsAreCheckedAndReported) {
    const ScenarioRun run = runText(QStringLiteral("limit time 60s\nlimit memory 100000MB\n"));
    ASSERT_TRUE(passes(run));
    EXPECT_TRUE(run.out.last().startsWith(QStringLiteral("# limits: time ")))
        << run.out.join('\n').toStdString();
    EXPECT_TRUE(run.out.last().contains(QStringLiteral("MB (at most 100000 MB)")));

    const ScenarioRun tight = runText(QStringLiteral("limit memory 1MB\n"));
    EXPECT_EQ(tight.result.exitCode, kExpectationFailed);
    EXPECT_TRUE(tight.result.message.contains(QStringLiteral("more than 1 MB")))
        << tight.result.message.toStdString();

    EXPECT_EQ(runText(QStringLiteral("limit speed 3\n")).result.exitCode, kScenarioError);
    EXPECT_EQ(runText(QStringLiteral("define user 1 x\n")).result.exitCode, kScenarioError);
    EXPECT_EQ(runText(QStringLiteral("expect dialog-title x\n")).result.exitCode, kScenarioError);
}
