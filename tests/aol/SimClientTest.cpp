// The simulated client itself: window tree, posting, reactions, driving API.
#include <gtest/gtest.h>

#include "aol/ClientWindows.h"
#include "aol/sim/SimClient.h"

namespace aol::sim {
namespace {

class Sim : public ::testing::Test {
protected:
    Sim() {
        client.signOn("Bob");
        client.openRoom("Lobby");
    }
    Hwnd input() { return client::RoomInputBox(client, client::FindRoom(client)); }
    void setText(Hwnd w, const std::string& bytes) {
        client.send(w, kWmSetText, 0, reinterpret_cast<std::intptr_t>(bytes.c_str()));
    }
    SimClient client;
};

TEST_F(Sim, WindowTreeMatchesTheContract) {
    const Hwnd frame = client.FindWindowA("aol frame25", nullptr);  // class case ignored
    ASSERT_NE(frame, 0u);
    EXPECT_NE(client.FindWindowExA(frame, 0, "MDICLIENT", nullptr), 0u);
    EXPECT_NE(client::KeywordBox(client), 0u);
    EXPECT_EQ(client.documentWindows(),
              (std::vector<std::pair<std::string, std::string>>{{"AOL Child", "Lobby"},
                                                                {"AOL Child", "Welcome, Bob!"}}));
    const Hwnd room = client::FindRoom(client);
    EXPECT_NE(client::RoomTranscript(client, room), client::RoomInputBox(client, room));
    // The welcome window is not a room.
    client.closeRoom();
    EXPECT_EQ(client::FindRoom(client), 0u);
}

TEST_F(Sim, FindWindowExVisitsChildrenInOrder) {
    const Hwnd room = client.roomWindow();
    const Hwnd first = client.FindWindowExA(room, 0, "RICHCNTL", nullptr);
    const Hwnd second = client.FindWindowExA(room, first, "RICHCNTL", nullptr);
    EXPECT_NE(second, 0u);
    EXPECT_EQ(client.FindWindowExA(room, second, "RICHCNTL", nullptr), 0u);
    EXPECT_EQ(client.FindWindowExA(room, 0xBAD, "RICHCNTL", nullptr), 0u);
    EXPECT_EQ(client.FindWindowExA(0xBAD, 0, nullptr, nullptr), 0u);
}

TEST_F(Sim, EnterPostsTheInputLineAsTheUser) {
    setText(input(), "line one\r\nline two");
    EXPECT_EQ(client.inputBox(), "line one\r\nline two");
    client.send(input(), kWmChar, 0x0D, 0);
    EXPECT_EQ(client.transcriptLines(), std::vector<std::string>{"Bob:\tline one line two"});
    EXPECT_EQ(client.inputBox(), "");
    client.send(input(), kWmChar, 0x0D, 0);  // an empty box sends nothing
    EXPECT_EQ(client.transcriptLines().size(), 1u);
}

TEST_F(Sim, TranscriptTextFormat) {
    client.memberJoins("Alice");
    client.memberSays("Alice", "hi");
    client.userTypes("hey \u00B7");
    EXPECT_EQ(client.transcriptBytes(), "Alice:\thi\r\nBob:\they \xB7");
    EXPECT_EQ(client.transcriptText(), "Alice:\thi\r\nBob:\they \u00B7");
}

TEST_F(Sim, ControlsAnswerWithTheirContentsOnlyToWmGetText) {
    client.memberJoins("Alice");
    client.memberSays("Alice", "hi");
    client.userTypesWithoutEnter("typing");
    const Hwnd transcript = client::RoomTranscript(client, client.roomWindow());
    // Across processes GetWindowTextA gives the caption, which an edit control does not have.
    char buffer[16] = {};
    EXPECT_EQ(client.GetWindowTextLengthA(transcript), 0);
    EXPECT_EQ(client.GetWindowTextA(transcript, buffer, sizeof buffer), 0);
    EXPECT_EQ(client::CaptionBytes(client, input()), "");
    // The control itself answers WM_GETTEXT, within the buffer it is given.
    EXPECT_EQ(client.send(transcript, kWmGetTextLength), 9);
    EXPECT_EQ(client.send(transcript, kWmGetText, 8, reinterpret_cast<std::intptr_t>(buffer)), 7);
    EXPECT_STREQ(buffer, "Alice:\t");
    EXPECT_EQ(client::ReadControlBytes(client, transcript).value_or(""), "Alice:\thi");
    EXPECT_EQ(client::ReadControlBytes(client, input()).value_or(""), "typing");
    // Windows without contents answer with their caption both ways.
    EXPECT_EQ(client::CaptionBytes(client, client.roomWindow()), "Lobby");
    EXPECT_EQ(client::ReadControlBytes(client, client.roomWindow()).value_or(""), "Lobby");
    // A caption too long for the first short read is read whole all the same.
    for (const std::size_t length : {254u, 255u, 256u, 1000u}) {
        const std::string name(length, 'r');
        client.openRoom(name);
        EXPECT_EQ(client::CaptionBytes(client, client.roomWindow(name)), name) << length;
    }
}

TEST_F(Sim, AHungClientAnswersNoSendUntilItRecovers) {
    const Hwnd box = input();
    client.hangWhenSentTo(box);
    std::intptr_t result = 7;
    EXPECT_FALSE(client.SendMessageTimeoutA(box, kWmGetTextLength, 0, 0, 0, 2000, &result));
    EXPECT_EQ(result, 0);
    EXPECT_TRUE(client.isHung());
    EXPECT_FALSE(
        client.SendMessageTimeoutA(client.roomWindow(), kWmGetTextLength, 0, 0, 0, 2000, &result));
    EXPECT_TRUE(client.PostMessageA(client.roomWindow(), kWmClose, 0, 0));
    client.deliverPosted();
    EXPECT_EQ(client.currentRoom(), "Lobby");  // nothing posted acts while hung
    client.hangWhenSentTo(0);
    client.setHung(false);
    client.deliverPosted();
    EXPECT_EQ(client.currentRoom(), "");
    EXPECT_EQ(client.sendsTimedOut(), 2);
}

TEST_F(Sim, PostedMessagesWaitForTheirDelay) {
    double now = 0;
    client.setPostDelay(0.05, [&] { return now; });
    client.PostMessageA(client.roomWindow(), kWmClose, 0, 0);
    EXPECT_EQ(client.nextPostedDue(), 0.05);
    client.deliverPosted();
    EXPECT_EQ(client.currentRoom(), "Lobby");
    now = 0.05;
    client.deliverPosted();
    EXPECT_EQ(client.currentRoom(), "");
    EXPECT_FALSE(client.nextPostedDue());
}

TEST_F(Sim, TheClientActsWhileTheProgramCallsIt) {
    double now = 0;
    client.setClock([&] { return now; });
    client.setCallCost(0.001, [&](double seconds) { now += seconds; });
    client.setCloseDelay(0.0035);
    const Hwnd room = client.roomWindow();
    const Hwnd mdi = client::MdiClient(client);
    ASSERT_EQ(client.FindWindowExA(mdi, 0, "AOL Child", nullptr), room);
    client.PostMessageA(room, kWmClose, 0, 0);  // acted on at the next call, without a pump
    int calls = 0;
    while (client.FindWindowExA(mdi, 0, "AOL Child", nullptr) == room) ++calls;
    EXPECT_EQ(calls, 4);  // after the close delay the next window is activated, on top ...
    EXPECT_NE(client.GetWindowThreadProcessId(room, nullptr), 0u);  // ... the room still there
    EXPECT_EQ(client.FindWindowExA(mdi, room, "AOL Child", nullptr), 0u);  // last now
    while (client.GetWindowThreadProcessId(room, nullptr) != 0) ++calls;
    EXPECT_EQ(client.FindWindowExA(mdi, room, "AOL Child", nullptr), 0u);  // gone, as on Win32
    bool acted = false;
    client.at(now + 0.0015, [&] { acted = true; });
    client.GetWindowTextLengthA(mdi);
    EXPECT_FALSE(acted);
    client.GetWindowTextLengthA(mdi);
    EXPECT_TRUE(acted);
}

TEST_F(Sim, AFlickeringTopWindowCutsEveryWalk) {
    client.setTopWindowFlickers(true);
    const Hwnd mdi = client::MdiClient(client);
    for (int walk = 0; walk < 3; ++walk) {
        const Hwnd top = client.FindWindowExA(mdi, 0, "AOL Child", nullptr);
        EXPECT_NE(top, client.roomWindow());
        EXPECT_EQ(client.FindWindowExA(mdi, top, "AOL Child", nullptr), 0u);
        EXPECT_EQ(client.GetWindowThreadProcessId(top, nullptr), 0u);
    }
    EXPECT_EQ(client.documentWindows().size(), 2u);  // the room and the welcome window
}

TEST_F(Sim, ASlowClientBuildsItsAlertBeforeItsButtonWorks) {
    double now = 0;
    client.setPostDelay(0.05, [&] { return now; });
    client.showAlertNow("Something happened.");
    const Hwnd alert = client.FindWindowA("#32770", "America Online");
    const Hwnd early = client.FindWindowExA(alert, 0, "Button", nullptr);
    ASSERT_NE(early, 0u);
    client.PostMessageA(early, kWmKeyDown, kVkSpace, 0);
    client.PostMessageA(early, kWmKeyUp, kVkSpace, 0);
    now = 0.06;
    client.deliverPosted();  // the dialog is finished first; the press went to a button now gone
    EXPECT_TRUE(client.isAlertShowing());
    const Hwnd button = client.FindWindowExA(alert, 0, "Button", nullptr);
    EXPECT_NE(button, early);
    client.send(button, kWmKeyDown, kVkSpace);
    client.send(button, kWmKeyUp, kVkSpace);
    EXPECT_FALSE(client.isAlertShowing());
}

TEST_F(Sim, TranscriptDropsItsOldestLines) {
    client.setTranscriptLimit(3);
    for (int i = 1; i <= 5; ++i) client.memberSays("Alice", std::to_string(i));
    EXPECT_EQ(client.transcriptLines(),
              (std::vector<std::string>{"Alice:\t3", "Alice:\t4", "Alice:\t5"}));
}

TEST_F(Sim, IgnoredMembersDoNotReachTheTranscript) {
    client.memberJoins("Spammer");
    client.setIgnored("SPAMMER", true);
    client.memberSays("Spammer", "buy");
    EXPECT_TRUE(client.transcriptLines().empty());
    EXPECT_TRUE(client.members()[1].ignored);
}

TEST_F(Sim, PostedMessagesActOnlyWhenDelivered) {
    int notified = 0;
    client.setPostNotifier([&] { ++notified; });
    const Hwnd room = client.roomWindow();
    EXPECT_TRUE(client.PostMessageA(room, kWmClose, 0, 0));
    EXPECT_EQ(notified, 1);
    EXPECT_EQ(client.pendingPosted(), 1u);
    EXPECT_EQ(client.currentRoom(), "Lobby");
    client.deliverPosted();
    EXPECT_EQ(client.currentRoom(), "");
    EXPECT_FALSE(client.PostMessageA(room, kWmClose, 0, 0));  // no such window any more
    EXPECT_FALSE(client.PostMessageA(input(), kWmSetText, 0, 0));
}

TEST_F(Sim, ChangeListenerHearsVisibleChanges) {
    int changes = 0;
    client.addChangeListener([&] { ++changes; });
    client.memberSays("Alice", "x");
    EXPECT_GT(changes, 0);
    const int before = changes;
    client.userTypesWithoutEnter("a");
    EXPECT_GT(changes, before);
}

TEST_F(Sim, DoubleClickOpensTheSelectedMembersWindowAndTheBoxToggles) {
    client.memberJoins("Alice");
    const Hwnd list = client::RoomMemberList(client, client.roomWindow());
    EXPECT_EQ(client.send(list, kLbSetCurSel, 1, 0), 1);
    client.PostMessageA(list, kWmLButtonDblClk, 0, 0);
    EXPECT_EQ(client::FindMemberWindow(client), 0u);
    client.deliverPosted();
    const Hwnd mw = client::FindMemberWindow(client);
    ASSERT_NE(mw, 0u);
    EXPECT_TRUE(client.isMemberWindowOpen("alice"));
    const Hwnd box = client.FindWindowExA(mw, 0, "_AOL_Checkbox", nullptr);
    EXPECT_EQ(client.send(box, kBmGetCheck, 0, 0), 0);
    client.send(box, kWmLButtonDown, 0, 0);
    client.send(box, kWmLButtonUp, 0, 0);
    EXPECT_EQ(client.send(box, kBmGetCheck, 0, 0), 1);
    EXPECT_TRUE(client.isIgnored("Alice"));
    client.send(box, kWmLButtonDown, 0, 0);
    client.send(box, kWmLButtonUp, 0, 0);
    EXPECT_FALSE(client.isIgnored("Alice"));
    client.send(box, kWmLButtonUp, 0, 0);  // an up without a down is no click
    EXPECT_FALSE(client.isIgnored("Alice"));
}

TEST_F(Sim, OncePerOpeningTheBoxSwitchesOnlyOnce) {
    client.memberJoins("Alice");
    client.setIgnoreBoxMode(IgnoreBoxMode::OncePerOpening);
    const Hwnd list = client::RoomMemberList(client, client.roomWindow());
    client.send(list, kLbSetCurSel, 1, 0);
    client.send(list, kWmLButtonDblClk, 0, 0);
    const Hwnd box =
        client.FindWindowExA(client::FindMemberWindow(client), 0, "_AOL_Checkbox", nullptr);
    for (int i = 0; i < 3; ++i) {
        client.send(box, kWmLButtonDown, 0, 0);
        client.send(box, kWmLButtonUp, 0, 0);
    }
    EXPECT_TRUE(client.isIgnored("Alice"));
    EXPECT_EQ(client.ignoreBoxClicks(), 3);
    // Reopened, the box switches once more.
    client.send(list, kWmLButtonDblClk, 0, 0);
    client.send(box, kWmLButtonDown, 0, 0);
    client.send(box, kWmLButtonUp, 0, 0);
    EXPECT_FALSE(client.isIgnored("Alice"));
}

TEST_F(Sim, ListBoxMessages) {
    client.memberJoins("Alice");
    const Hwnd list = client::RoomMemberList(client, client.roomWindow());
    EXPECT_EQ(client.send(list, kLbGetCount, 0, 0), 2);
    EXPECT_EQ(client.send(list, kLbSetCurSel, 2, 0), -1);
    EXPECT_EQ(client.send(list, kLbGetItemData, 2, 0), -1);
    EXPECT_NE(client.send(list, kLbGetItemData, 1, 0), -1);
}

TEST_F(Sim, KeywordsOpenPrivateRoomsAndSendWindows) {
    const Hwnd edit = client::KeywordBox(client);
    setText(edit, "AOL://2719:2-2-Back Room");
    client.send(edit, kWmChar, 0x20, 0);
    client.send(edit, kWmChar, 0x0D, 0);
    EXPECT_EQ(client.openRooms(), std::vector<std::string>{"Back Room"});
    EXPECT_EQ(client.members().size(), 1u);
    setText(edit, "aol://9293:Alice");
    client.send(edit, kWmChar, 0x0D, 0);
    EXPECT_TRUE(client.isSendWindowOpen());
    EXPECT_EQ(client.documentWindows().front(),
              (std::pair<std::string, std::string>{"AOL Child", "Send Instant Message"}));
    setText(edit, "news");
    client.send(edit, kWmChar, 0x0D, 0);
    EXPECT_EQ(client.keywords(),
              (std::vector<std::string>{"AOL://2719:2-2-Back Room", "aol://9293:Alice", "news"}));
}

TEST_F(Sim, AlertIsDismissedByTheSpaceKey) {
    client.setCannotReceiveIMs("Alice", true);
    const Hwnd edit = client::KeywordBox(client);
    setText(edit, "aol://9293:Alice");
    client.send(edit, kWmChar, 0x0D, 0);
    const Hwnd sw =
        client.FindWindowExA(client::MdiClient(client), 0, "AOL Child", "Send Instant Message");
    const Hwnd send = client::NthChild(client, sw, "_AOL_Icon", 9);
    client.send(send, kWmLButtonDown, 0, 0);
    client.send(send, kWmLButtonUp, 0, 0);
    const Hwnd alert = client.FindWindowA("#32770", "America Online");
    ASSERT_NE(alert, 0u);
    const Hwnd button = client.FindWindowExA(alert, 0, "Button", nullptr);
    client.send(button, kWmKeyUp, 0x20, 0);  // an up alone does nothing
    EXPECT_TRUE(client.isAlertShowing());
    client.send(button, kWmKeyDown, 0x20, 0);
    client.send(button, kWmKeyUp, 0x20, 0);
    EXPECT_FALSE(client.isAlertShowing());
    EXPECT_TRUE(client.isSendWindowOpen());
}

TEST_F(Sim, SignOffClosesEverythingAndQuitRemovesTheClient) {
    client.signOff();
    EXPECT_TRUE(client.documentWindows().empty());
    EXPECT_EQ(client.signedOnUser(), "");
    EXPECT_TRUE(client.isRunning());
    client.quit();
    EXPECT_FALSE(client.isRunning());
    EXPECT_EQ(client.FindWindowA("AOL Frame25", nullptr), 0u);
    client.start();
    EXPECT_TRUE(client.isRunning());
}

TEST_F(Sim, TwoRoomsKeepTheirOwnTranscripts) {
    client.openRoom("Other");
    client.memberSays("Alice", "in other");
    client.memberSays("Carol", "in lobby", "Lobby");
    EXPECT_EQ(client.transcriptLines(), std::vector<std::string>{"Alice:\tin other"});
    EXPECT_EQ(client.transcriptLines("Lobby"), std::vector<std::string>{"Carol:\tin lobby"});
}

TEST_F(Sim, ProcessAccess) {
    std::uint32_t pid = 0;
    EXPECT_EQ(client.GetWindowThreadProcessId(client.roomWindow(), &pid), SimClient::kThreadId);
    EXPECT_EQ(pid, SimClient::kProcessId);
    EXPECT_EQ(client.OpenProcess(kProcessReadAccess, false, pid + 1), 0u);
    EXPECT_EQ(client.OpenProcess(0x0400, false, pid), 0u);  // no right to read memory
    const ProcessHandle h = client.OpenProcess(kProcessReadAccess, false, pid);
    EXPECT_NE(h, 0u);
    EXPECT_EQ(client.openProcessHandles(), 1);
    EXPECT_TRUE(client.CloseHandle(h));
    EXPECT_FALSE(client.CloseHandle(h));
}

}  // namespace
}  // namespace aol::sim
