// The bridge's reading of the rooms: the same answers as a full read, with one small question
// per room at most reads while nothing changes.
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
    // A read `later` seconds after the one before.
    std::vector<aol::RoomText> read(double later = 0.0) {
        now += later;
        return watch.Read(sim, now);
    }
    aol::sim::SimClient sim;
    RoomWatch watch;
    double now = 100.0;
};

TEST_F(Watch, AnswersAsAFullReadAndAsksLittleWhileNothingChanges) {
    sim.memberSays("Alice", "one");
    EXPECT_TRUE(Same(read(), full()));
    sim.clearMessageLog();
    const auto again = read(0.01);
    EXPECT_EQ(messagesToTranscripts(), 1);  // its length
    for (int i = 1; i < RoomWatch::kHeadEvery; ++i) read(0.01);
    EXPECT_EQ(messagesToTranscripts(), RoomWatch::kHeadEvery + 1);  // and now and then its head
    EXPECT_TRUE(Same(again, full()));
    sim.memberSays("Alice", "two");
    const auto after = read();
    ASSERT_EQ(after.size(), 1u);
    EXPECT_EQ(after[0].text, "Alice:\tone\r\nAlice:\ttwo");
}

TEST_F(Watch, SeesAFullTranscriptMoveOn) {
    sim.setTranscriptLimit(3);
    for (const char* line : {"aa", "bb", "cc"}) sim.memberSays("Alice", line);
    read();
    sim.memberSays("Alice", "dd");  // same length; the first line goes
    // Seen when the first bytes are compared next, at most kHeadEvery reads later.
    bool seen = false;
    for (int i = 0; i < RoomWatch::kHeadEvery && !seen; ++i) seen = Same(read(0.01), full());
    EXPECT_TRUE(seen);
}

TEST_F(Watch, FollowsRoomsOpeningAndClosing) {
    read();
    sim.openRoom("Private");
    sim.userTypes("hi");
    // A room that opened is seen at the next walk of the windows.
    EXPECT_EQ(read(RoomWatch::kWalkSeconds / 2).size(), 1u);
    auto rooms = read(RoomWatch::kWalkSeconds);
    EXPECT_TRUE(Same(rooms, full()));
    ASSERT_EQ(rooms.size(), 2u);
    EXPECT_EQ(rooms[0].text, "Bob:\thi");
    // A room that closed, or a client that quit, is seen at once: its transcript no longer
    // answers.
    sim.closeRoom("Private");
    EXPECT_TRUE(Same(read(0.01), full()));
    sim.quit();
    EXPECT_TRUE(read(0.01).empty());
}

TEST_F(Watch, AWalkCutShortKeepsTheRoomsOfTheLastWholeWalk) {
    sim.memberSays("Alice", "one");
    read();
    sim.setTopWindowFlickers(true);  // every walk is cut short before it reaches the room
    EXPECT_FALSE(watch.Changed(sim, now += RoomWatch::kWalkSeconds));
    sim.memberSays("Alice", "two");
    EXPECT_TRUE(watch.Changed(sim, now));
    const auto rooms = read(RoomWatch::kWalkSeconds);
    ASSERT_EQ(rooms.size(), 1u);
    EXPECT_EQ(rooms[0].text, "Alice:\tone\r\nAlice:\ttwo");
    sim.setTopWindowFlickers(false);
    sim.openRoom("Private");
    EXPECT_EQ(read(0.01).size(), 2u);  // a cut walk is walked again at the next look
}

// A hung client's transcript keeps the text it last gave; a room never read is left out.
TEST_F(Watch, AHungTranscriptKeepsItsLastText) {
    sim.memberSays("Alice", "one");
    read();
    sim.setHung(true);
    auto rooms = read(RoomWatch::kWalkSeconds);
    ASSERT_EQ(rooms.size(), 1u);
    EXPECT_EQ(rooms[0].text, "Alice:\tone");
    sim.openRoom("Private");
    EXPECT_EQ(read(RoomWatch::kWalkSeconds).size(), 1u);
    sim.setHung(false);
    rooms = read(0.01);
    ASSERT_EQ(rooms.size(), 2u);
    EXPECT_TRUE(Same(rooms, full()));
}

}  // namespace
}  // namespace bridge
