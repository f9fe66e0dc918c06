// The trigger, handle, idle, room, instant-message and window commands, and exit, typed in the
// simulated room.
#include "chat/CommandRig.h"
#include "options/IdleMode.h"

using namespace melodrop;
using namespace melodrop::testing;

namespace {

using TriggerCommands = CommandTest;

TEST_F(TriggerCommands, TrigSetsAndSavesTheTriggerAsTyped) {
    EXPECT_EQ(type("/trig Zz"), QStringList{line(Announcement::SetTrigger, "Zz")});
    EXPECT_EQ(state().txtTrigger, "Zz");
    EXPECT_EQ(rig.settings.writes, QStringList{"trig=Zz"});
    EXPECT_TRUE(type("/trig?").isEmpty());
    EXPECT_TRUE(type("Zztrig?").isEmpty());  // seven characters: the numbers do not grow
    type("Zztrig !");
    EXPECT_EQ(type("!trig?"), QStringList{line(Announcement::Trigger, "!")});
}

TEST_F(TriggerCommands, ABlankAloneLeavesAnEmptyTriggerAndBareWordsWork) {
    EXPECT_EQ(type("/trig "), QStringList{line(Announcement::SetTrigger, "")});
    EXPECT_EQ(rig.settings.writes, QStringList{"trig="});
    type("play gamma");
    EXPECT_EQ(rig.player.calls, QStringList{open("Gamma.mp3")});
}

TEST_F(TriggerCommands, ATriggerWithABlankMakesEveryCommandUnreachable) {
    type("/trig a b");
    for (const char* typed : {"a bstop", "a b stop", "/trig /", "a btrig /", "a b trig /"})
        EXPECT_TRUE(type(typed).isEmpty()) << typed;
    EXPECT_EQ(state().txtTrigger, "a b");
}

TEST_F(TriggerCommands, HndleRefusesExactlyZeph) {
    EXPECT_TRUE(type("/hndle zeph").isEmpty());
    EXPECT_EQ(state().txtHandle, "user");
    EXPECT_EQ(type("/hndle Zeph"), QStringList{line(Announcement::Handle, "zeph")});
    EXPECT_EQ(state().txtHandle, "Zeph");
    EXPECT_EQ(rig.settings.writes, QStringList{"hndle=Zeph"});
}

using IdleCommands = CommandTest;

TEST_F(IdleCommands, IdleStartsTheMinuteLinesWithTheReasonLowerCased) {
    EXPECT_EQ(type("/idle Gone Fishing"), QStringList{idleOnLine("Gone Fishing")});
    EXPECT_TRUE(state().idle);
    EXPECT_EQ(state().lblReason, "Gone Fishing");
    rig.settle(60);
    EXPECT_EQ(rig.takeLines(), QStringList{idleMinuteLine("user", "gone fishing", "0", "0", "1")});
}

TEST_F(IdleCommands, IdleOnIsAdvertisedButTheMinuteLinesAlwaysGo) {
    state().advertise = false;
    EXPECT_TRUE(type("/idle away").isEmpty());
    rig.settle(60);
    EXPECT_EQ(rig.takeLines().size(), 1);
}

TEST_F(IdleCommands, IdleoffSendsOnlyWhenIdleWasOnButAlwaysResets) {
    state().lblMins = "7";
    state().lblReason = "stale";
    EXPECT_TRUE(type("/idleoff").isEmpty());
    EXPECT_EQ(state().lblMins, "0");
    EXPECT_EQ(state().lblReason, "");

    type("/idle lunch");
    state().advertise = false;
    EXPECT_EQ(type("/idleoff"), QStringList{line(Announcement::SetIdleOff)});
    EXPECT_FALSE(state().idle);
    rig.settle(180);
    EXPECT_TRUE(rig.takeLines().isEmpty());
}

TEST_F(IdleCommands, IdlelFollowsTheCommaRule) {
    for (const char* refused : {"/idlel x,abc", "/idlel abc,de", "/idlel    ,abc", "/idlel abc"})
        EXPECT_TRUE(type(refused).isEmpty()) << refused;
    EXPECT_FALSE(state().idlelinker);

    state().advertise = false;
    EXPECT_EQ(type("/idlel  Http://X.org , My Page "),
              QStringList{line(Announcement::SetIdleLinkerOn)});
    EXPECT_EQ(state().lblURL, "Http://X.org");
    EXPECT_EQ(state().lblURLText, "My Page");
    EXPECT_TRUE(state().idlelinker);
    rig.settle(60);
    EXPECT_EQ(rig.takeLines(),
              QStringList{idleLinkerMinuteLine("user", "Http://X.org", "My Page", "0", "0", "1")});
}

TEST_F(IdleCommands, IdleloffStopsTheLinkerAndLeavesIdleModeAlone) {
    type("/idle brb");
    type("/idlel abc,def");
    rig.settle(60);
    rig.takeLines();
    state().advertise = false;
    EXPECT_EQ(type("/idleloff "), QStringList{line(Announcement::SetIdleLinkerOff)});
    EXPECT_EQ(state().lblURL, "");
    EXPECT_EQ(state().lblURLText, "");
    EXPECT_EQ(state().lblMins, "0");
    EXPECT_TRUE(state().idle);
    rig.settle(60);
    EXPECT_EQ(rig.takeLines(), QStringList{idleMinuteLine("user", "brb", "0", "0", "1")});
}

using RoomCommands = CommandTest;

TEST_F(RoomCommands, PrAnnouncesThenEntersTheRoomAsTyped) {
    rig.sim.clearMessageLog();
    type("/pr My Room");
    EXPECT_EQ(rig.sim.keywords(), std::vector<std::string>{"aol://2719:2-2-My Room"});
    EXPECT_EQ(rig.sim.currentRoom(), "My Room");
    // The line went into the room being left, before the keyword.
    QStringList texts;
    for (const aol::sim::MessageRecord& r : rig.sim.messageLog())
        if (r.message == aol::WM_SETTEXT) texts << QString::fromStdString(r.text);
    EXPECT_EQ(texts,
              (QStringList{line(Announcement::PrivateRoom, "my room"), "aol://2719:2-2-My Room"}));
}

TEST_F(RoomCommands, InstantMessagesSwitchOnlyWhileAdvertising) {
    EXPECT_EQ(type("/imsoff"), QStringList{line(Announcement::SetImsOff)});
    EXPECT_FALSE(rig.sim.imsReceptionOn());
    EXPECT_EQ(type("/imson"), QStringList{line(Announcement::SetImsOn)});
    EXPECT_TRUE(rig.sim.imsReceptionOn());

    state().advertise = false;
    EXPECT_TRUE(type("/imsoff").isEmpty());
    EXPECT_TRUE(rig.sim.imsReceptionOn());
    EXPECT_TRUE(rig.sim.instantMessagesSent().empty());
}

TEST_F(RoomCommands, BustAndUnknownWordsAreSilent) {
    for (const char* typed : {"/bust", "/bust it up", "/foo", "/PLAY alpha", "/"})
        EXPECT_TRUE(type(typed).isEmpty()) << typed;
    EXPECT_TRUE(rig.player.calls.isEmpty());
    EXPECT_TRUE(rig.settings.writes.isEmpty());
    EXPECT_TRUE(rig.desktop.requests.isEmpty());
}

using WindowCommands = CommandTest;

TEST_F(WindowCommands, MiniHidesToTheTrayAndShowBringsItBack) {
    EXPECT_TRUE(type("/show").isEmpty());  // already visible
    EXPECT_EQ(type("/mini"), QStringList{line(Announcement::MelodropMinimized)});
    EXPECT_EQ(type("/show"), QStringList{line(Announcement::MelodropShown)});
    EXPECT_EQ(rig.desktop.requests,
              (QStringList{"tray add melodrop by zeph", "hide", "show", "tray remove"}));
}

TEST_F(WindowCommands, VcmdsOpensTheCommandsFile) {
    EXPECT_EQ(type("/vcmds"), QStringList{line(Announcement::ViewingChatCommands)});
    EXPECT_EQ(rig.desktop.requests, QStringList{"shell " + ctx().commandsFile()});
}

TEST_F(WindowCommands, ExitEndsAtOnceWithoutALine) {
    rig.desktop.trayIcon = true;
    EXPECT_TRUE(type("/exit").isEmpty());
    EXPECT_TRUE(m->ended());
    EXPECT_TRUE(rig.desktop.quitRequested);
    EXPECT_TRUE(rig.desktop.trayIcon);
    EXPECT_TRUE(rig.desktop.requestsStartingWith("message").isEmpty());
}

}  // namespace
