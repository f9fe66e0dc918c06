// Lookups on a client: which window is the room, who is signed on, who is in the room.
#include "ContractFixture.h"

namespace aol::contract {
namespace {

using Strings = std::vector<std::string>;

TEST_P(ClientContract, NothingIsFoundBeforeSignOn) {
    EXPECT_EQ(q.GetUser(), "");
    EXPECT_EQ(q.FindRoom(), 0u);
    EXPECT_EQ(q.FindMemberWindow(), 0u);
    EXPECT_EQ(q.RoomCount(), 0);
    Strings list{"kept"};
    q.AddRoomToList(list, true);
    EXPECT_EQ(list, Strings{"kept"});
}

TEST_P(ClientContract, FindRoomPassesOverALookAlikeOnTop) {
    client.signOn("Bob");
    client.addDocument("Almost", {"RICHCNTL", "_AOL_Listbox", "_AOL_Icon", "RICHCNTL"});
    EXPECT_EQ(q.FindRoom(), 0u);
    client.openRoom("Lobby 12");
    client.addDocument("Decoy", {"RICHCNTL", "_AOL_Listbox", "_AOL_Icon", "RICHCNTL"});
    const Hwnd room = q.FindRoom();
    ASSERT_NE(room, 0u);
    EXPECT_EQ(q.GetCaption(room), "Lobby 12");
}

TEST_P(ClientContract, TheRoomFirstInChildOrderIsTheOpenRoom) {
    client.signOn("Bob");
    client.openRoom("Older");
    client.openRoom("Newer");
    EXPECT_EQ(client.openRooms(), (Strings{"Newer", "Older"}));
    EXPECT_EQ(q.GetCaption(q.FindRoom()), "Newer");
}

TEST_P(ClientContract, CaptionsAreConvertedFromWindows1252) {
    client.signOn("Bob");
    client.openRoom("Caf\u00E9 \u2022 Lounge");
    EXPECT_EQ(q.GetCaption(q.FindRoom()), "Caf\u00E9 \u2022 Lounge");
    EXPECT_EQ(q.GetCaption(0), "");
}

TEST_P(ClientContract, GetUserReadsTheWelcomeCaption) {
    client.signOn("Bob Smith");
    client.openRoom("Lobby");
    client.addDocument("welcome, Mallory!", {});  // wrong case: not the welcome window
    EXPECT_EQ(q.GetUser(), "Bob Smith");
}

TEST_P(ClientContract, RoomCountCountsTheMemberList) {
    client.signOn("Bob");
    client.openRoom("Lobby");
    EXPECT_EQ(q.RoomCount(), 1);
    client.memberJoins("Alice");
    client.memberJoins("Carol");
    EXPECT_EQ(q.RoomCount(), 3);
}

TEST_P(ClientContract, AddRoomToListReadsTheNamesOutOfTheClientsMemory) {
    client.signOn("Bob");
    client.openRoom("Lobby");
    client.memberJoins("ABCDEFGHIJKLMNOP");        // 16 bytes: no NUL in the record
    client.memberJoins("Zo\u00CB \u00C9t\u00E9");  // bytes above 0x7F
    client.memberJoins("CAROL 7");
    Strings list{"earlier"};
    q.AddRoomToList(list, false);
    EXPECT_EQ(list, (Strings{"earlier", "abcdefghijklmnop", "zo\u00EB \u00E9t\u00E9", "carol 7"}));
    list.clear();
    q.AddRoomToList(list, true);
    EXPECT_EQ(list.front(), "bob");
    EXPECT_EQ(list.size(), 4u);
}

}  // namespace
}  // namespace aol::contract
