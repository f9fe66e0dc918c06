// Chat room operations against the simulated client.
#include <chrono>

#include "AolTestSupport.h"

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
    int clicks() const { return count("_AOL_Checkbox", WM_LBUTTONDOWN, true); }
};

TEST_F(ChatRoom, ChatSendPostsTheLineAsTheUser) {
    q.ChatSend("hello room");
    EXPECT_EQ(client.transcriptLines(), std::vector<std::string>{"Bob:\thello room"});
    EXPECT_EQ(client.inputBox(), "");
}

TEST_F(ChatRoom, ChatSendReplacesHalfTypedText) {
    client.userTypesWithoutEnter("i was typ");
    EXPECT_EQ(client.inputBox(), "i was typ");
    q.ChatSend("announcement");
    EXPECT_EQ(client.transcriptLines(), std::vector<std::string>{"Bob:\tannouncement"});
    EXPECT_EQ(client.inputBox(), "");
}

TEST_F(ChatRoom, ChatSendUsesTheSecondRichEditOfTheRoom) {
    q.ChatSend("x");
    const Hwnd room = client.roomWindow();
    const Hwnd transcript = client.FindWindowExA(room, 0, "RICHCNTL", nullptr);
    const Hwnd input = client.FindWindowExA(room, transcript, "RICHCNTL", nullptr);
    ASSERT_EQ(client.messageLog().size(), 2u);
    EXPECT_EQ(client.messageLog()[0].window, input);
    EXPECT_EQ(client.messageLog()[0].message, WM_SETTEXT);
    EXPECT_EQ(client.messageLog()[0].text, "x");
    EXPECT_EQ(client.messageLog()[1].window, input);
    EXPECT_EQ(client.messageLog()[1].message, WM_CHAR);
    EXPECT_EQ(client.messageLog()[1].wParam, 0x0Du);
    EXPECT_FALSE(client.messageLog()[1].posted);
}

TEST_F(ChatRoom, ChatLineMarkersReachTheTranscriptAsWindows1252) {
    q.ChatSend("<b>\u00B7\u00B7\u00F7\u2022 playing \u4E2D</b>");
    const std::string bytes = client.transcriptBytes();
    EXPECT_EQ(bytes, "Bob:\t<b>\xB7\xB7\xF7\x95 playing ?</b>");
    EXPECT_EQ(client.transcriptText(), "Bob:\t<b>\u00B7\u00B7\u00F7\u2022 playing ?</b>");
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
    EXPECT_EQ(log[0].message, WM_SETTEXT);
    EXPECT_EQ(log[1].message, WM_CHAR);
    EXPECT_EQ(log[1].wParam, 0x20u);
    EXPECT_EQ(log[2].message, WM_CHAR);
    EXPECT_EQ(log[2].wParam, 0x0Du);
}

TEST_F(ChatRoom, KeywordWithNoClientDoesNothing) {
    client.quit();
    client.clearMessageLog();
    q.Keyword("aol://1234");
    EXPECT_TRUE(client.messageLog().empty());
}

TEST_F(ChatRoom, PrivateRoomWaitsThenEntersTheRoomNamedExactly) {
    q.PrivateRoom("my room");
    EXPECT_GE(pump.now, 0.2);
    EXPECT_EQ(client.keywords(), std::vector<std::string>{"aol://2719:2-2-my room"});
    EXPECT_EQ(client.openRooms(), std::vector<std::string>{"my room"});
    EXPECT_EQ(q.GetCaption(q.FindRoom()), "my room");
    q.ChatSend("hi");
    EXPECT_EQ(client.transcriptLines(), std::vector<std::string>{"Bob:\thi"});
}

TEST_F(ChatRoom, ChatIgnoreOnACheckedBoxPostsExactlyOneClick) {
    client.setIgnored("SpAmMeR", true);
    q.ChatIgnore("spammer");
    EXPECT_EQ(clicks(), 1);
    EXPECT_EQ(count("_AOL_Checkbox", WM_LBUTTONUP, true), 1);
    EXPECT_EQ(count("_AOL_Checkbox", BM_GETCHECK, false), 1);
    client.deliverPosted();
    EXPECT_FALSE(client.isIgnored("SpAmMeR"));
    EXPECT_FALSE(client.isMemberWindowOpen());
    EXPECT_EQ(client.openProcessHandles(), 0);
}

TEST_F(ChatRoom, ChatIgnoreOnAnUncheckedBoxEndsIgnored) {
    q.ChatIgnore("SPAMMER");
    client.deliverPosted();
    EXPECT_TRUE(client.isIgnored("SpAmMeR"));
    EXPECT_EQ(clicks(), 2);  // the first pass read unchecked, the second read checked
    EXPECT_FALSE(client.isMemberWindowOpen());
    client.memberSays("SpAmMeR", "buy now");
    client.memberSays("Alice", "hi");
    EXPECT_EQ(client.transcriptLines(), std::vector<std::string>{"Alice:\thi"});
}

TEST_F(ChatRoom, ChatIgnoreSelectsTheMatchingEntryAndWaitsPerEntryBefore) {
    q.ChatIgnore("carol");  // entries: Bob (0), Alice (1), SpAmMeR (2), Carol (3)
    bool selected = false;
    for (const auto& m : client.messageLog()) {
        if (m.message == LB_SETCURSEL) {
            EXPECT_EQ(m.wParam, 3u);
            selected = true;
        }
    }
    EXPECT_TRUE(selected);
    EXPECT_EQ(count("_AOL_Listbox", WM_LBUTTONDBLCLK, true), 1);
    EXPECT_GE(pump.now, 3 * 0.3 + 2 * 0.5);
    client.deliverPosted();
    EXPECT_TRUE(client.isIgnored("Carol"));
}

TEST_F(ChatRoom, ChatIgnoreNeverActsOnTheUsersOwnEntry) {
    tag = "off";
    q.ChatIgnore("BOB");
    EXPECT_EQ(countMessage(LB_SETCURSEL), 0);
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
    for (const auto& m : client.messageLog()) EXPECT_EQ(m.message, LB_GETCOUNT);
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
    EXPECT_EQ(countMessage(BM_GETCHECK), 0);  // nothing clicked
    EXPECT_EQ(count("_AOL_Checkbox", WM_LBUTTONDOWN, true), 0);
    EXPECT_EQ(countMessage(WM_CLOSE), 0);
    const double ignoreStarted = 0.3;  // Bob's entry, then Alice (entry 1) matches
    EXPECT_GE(pump.now, ignoreStarted + 2.0);
    EXPECT_LT(pump.now, ignoreStarted + 2.1);
    EXPECT_EQ(scanOns, 1);  // automatic ignoring is not left stopped
    EXPECT_EQ(tag, "on");
}

TEST_F(ChatRoom, AnIgnoreBoxThatNeverReadsCheckedStopsAfterTheBound) {
    client.setIgnoreBoxNeverChecked(true);
    tag = "off";
    q.ChatIgnore("alice");
    const int passes = QuartzlineLimits{}.ignoreBoxPasses;
    EXPECT_EQ(count("_AOL_Checkbox", BM_GETCHECK, false), passes);
    EXPECT_EQ(clicks(), passes);
    EXPECT_EQ(count("AOL Child", WM_CLOSE, true), 1);
    client.deliverPosted();
    EXPECT_FALSE(client.isMemberWindowOpen());
    EXPECT_EQ(scanOns, 1);
    EXPECT_EQ(tag, "on");
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
