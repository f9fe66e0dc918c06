// The program end to end, one scenario file per feature (tests/scenario/scenarios): each drives the
// whole melodrop on the simulated chat room and compares the room's lines with the exact lines
// the user should see.
#include <gtest/gtest.h>

#include <QDir>

#include "ScenarioTestSupport.h"

using namespace melodrop::e2e;

TEST(StartupScenario, FirstStartOnAnEmptyStoreSaysLoadedAndUser) {
    EXPECT_TRUE(passes(runFile("startup-empty-store.scn")));
}

TEST(StartupScenario, StoredSettingsAreAppliedAndTheHandleIsAnnounced) {
    EXPECT_TRUE(passes(runFile("startup-stored-settings.scn")));
}

TEST(StartupScenario, AMissingSavedSkinLeavesTheBuiltInLookAndStartUpGoesOn) {
    EXPECT_TRUE(passes(runFile("startup-missing-skin.scn")));
}

TEST(ChatCommandScenario, PlayLoveThenTrackEndsInOrderAndAtRandom) {
    EXPECT_TRUE(passes(runFile("play-love.scn")));
}

TEST(ChatCommandScenario, PauseAndResumeFromTheRoomTheWindowAndTheMenu) {
    EXPECT_TRUE(passes(runFile("pause-resume.scn")));
}

TEST(ChatCommandScenario, AFlooderIsIgnoredAndAnImmuneMemberIsNot) {
    EXPECT_TRUE(passes(runFile("flood.scn")));
}

TEST(ChatCommandScenario, IdleModeCountsAnHourOfMinutes) {
    EXPECT_TRUE(passes(runFile("idle-hour.scn")));
}

TEST(WindowScenario, SkinChangeIsAppliedRememberedAndAnnounced) {
    EXPECT_TRUE(passes(runFile("skin-change.scn")));
}

TEST(WindowScenario, ExitAsksFirstAndSaysGoodbyeOnYes) {
    EXPECT_TRUE(passes(runFile("exit-question.scn")));
}

TEST(ChatCommandScenario, ExitCommandEndsAtOnceWithoutAWord) {
    const ScenarioRun run = runFile("exit-command.scn");
    ASSERT_TRUE(passes(run));
    // After /exit only the user's own line reaches the room.
    ASSERT_EQ(run.result.transcript.size(), 8);
    EXPECT_EQ(run.result.transcript.mid(6), (QStringList{"MeloFan: /exit", "MeloFan: /play a"}));
}

TEST(UpdateScenario, ReleaseFileWithTheRunningVersionMeansNoUpdate) {
    EXPECT_TRUE(passes(runFile("update-none.scn")));
}

TEST(UpdateScenario, NewerReleaseIsDownloadedIntoTheChosenFolder) {
    EXPECT_TRUE(passes(runFile("update-download.scn")));
}

namespace {
bool demoTracksBuilt() {
    return !QDir(QStringLiteral(MELODROP_RUNTIME_DIR "/demo")).isEmpty();
}
}  // namespace

TEST(AudioScenario, PlayLoveOnTheDemoTracksWithTheAudioEngine) {
    if (!demoTracksBuilt()) GTEST_SKIP() << "no demo tracks beside the programs";
    EXPECT_TRUE(passes(runFile("audio-play-love.scn", Player::AsScenarioSays)));
}

TEST(DemoScenario, TheShippedDemoPlaysToItsEnd) {
    if (!demoTracksBuilt()) GTEST_SKIP() << "no demo tracks beside the programs";
    const ScenarioRun run =
        runPath(QStringLiteral(MELODROP_FIXTURES_DIR "/../../data/scenarios/demo.scn"));
    ASSERT_TRUE(passes(run));
    EXPECT_EQ(run.out.first(),
              "# melodrop starts: the welcome box, the splash, then the loaded and user lines");
    EXPECT_EQ(run.out.last(), "DJ Zed: bye MeloFan");
}

// The player window's list starts with nothing selected, although the view makes its first row
// current when it gets the focus: "next" right after start plays the first file.
TEST(PlayerList, StartsWithNothingSelected) {
    EXPECT_TRUE(passes(runText(QStringLiteral(R"(
mp3 a.mp3
mp3 b.mp3
start quick
expect selected
user next
expect playing a.mp3
)"))));
}
