// The command service as a whole on the simulated room: whose lines count, the trigger forms
// with the real command table, hostile lines, and the two menu entries.
#include "chat/CommandRig.h"

using namespace melodrop;
using namespace melodrop::testing;

namespace {

using ChatCommandsTest = CommandTest;

TEST_F(ChatCommandsTest, AnotherMembersCommandsDoNothing) {
    for (const char* typed : {"/exit", "/play alpha", "/trig !", "/x bob", "/mini", "/idle x"})
        rig.memberSays("Bob", typed);
    // The user's name typed by another member's client is still another member.
    rig.memberSays("testuser", "/exit");
    EXPECT_FALSE(m->ended());
    EXPECT_TRUE(rig.takeLines().isEmpty());
    EXPECT_TRUE(rig.player.calls.isEmpty());
    EXPECT_TRUE(rig.settings.writes.isEmpty());
    EXPECT_TRUE(rig.desktop.requests.isEmpty());
    EXPECT_FALSE(rig.sim.isIgnored("Bob"));
    EXPECT_EQ(state().txtTrigger, "/");
}

TEST_F(ChatCommandsTest, NothingHappensWhenNobodyIsSignedOn) {
    rig.sim.signOff();
    rig.sim.openRoom("Lobby");
    rig.sim.memberJoins("Bob");
    rig.chtMelodrop.ScanOn();
    rig.memberSays("Bob", "/exit");
    EXPECT_FALSE(m->ended());
}

struct TriggerCase {
    const char* trigger;
    const char* typed;
    bool plays;
};

class TriggerForms : public CommandTest, public ::testing::WithParamInterface<TriggerCase> {};

TEST_P(TriggerForms, DecideWhetherPlayRuns) {
    const TriggerCase c = GetParam();
    state().txtTrigger = QString::fromUtf8(c.trigger);
    type(QString::fromUtf8(c.typed));
    EXPECT_EQ(rig.player.calls.size(), c.plays ? 1 : 0) << c.trigger << " / " << c.typed;
}

INSTANTIATE_TEST_SUITE_P(
    Lines, TriggerForms,
    ::testing::Values(TriggerCase{"/", "/play love", true}, TriggerCase{"/", "/Play love", false},
                      TriggerCase{"/", "/play", false}, TriggerCase{"", "play love", true},
                      TriggerCase{"zz-", "zz-play love", true},
                      TriggerCase{"//", "//play", false},  // the whole line is the search text
                      TriggerCase{"/", "x/play love", false},
                      TriggerCase{"/play love and more", "/play love", false}));

TEST_F(ChatCommandsTest, LengthRulesCountTheWholeLine) {
    state().txtTrigger = "zz-";
    type("zz-play alpha");
    rig.player.calls.clear();
    EXPECT_TRUE(type("zz-stop").isEmpty());  // seven characters, at most five
    EXPECT_TRUE(rig.player.calls.isEmpty());

    state().txtTrigger = "/";
    type("/idlel abc,def");
    EXPECT_EQ(type("/idleloff "), QStringList{line(Announcement::SetIdleLinkerOff)});
    EXPECT_EQ(type("/stop "), QStringList{});
    EXPECT_EQ(type("/stop"), QStringList{line(Announcement::Stopped, "alpha.mp3")});
}

TEST_F(ChatCommandsTest, HostileLinesAreOrdinaryText) {
    const QString huge(100 * 1024, QLatin1Char('x'));
    EXPECT_TRUE(type("/play " + huge).isEmpty());
    EXPECT_TRUE(type(huge).isEmpty());
    EXPECT_TRUE(type("/vol \x01\x02").isEmpty());
    // Control characters straight from a scanner, past what the input box would let through.
    emit rig.chtMelodrop.ChatLine(kUser, "/play \x01\x1b[2J");
    emit rig.chtMelodrop.ChatLine(kUser, "/stop\r\n/exit");
    emit rig.chtMelodrop.ChatLine(kUser, QString::fromUtf8("/exit\0", 6));
    EXPECT_FALSE(m->ended());
    EXPECT_TRUE(type("/fwd 1e400").isEmpty());
    EXPECT_TRUE(type("/play ../../etc/passwd").isEmpty());
    EXPECT_TRUE(rig.player.calls.isEmpty());
    // HTML in a value goes into the line as it is.
    EXPECT_EQ(type("/imu <b>x</b>"), QStringList{line(Announcement::Immuned, "<b>x</b>")});
    // Still answering.
    EXPECT_EQ(type("/song?"), QStringList{line(Announcement::Song, "mp3 name")});
}

TEST_F(ChatCommandsTest, TheChatCommandsMenuEntrySwitchesTheScanner) {
    m->menuTriggered("chatcommands");
    EXPECT_FALSE(state().chatcommands);
    EXPECT_FALSE(rig.chtMelodrop.isScanning());
    EXPECT_EQ(rig.settings.writes, QStringList{"chatcommands=false"});
    type("/play alpha");
    EXPECT_TRUE(rig.player.calls.isEmpty());

    m->menuTriggered("chatcommands");
    EXPECT_TRUE(state().chatcommands);
    EXPECT_TRUE(rig.chtMelodrop.isScanning());
    EXPECT_EQ(rig.settings.writes.last(), "chatcommands=true");
    type("/play alpha");
    EXPECT_EQ(rig.player.calls, QStringList{open("Alpha.mp3")});
}

TEST_F(ChatCommandsTest, TheViewCommandsMenuEntryOpensTheFileSilently) {
    m->menuTriggered("viewcommands");
    EXPECT_EQ(rig.desktop.requests, QStringList{"shell " + ctx().commandsFile()});
    rig.settle();
    EXPECT_TRUE(rig.takeLines().isEmpty());
}

}  // namespace
