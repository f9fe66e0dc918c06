// Ignoring members from the chat line, the immune list and its file, and automatic ignoring of
// flooders, on the simulated room (members Bob and Alice123 besides the user).
#include <QFile>

#include "chat/AutoIgnore.h"
#include "chat/CommandRig.h"

using namespace melodrop;
using namespace melodrop::testing;

namespace {

QByteArray fileContent(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

using IgnoreCommands = CommandTest;

TEST_F(IgnoreCommands, XIgnoresTheFirstMatchingMemberAndUnxSwitchesBack) {
    EXPECT_EQ(type("/x BO"), QStringList{line(Announcement::Ignored, "bob")});
    EXPECT_TRUE(rig.sim.isIgnored("Bob"));
    EXPECT_EQ(state().lstRoom, (QStringList{"bob", "alice123"}));
    EXPECT_EQ(type("/unx bob"), QStringList{line(Announcement::Unignored, "bob")});
    EXPECT_FALSE(rig.sim.isIgnored("Bob"));
    // The list only grows.
    EXPECT_EQ(state().lstRoom, (QStringList{"bob", "alice123", "bob", "alice123"}));
}

TEST_F(IgnoreCommands, UnxOnAMemberNotIgnoredIgnoresIt) {
    EXPECT_EQ(type("/unx alice"), QStringList{line(Announcement::Unignored, "alice123")});
    EXPECT_TRUE(rig.sim.isIgnored("Alice123"));
}

TEST_F(IgnoreCommands, NoMatchDoesNothing) {
    EXPECT_TRUE(type("/x zed").isEmpty());
    EXPECT_FALSE(rig.sim.isIgnored("Bob"));
    EXPECT_TRUE(type("/x").isEmpty());  // too short
}

TEST_F(IgnoreCommands, ANameFromAnEarlierRoomCanMatchFirst) {
    type("/x alice");
    rig.sim.closeRoom();
    rig.sim.openRoom("Den");
    rig.sim.memberJoins("Bobby");
    rig.settle();
    rig.takeLines();
    // "bob" of the lobby comes before "bobby": announced, but nobody here is switched.
    EXPECT_EQ(type("/x bob"), QStringList{line(Announcement::Ignored, "bob")});
    EXPECT_FALSE(rig.sim.isIgnored("Bobby"));
}

TEST_F(IgnoreCommands, ImuAddsLowerCasedEvenTwiceAndSavesTheFile) {
    EXPECT_EQ(type("/imu BoB"), QStringList{line(Announcement::Immuned, "bob")});
    type("/imu bob");
    EXPECT_EQ(state().lstImmune, (QStringList{"bob", "bob"}));
    EXPECT_EQ(fileContent(ctx().immuneFile()), "bob\r\nbob\r\n");
}

TEST_F(IgnoreCommands, UnimuRemovesOneEntryAndAnnouncesItAsStoredAlways) {
    state().lstImmune = {"Carol", "BOBBY", "bob"};
    state().advertise = false;
    EXPECT_EQ(type("/unimu bob"), QStringList{line(Announcement::Unimmuned, "BOBBY")});
    EXPECT_EQ(state().lstImmune, (QStringList{"Carol", "bob"}));
    EXPECT_EQ(fileContent(ctx().immuneFile()), "Carol\r\nbob\r\n");
    EXPECT_TRUE(type("/unimu zed").isEmpty());
    EXPECT_EQ(state().lstImmune.size(), 2);
}

TEST_F(IgnoreCommands, VimuOpensTheImmuneFile) {
    EXPECT_EQ(type("/vimu"), QStringList{line(Announcement::ViewingImmune)});
    EXPECT_EQ(rig.desktop.requests, QStringList{"shell " + ctx().immuneFile()});
}

TEST_F(IgnoreCommands, AxNeedsANumberAndAxoffAlwaysAnswers) {
    EXPECT_TRUE(type("/ax abc").isEmpty());
    EXPECT_TRUE(type("/ax nan").isEmpty());
    EXPECT_EQ(state().Label1, "");
    EXPECT_FALSE(rig.chat1.isScanning());
    EXPECT_EQ(type("/ax 3"), QStringList{line(Announcement::SetAutoXer, "3")});
    EXPECT_EQ(state().Label1, "3");
    EXPECT_TRUE(rig.chat1.isScanning());
    EXPECT_EQ(type("/axoff"), QStringList{line(Announcement::SetAutoXerOff)});
    EXPECT_EQ(state().Label1, "");
    EXPECT_FALSE(rig.chat1.isScanning());
    EXPECT_EQ(type("/axoff now"), QStringList{line(Announcement::SetAutoXerOff)});
}

class AutoIgnoring : public CommandTest {
protected:
    void SetUp() override {
        CommandTest::SetUp();
        type("/ax 3");
    }
    void says(const char* member, int lines) {
        for (int i = 0; i < lines; ++i) rig.memberSays(member, QStringLiteral("spam %1").arg(i));
    }
};

TEST_F(AutoIgnoring, TheThirdLineInARowIgnoresAndScanningResumes) {
    says("Bob", 3);
    EXPECT_EQ(rig.takeLines(), QStringList{line(Announcement::AutoIgnoring, "bob")});
    EXPECT_TRUE(rig.sim.isIgnored("Bob"));
    EXPECT_TRUE(rig.chat1.isScanning());
    EXPECT_EQ(rig.chat1.Tag(), "on");
}

TEST_F(AutoIgnoring, AnotherMemberBreaksTheRunButTheUserDoesNot) {
    says("Bob", 2);
    says("Alice123", 1);
    says("Bob", 2);
    EXPECT_TRUE(rig.takeLines().isEmpty());
    rig.userTypes("stop it");
    says("Bob", 1);
    EXPECT_EQ(rig.takeLines(), (QStringList{"stop it", line(Announcement::AutoIgnoring, "bob")}));
}

TEST_F(AutoIgnoring, AnImmuneEntryProtectsEveryNameItContains) {
    rig.sim.memberJoins("Bob123");
    state().lstImmune = {"bob123"};
    says("Bob", 4);  // "bob123" contains "bob"
    EXPECT_TRUE(rig.takeLines().isEmpty());
    EXPECT_FALSE(rig.sim.isIgnored("Bob"));

    state().lstImmune = {"bob"};
    says("Bob123", 3);  // "bob" does not contain "bob123"
    EXPECT_EQ(rig.takeLines(), QStringList{line(Announcement::AutoIgnoring, "bob123")});
    EXPECT_TRUE(rig.sim.isIgnored("Bob123"));
}

TEST_F(AutoIgnoring, AMemberWhoLeftIsNotFoundAndScanningStaysOff) {
    says("Bob", 2);
    rig.sim.memberSays("Bob", "bye");
    rig.sim.memberLeaves("Bob");
    rig.settle();
    EXPECT_EQ(rig.takeLines(), QStringList{line(Announcement::AutoIgnoring, "bob")});
    EXPECT_FALSE(rig.chat1.isScanning());
    EXPECT_EQ(rig.chat1.Tag(), "off");

    // axoff meanwhile, then a later ignore resumes the scanner all the same; its lines arrive
    // while the threshold is "" and change nothing.
    type("/axoff");
    type("/x alice");
    EXPECT_TRUE(rig.chat1.isScanning());
    EXPECT_EQ(rig.chat1.Tag(), "on");
    rig.takeLines();
    says("Alice123", 5);
    EXPECT_TRUE(rig.takeLines().isEmpty());
}

TEST_F(AutoIgnoring, ARunLongerThanTheCountCanHoldDoesNotStopTheProgram) {
    // Straight to the handler: 40000 lines through the room would only be slower.
    AutoIgnore watcher(ctx());
    state().Label1 = "32767";
    for (int i = 0; i < 40000; ++i) watcher.handleLine("Bob");
    // Ignored once, at line 32767; the rest counts as a new run.
    EXPECT_EQ(watcher.flood().runCount(), 40000 - 32767);
    EXPECT_TRUE(rig.sim.isIgnored("Bob"));
    EXPECT_EQ(rig.takeLines(), QStringList{line(Announcement::AutoIgnoring, "bob")});

    state().Label1 = "40000";
    for (int i = 0; i < 40000; ++i) watcher.handleLine("Alice123");
    EXPECT_EQ(watcher.flood().runCount(), 32767);
    EXPECT_FALSE(rig.sim.isIgnored("Alice123"));
    EXPECT_EQ(type("/song?"), QStringList{line(Announcement::Song, "mp3 name")});
}

}  // namespace
