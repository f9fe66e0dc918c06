// Automatic ignoring on the simulated room with the threshold 3: runs, immunity, the scanner
// handshake with the client module, and runs too long for the count.
#include "chat/AutoIgnore.h"
#include "chat/CommandRig.h"

using namespace melodrop;
using namespace melodrop::testing;

namespace {

class AutoIgnoring : public CommandTest {
protected:
    void SetUp() override {
        CommandTest::SetUp();
        type("/ax 3");
    }
    void says(const char* member, int lines) {
        for (int i = 0; i < lines; ++i) rig.memberSays(member, QString("spam %1").arg(i));
    }
    QString ignoring(const char* name) { return line(Announcement::AutoIgnoring, name); }
};

TEST_F(AutoIgnoring, ARunOfThreeIsIgnoredAndScanningResumes) {
    says("Bob", 2);
    says("Alice123", 1);
    says("Bob", 2);
    rig.userTypes("stop it");  // the user's lines do not break a run
    EXPECT_EQ(rig.takeLines(), QStringList{"stop it"});
    says("Bob", 1);
    EXPECT_EQ(rig.takeLines(), QStringList{ignoring("bob")});
    EXPECT_TRUE(rig.sim.isIgnored("Bob"));
    EXPECT_TRUE(rig.chat1().isScanning());
    EXPECT_EQ(rig.chat1().Tag(), "on");
}

TEST_F(AutoIgnoring, AnImmuneEntryProtectsEveryNameItContains) {
    rig.sim.memberJoins("Bob123");
    state().lstImmune = {"bob123"};
    says("Bob", 4);
    EXPECT_TRUE(rig.takeLines().isEmpty());
    state().lstImmune = {"bob"};
    says("Bob123", 3);
    EXPECT_EQ(rig.takeLines(), QStringList{ignoring("bob123")});
}

TEST_F(AutoIgnoring, AMemberWhoLeftLeavesTheScannerOffUntilALaterIgnore) {
    says("Bob", 2);
    rig.sim.memberSays("Bob", "bye");
    rig.sim.memberLeaves("Bob");
    rig.settle();
    EXPECT_EQ(rig.takeLines(), QStringList{ignoring("bob")});
    EXPECT_FALSE(rig.chat1().isScanning());
    EXPECT_EQ(rig.chat1().Tag(), "off");
    // After axoff a later ignore restarts the scanner all the same; its lines change nothing.
    type("/axoff");
    type("/x alice");
    EXPECT_TRUE(rig.chat1().isScanning());
    rig.takeLines();
    says("Alice123", 5);
    EXPECT_TRUE(rig.takeLines().isEmpty());
}

TEST_F(AutoIgnoring, ARunLongerThanTheCountHoldsTriggersOnceAndNeverBreaks) {
    AutoIgnore watcher(rig.ctx().chat1, rig.ctx().state, rig.ctx().announcer,
                       rig.ctx().aol);  // straight to the handler: 40000 room lines are slow
    state().Label1 = "32767";
    for (int i = 0; i < 40000; ++i) watcher.handleLine("Bob");
    EXPECT_EQ(rig.takeLines(), QStringList{ignoring("bob")});
    state().Label1 = "40000";
    for (int i = 0; i < 40000; ++i) watcher.handleLine("Alice123");
    EXPECT_EQ(watcher.flood().runCount(), 32767);
    EXPECT_TRUE(rig.takeLines().isEmpty());
}

}  // namespace
