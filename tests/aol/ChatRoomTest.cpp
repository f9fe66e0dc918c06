// Chat room operations against the simulated client.
#include <chrono>

#include "AolTestSupport.h"
#include "aol/ClientWindows.h"

namespace aol::testing {
namespace {

class ChatRoom : public AolTest {
protected:
    ChatRoom() {
        client.signOn("Bob");
        client.openRoom("Lobby");
        client.memberJoins("Alice");
        client.memberJoins("SpAmMeR");
        client.memberJoins("Carol");
    }
    int clicks() const { return count("_AOL_Checkbox", kWmLButtonDown, true); }
};

TEST_F(ChatRoom, ChatSendUsesTheSecondRichEditOfTheRoom) {
    q.ChatSend("x");
    const Hwnd room = client.roomWindow();
    const Hwnd transcript = client.FindWindowExA(room, 0, "RICHCNTL", nullptr);
    const Hwnd input = client.FindWindowExA(room, transcript, "RICHCNTL", nullptr);
    ASSERT_EQ(client.messageLog().size(), 2u);
    EXPECT_EQ(client.messageLog()[0].window, input);
    EXPECT_EQ(client.messageLog()[0].message, kWmSetText);
    EXPECT_EQ(client.messageLog()[0].text, "x");
    EXPECT_EQ(client.messageLog()[1].window, input);
    EXPECT_EQ(client.messageLog()[1].message, kWmChar);
    EXPECT_EQ(client.messageLog()[1].wParam, 0x0Du);
    EXPECT_FALSE(client.messageLog()[1].posted);
}

TEST_F(ChatRoom, ChatSendWithNoRoomSendsNothing) {
    client.closeRoom();
    client.clearMessageLog();
    q.ChatSend("nobody hears");
    EXPECT_TRUE(client.messageLog().empty());
    client.quit();
    q.ChatSend("nobody hears");
    EXPECT_TRUE(client.messageLog().empty());
}

TEST_F(ChatRoom, KeywordTypesIntoTheToolbarBox) {
    q.Keyword("aol://1234");
    EXPECT_EQ(client.keywords(), std::vector<std::string>{"aol://1234"});
    const auto& log = client.messageLog();
    ASSERT_EQ(log.size(), 3u);
    for (const auto& m : log) EXPECT_EQ(m.windowClass, "Edit");
    EXPECT_EQ(log[0].message, kWmSetText);
    EXPECT_EQ(log[1].message, kWmChar);
    EXPECT_EQ(log[1].wParam, 0x20u);
    EXPECT_EQ(log[2].message, kWmChar);
    EXPECT_EQ(log[2].wParam, 0x0Du);
}

TEST_F(ChatRoom, KeywordWithNoClientDoesNothing) {
    client.quit();
    client.clearMessageLog();
    q.Keyword("aol://1234");
    EXPECT_TRUE(client.messageLog().empty());
}

TEST_F(ChatRoom, ChatIgnoreOnACheckedBoxPostsExactlyOneClick) {
    client.setIgnored("SpAmMeR", true);
    q.ChatIgnore("spammer");
    EXPECT_EQ(clicks(), 1);
    EXPECT_EQ(count("_AOL_Checkbox", kWmLButtonUp, true), 1);
    EXPECT_EQ(count("_AOL_Checkbox", kBmGetCheck, false), 2);  // before and after the click
    client.deliverPosted();
    EXPECT_FALSE(client.isIgnored("SpAmMeR"));
    EXPECT_FALSE(client.isMemberWindowOpen());
    EXPECT_EQ(client.openProcessHandles(), 0);
}

TEST_F(ChatRoom, ChatIgnoreOnAnUncheckedBoxEndsIgnoredInEitherBoxMode) {
    for (const sim::IgnoreBoxMode mode :
         {sim::IgnoreBoxMode::Toggle, sim::IgnoreBoxMode::OncePerOpening}) {
        client.setIgnoreBoxMode(mode);
        client.clearMessageLog();
        q.ChatIgnore("SPAMMER");
        client.deliverPosted();
        EXPECT_TRUE(client.isIgnored("SpAmMeR"));
        EXPECT_EQ(clicks(), 1);  // read unchecked, one click, read checked: done
        EXPECT_FALSE(client.isMemberWindowOpen());
        q.ChatIgnore("spammer");  // and back again
        client.deliverPosted();
        EXPECT_FALSE(client.isIgnored("SpAmMeR"));
        EXPECT_EQ(clicks(), 2);
    }
}

TEST_F(ChatRoom, AnotherMembersOpenWindowIsNeverClickedInEitherBoxMode) {
    client.setPostDelay(0.05, [this] { return pump.now; });  // the client is a little slow
    for (const sim::IgnoreBoxMode mode :
         {sim::IgnoreBoxMode::Toggle, sim::IgnoreBoxMode::OncePerOpening}) {
        client.setIgnoreBoxMode(mode);
        client.userOpensMemberWindow("Alice");
        q.ChatIgnore("carol");
        q.TimeOut(0.5);
        EXPECT_TRUE(client.isIgnored("Carol"));
        EXPECT_FALSE(client.isIgnored("Alice"));
        EXPECT_TRUE(client.isMemberWindowOpen("Alice"));
        EXPECT_FALSE(client.isMemberWindowOpen("Carol"));
        client.setIgnored("Carol", false);
    }
}

TEST_F(ChatRoom, TheMembersOwnWindowAlreadyInFrontIsUsed) {
    client.userOpensMemberWindow("Carol");  // the user had Carol's window open, on top
    q.ChatIgnore("carol");
    client.deliverPosted();
    EXPECT_TRUE(client.isIgnored("Carol"));
    EXPECT_FALSE(client.isMemberWindowOpen("Carol"));
    EXPECT_LT(pump.now, 5.0);  // found at once, not after the bound
}

TEST_F(ChatRoom, ASlowClickIsWaitedForRatherThanRepeated) {
    client.setPostDelay(0.8, [this] { return pump.now; });  // longer than the 0.3 s wait
    q.ChatIgnore("alice");
    q.TimeOut(2.0);
    EXPECT_TRUE(client.isIgnored("Alice"));
    EXPECT_EQ(clicks(), 1);
}

TEST_F(ChatRoom, ChatIgnoreSelectsTheMatchingEntryAndWaitsPerEntryBefore) {
    q.ChatIgnore("carol");  // entries: Bob (0), Alice (1), SpAmMeR (2), Carol (3)
    bool selected = false;
    for (const auto& m : client.messageLog()) {
        if (m.message == kLbSetCurSel) {
            EXPECT_EQ(m.wParam, 3u);
            selected = true;
        }
    }
    EXPECT_TRUE(selected);
    EXPECT_EQ(count("_AOL_Listbox", kWmLButtonDblClk, true), 1);
    EXPECT_GE(pump.now, 3 * 0.3 + 0.5);
    client.deliverPosted();
    EXPECT_TRUE(client.isIgnored("Carol"));
}

TEST_F(ChatRoom, ChatIgnoreNeverActsOnTheUsersOwnEntry) {
    tag = "off";
    q.ChatIgnore("BOB");
    EXPECT_EQ(countMessage(kLbSetCurSel), 0);
    EXPECT_EQ(postedCount(), 0);
    EXPECT_EQ(scanOns, 0);  // nobody was acted on: no resume step
    EXPECT_EQ(tag, "off");
    EXPECT_NEAR(pump.now, 4 * 0.3, 0.05);  // the whole list walked, 0.3 s per entry
    EXPECT_EQ(client.openProcessHandles(), 0);
}

TEST_F(ChatRoom, ChatIgnoreOfSomeoneAbsentWalksTheListAndDoesNothing) {
    tag = "off";
    q.ChatIgnore("nobody");
    EXPECT_EQ(postedCount(), 0);
    EXPECT_EQ(scanOns, 0);
    EXPECT_NEAR(pump.now, 4 * 0.3, 0.05);
}

TEST_F(ChatRoom, ChatIgnoreWithNoRoomOrNoProcessDoesNothing) {
    client.setProcessOpenFails(true);
    q.ChatIgnore("alice");
    EXPECT_EQ(postedCount(), 0);
    EXPECT_EQ(pump.now, 0.0);
    client.setProcessOpenFails(false);
    client.closeRoom();
    q.ChatIgnore("alice");
    EXPECT_EQ(postedCount(), 0);
    EXPECT_EQ(pump.now, 0.0);
}

TEST_F(ChatRoom, ChatIgnoreByIndexAtTheCountReturnsAtOnce) {
    const int n = q.RoomCount();
    client.clearMessageLog();
    tag = "off";
    q.ChatIgnoreByIndex(n);
    q.ChatIgnoreByIndex(-1);
    for (const auto& m : client.messageLog()) EXPECT_EQ(m.message, kLbGetCount);
    EXPECT_EQ(pump.pumps, 0);
    EXPECT_EQ(scanOns, 0);
}

TEST_F(ChatRoom, ResumeStepRestartsTheAutoIgnoreScannerWhenItsTagIsOff) {
    tag = "off";
    q.ChatIgnore("alice");
    EXPECT_EQ(scanOns, 1);
    EXPECT_EQ(tag, "on");
    q.ChatIgnore("alice");  // tag now "on": no second ScanOn
    EXPECT_EQ(scanOns, 1);
}

TEST_F(ChatRoom, HandlersRunDuringAnIgnore) {
    pump.at(0.5, [&] { q.ChatSend("meanwhile"); });
    pump.at(0.7, [&] { client.memberSays("Alice", "still here"); });
    q.ChatIgnore("carol");
    EXPECT_EQ(client.transcriptLines(),
              (std::vector<std::string>{"Bob:\tmeanwhile", "Alice:\tstill here"}));
}

TEST_F(ChatRoom, AMemberWindowThatNeverOpensDoesNotHang) {
    client.setMemberWindowNeverOpens(true);
    tag = "off";
    QuartzlineLimits limits;
    limits.memberWindowSeconds = 2.0;
    q.setLimits(limits);
    q.ChatIgnore("alice");
    EXPECT_EQ(countMessage(kBmGetCheck), 0);  // nothing clicked
    EXPECT_EQ(count("_AOL_Checkbox", kWmLButtonDown, true), 0);
    EXPECT_EQ(countMessage(kWmClose), 0);
    const double ignoreStarted = 0.3;  // Bob's entry, then Alice (entry 1) matches
    EXPECT_GE(pump.now, ignoreStarted + 2.0);
    EXPECT_LT(pump.now, ignoreStarted + 2.1);
    EXPECT_EQ(scanOns, 1);  // automatic ignoring is not left stopped
    EXPECT_EQ(tag, "on");
}

TEST_F(ChatRoom, AnIgnoreBoxThatNeverSwitchesStopsAfterTheBound) {
    client.setIgnoreBoxNeverChecked(true);
    tag = "off";
    q.ChatIgnore("alice");
    EXPECT_EQ(clicks(), QuartzlineLimits{}.ignoreBoxPasses);
    EXPECT_EQ(count("AOL Child", kWmClose, true), 1);
    client.deliverPosted();
    EXPECT_FALSE(client.isMemberWindowOpen());
    EXPECT_EQ(scanOns, 1);
    EXPECT_EQ(tag, "on");
}

TEST_F(ChatRoom, AHungClientFailsTheStepInsteadOfBlocking) {
    client.userTypesWithoutEnter("half typed");
    client.hangWhenSentTo(client::RoomInputBox(client, client.roomWindow()));
    q.ChatSend("announcement");
    EXPECT_EQ(client.sendsTimedOut(), 1);
    EXPECT_EQ(countMessage(kWmChar), 0);  // no Enter: it would send the user's half-typed text
    tag = "off";
    q.ChatIgnore("alice");  // the member list does not answer: nothing is clicked
    EXPECT_EQ(clicks(), 0);
    q.Keyword("aol://1234");
    q.IMsOff();
    EXPECT_TRUE(client.keywords().empty());
    client.hangWhenSentTo(0);
    client.setHung(false);
    q.ChatSend("announcement");
    EXPECT_EQ(client.transcriptLines(), std::vector<std::string>{"Bob:\tannouncement"});
}

TEST_F(ChatRoom, ChatIgnoreOverALongListTakesVirtualTimeOnly) {
    for (int i = 0; i < 300; ++i) client.memberJoins("member" + std::to_string(i));
    client.memberJoins("Target");
    const auto started = std::chrono::steady_clock::now();
    q.ChatIgnore("target");
    const auto real = std::chrono::steady_clock::now() - started;
    client.deliverPosted();
    EXPECT_TRUE(client.isIgnored("Target"));
    EXPECT_GE(pump.now, 304 * 0.3);  // Target is entry 304
    EXPECT_LT(real, std::chrono::seconds(5));
}

TEST_F(ChatRoom, TheMemberLeavingDuringTheWalkIsSkipped) {
    pump.at(0.1, [&] { client.memberLeaves("Carol"); });
    q.ChatIgnore("carol");
    EXPECT_EQ(postedCount(), 0);
}

}  // namespace
}  // namespace aol::testing
