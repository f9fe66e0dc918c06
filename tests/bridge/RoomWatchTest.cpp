// The bridge's reading of the rooms: the same answers as a full read, with only two small
// questions per room while nothing changes.
#include "bridge/service/RoomWatch.h"

#include <gtest/gtest.h>

#include "aol/ClientWindows.h"
#include "aol/sim/SimClient.h"

namespace bridge {
namespace {

class Watch : public ::testing::Test {
protected:
    Watch() {
        sim.signOn("Bob");
        sim.openRoom("Lobby");
        sim.memberJoins("Alice");
    }
    // What a full read gives, to compare with.
    std::vector<aol::RoomText> full() { return aol::client::ReadRoomTexts(sim); }
    static bool Same(const std::vector<aol::RoomText>& a, const std::vector<aol::RoomText>& b) {
        if (a.size() != b.size()) return false;
        for (std::size_t i = 0; i < a.size(); ++i) {
            if (a[i].room != b[i].room || a[i].text != b[i].text) return false;
        }
        return true;
    }
    int messagesToTranscripts() const {
        int n = 0;
        for (const auto& m : sim.messageLog()) n += m.windowClass == "RICHCNTL" ? 1 : 0;
        return n;
    }
    aol::sim::SimClient sim;
    RoomWatch watch;
};

TEST_F(Watch, AnswersAsAFullReadAndAsksLittleWhileNothingChanges) {
    sim.memberSays("Alice", "one");
    EXPECT_TRUE(Same(watch.Read(sim), full()));
    sim.clearMessageLog();
    const auto again = watch.Read(sim);
    EXPECT_EQ(messagesToTranscripts(), 2);  // its length and its first bytes
    EXPECT_TRUE(Same(again, full()));
    sim.memberSays("Alice", "two");
    const auto after = watch.Read(sim);
    ASSERT_EQ(after.size(), 1u);
    EXPECT_EQ(after[0].text, "Alice:\tone\r\nAlice:\ttwo");
}

TEST_F(Watch, SeesAFullTranscriptMoveOn) {
    sim.setTranscriptLimit(3);
    for (const char* line : {"aa", "bb", "cc"}) sim.memberSays("Alice", line);
    watch.Read(sim);
    sim.memberSays("Alice", "dd");  // same length; the first line goes
    EXPECT_TRUE(Same(watch.Read(sim), full()));
}

TEST_F(Watch, FollowsRoomsOpeningAndClosing) {
    watch.Read(sim);
    sim.openRoom("Private");
    sim.userTypes("hi");
    auto rooms = watch.Read(sim);
    EXPECT_TRUE(Same(rooms, full()));
    ASSERT_EQ(rooms.size(), 2u);
    EXPECT_EQ(rooms[0].text, "Bob:\thi");
    sim.closeRoom("Private");
    EXPECT_TRUE(Same(watch.Read(sim), full()));
    sim.quit();
    EXPECT_TRUE(watch.Read(sim).empty());
}

}  // namespace
}  // namespace bridge
