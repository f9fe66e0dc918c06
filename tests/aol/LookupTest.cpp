// Lookups and TimeOut against the simulated client.
#include "AolTestSupport.h"

namespace aol::testing {
namespace {

using Lookup = AolTest;

TEST_F(Lookup, NoClientMeansNothingAnywhere) {
    client.quit();
    EXPECT_EQ(q.FindRoom(), 0u);
    EXPECT_EQ(q.FindMemberWindow(), 0u);
    EXPECT_EQ(q.GetUser(), "");
    EXPECT_EQ(q.RoomCount(), 0);
    std::vector<std::string> list{"kept"};
    q.AddRoomToList(list, true);
    EXPECT_EQ(list, std::vector<std::string>{"kept"});
}

TEST_F(Lookup, NotSignedOnMeansNoUserAndNoRoom) {
    EXPECT_EQ(q.GetUser(), "");
    EXPECT_EQ(q.FindRoom(), 0u);
}

TEST_F(Lookup, TwoRoomsOpenTheFirstInChildOrderWins) {
    client.signOn("Bob");
    const Hwnd older = client.openRoom("Older");
    const Hwnd newer = client.openRoom("Newer");  // opens on top: first in child order
    ASSERT_EQ(client.openRooms(), (std::vector<std::string>{"Newer", "Older"}));
    EXPECT_EQ(q.FindRoom(), newer);
    client.closeRoom("Newer");
    EXPECT_EQ(q.FindRoom(), older);
}

TEST_F(Lookup, WalksCutShortEveryTimeGiveUpAfterTheirRestarts) {
    client.signOn("Bob");
    client.openRoom("Lobby");
    client.setTopWindowFlickers(true);  // every walk is cut before it gets past the top window
    EXPECT_EQ(q.FindRoom(), 0u);
    EXPECT_EQ(q.GetUser(), "");
    client.setTopWindowFlickers(false);
    EXPECT_EQ(q.FindRoom(), client.roomWindow());
}

TEST_F(Lookup, GetCaptionOfNothingIsEmpty) {
    EXPECT_EQ(q.GetCaption(0), "");
    EXPECT_EQ(q.GetCaption(0xDEAD), "");
    const Hwnd w = client.addDocumentWindow("", {});
    EXPECT_EQ(q.GetCaption(w), "");
}

// GetUser remembers the welcome window it found; a user who signs off and another who signs on
// are seen all the same.
TEST_F(Lookup, GetUserFollowsSignOffAndSignOn) {
    client.signOn("Bob");
    EXPECT_EQ(q.GetUser(), "Bob");
    EXPECT_EQ(q.GetUser(), "Bob");
    client.signOff();
    EXPECT_EQ(q.GetUser(), "");
    client.signOn("Carol");
    EXPECT_EQ(q.GetUser(), "Carol");
}

TEST_F(Lookup, GetUserWithoutExclamationMarkTakesTheRest) {
    client.addDocumentWindow("Welcome, Odd", {});
    EXPECT_EQ(q.GetUser(), "Odd");
}

TEST_F(Lookup, RoomCountCountsTheMemberList) {
    EXPECT_EQ(q.RoomCount(), 0);
    client.signOn("Bob");
    client.openRoom("Lobby");
    EXPECT_EQ(q.RoomCount(), 1);
    client.memberJoins("Alice");
    client.memberJoins("Carol");
    EXPECT_EQ(q.RoomCount(), 3);
    client.memberLeaves("alice");
    EXPECT_EQ(q.RoomCount(), 2);
}

TEST_F(Lookup, FindMemberWindowNeedsTwoIcons) {
    client.signOn("Bob");
    client.addDocumentWindow("One icon",
                             {"_AOL_Checkbox", "_AOL_Static", "_AOL_Glyph", "_AOL_Icon"});
    EXPECT_EQ(q.FindMemberWindow(), 0u);
    const Hwnd two = client.addDocumentWindow(
        "Two icons", {"_AOL_Icon", "_AOL_Checkbox", "_AOL_Static", "_AOL_Glyph", "_AOL_Icon"});
    EXPECT_EQ(q.FindMemberWindow(), two);
}

TEST_F(Lookup, AddRoomToListLeavesTheUserOutUnlessAsked) {
    client.signOn("Bob Smith");
    client.openRoom("Lobby");
    std::vector<std::string> list;
    q.AddRoomToList(list, false);
    EXPECT_TRUE(list.empty());
    q.AddRoomToList(list, true);
    EXPECT_EQ(list, std::vector<std::string>{"bob smith"});
    EXPECT_EQ(client.openProcessHandles(), 0);
    EXPECT_EQ(client.accessAskedFor(), 0x0010u);  // reading its memory, nothing more
}

TEST_F(Lookup, NamesOfSixteenCharactersHaveNoNul) {
    client.signOn("Bob");
    client.openRoom("Lobby");
    client.memberJoins("ABCDEFGHIJKLMNOP");     // 16 bytes: no NUL in the record
    client.memberJoins("ShortName");            // NUL-ended, stray bytes after it
    client.memberJoins("QRSTUVWXYZabcdefXYZ");  // the client keeps 16 characters
    std::vector<std::string> list;
    q.AddRoomToList(list, false);
    EXPECT_EQ(list,
              (std::vector<std::string>{"abcdefghijklmnop", "shortname", "qrstuvwxyzabcdef"}));
}

TEST_F(Lookup, AFailedProcessOpenAddsNothing) {
    client.signOn("Bob");
    client.openRoom("Lobby");
    client.memberJoins("Alice");
    client.setProcessOpenFails(true);
    std::vector<std::string> list;
    q.AddRoomToList(list, true);
    EXPECT_TRUE(list.empty());
}

TEST_F(Lookup, ReadsTheMemberListAtTheStatedOffsets) {
    client.signOn("Bob");
    client.openRoom("Lobby");
    client.memberJoins("Alice");
    const Hwnd list = client.FindWindowExA(client.roomWindow(), 0, "_AOL_Listbox", nullptr);
    std::uint32_t pid = 0;
    client.GetWindowThreadProcessId(list, &pid);
    const ProcessHandle h = client.OpenProcess(kProcessReadAccess, false, pid);
    ASSERT_NE(h, 0u);
    const auto record = static_cast<std::uint64_t>(client.send(list, kLbGetItemData, 1, 0));
    unsigned char p[4] = {};
    std::size_t got = 0;
    ASSERT_TRUE(client.ReadProcessMemory(h, record + 24, p, 4, &got));
    const std::uint64_t nameRecord =
        p[0] | (p[1] << 8) | (p[2] << 16) | (std::uint64_t{p[3]} << 24);
    char name[16] = {};
    ASSERT_TRUE(client.ReadProcessMemory(h, nameRecord + 6, name, 16, &got));
    EXPECT_STREQ(name, "Alice");
    EXPECT_FALSE(client.ReadProcessMemory(h, 0x10, name, 4, &got));
    EXPECT_TRUE(client.CloseHandle(h));
    EXPECT_FALSE(client.ReadProcessMemory(h, nameRecord + 6, name, 16, &got));
}

TEST_F(Lookup, TimeOutOfZeroOrLessReturnsWithoutPumping) {
    q.TimeOut(0);
    q.TimeOut(-1.5);
    EXPECT_EQ(pump.pumps, 0);
    EXPECT_EQ(pump.waits, 0);
    EXPECT_EQ(pump.now, 0.0);
}

TEST_F(Lookup, TimeOutPumpsUntilTheTimeHasPassed) {
    client.signOn("Bob");
    client.openRoom("Lobby");
    bool ran = false;
    pump.at(0.1, [&] { ran = true; });
    q.TimeOut(0.3);
    EXPECT_GE(pump.now, 0.3);
    EXPECT_LT(pump.now, 0.3 + 0.011);
    EXPECT_GT(pump.pumps, 1);
    EXPECT_TRUE(ran);
}

TEST_F(Lookup, TimeOutDeliversWhatWasPostedMeanwhile) {
    client.signOn("Bob");
    const Hwnd room = client.openRoom("Lobby");
    pump.at(0.05, [&] { client.PostMessageA(room, kWmClose, 0, 0); });
    q.TimeOut(0.2);
    EXPECT_EQ(q.FindRoom(), 0u);
}

}  // namespace
}  // namespace aol::testing
