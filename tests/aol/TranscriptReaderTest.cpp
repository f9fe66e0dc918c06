// The plain transcript reader against the simulated client.
#include "aol/TranscriptReader.h"

#include <gtest/gtest.h>

#include "aol/sim/SimClient.h"

namespace aol {
namespace {

std::vector<std::string> Flat(const std::vector<TranscriptLine>& lines) {
    std::vector<std::string> out;
    for (const auto& l : lines) out.push_back(l.screenName + "|" + l.text);
    return out;
}

class Reader : public ::testing::Test {
protected:
    Reader() {
        client.signOn("Bob");
        client.openRoom("Lobby");
        client.memberJoins("Alice");
    }
    std::vector<std::string> next() { return Flat(reader.ReadNew()); }
    sim::SimClient client;
    TranscriptReader reader{client};
};

TEST_F(Reader, CopesWithDroppedOldestLines) {
    client.setTranscriptLimit(4);
    for (int i = 0; i < 4; ++i) client.memberSays("Alice", "old" + std::to_string(i));
    reader.Reset();
    client.memberSays("Alice", "a");
    client.memberSays("Alice", "b");
    EXPECT_EQ(next(), (std::vector<std::string>{"Alice|a", "Alice|b"}));
    client.memberSays("Alice", "c");
    EXPECT_EQ(next(), std::vector<std::string>{"Alice|c"});
    // More lines than the transcript holds: what is left is reported.
    for (int i = 0; i < 6; ++i) client.memberSays("Alice", "n" + std::to_string(i));
    EXPECT_EQ(next(), (std::vector<std::string>{"Alice|n2", "Alice|n3", "Alice|n4", "Alice|n5"}));
}

TEST_F(Reader, RepeatedLinesAreEachReported) {
    client.setTranscriptLimit(5);
    client.memberSays("Alice", "x");
    client.memberSays("Carol", "y");
    reader.Reset();
    for (int round = 0; round < 5; ++round) {
        client.memberSays("Alice", "flood");
        EXPECT_EQ(next(), std::vector<std::string>{"Alice|flood"}) << "round " << round;
    }
    // The known limit: once every visible line is the same line and the client drops one for
    // each that arrives, the text no longer changes.
    client.memberSays("Alice", "flood");
    EXPECT_TRUE(next().empty());
}

TEST_F(Reader, RoomClosedAndReopened) {
    reader.Reset();
    client.memberSays("Alice", "one");
    client.closeRoom();
    EXPECT_TRUE(next().empty());  // the line went with the room before it was read
    EXPECT_TRUE(next().empty());
    client.openRoom("Lobby");
    client.memberSays("Carol", "fresh");
    EXPECT_EQ(next(), std::vector<std::string>{"Carol|fresh"});
}

TEST_F(Reader, SwitchingBetweenOpenRoomsDoesNotRepeatOldLines) {
    client.memberSays("Alice", "lobby old");
    client.openRoom("Other");
    client.memberSays("Carol", "other old");
    reader.Reset();
    client.closeRoom("Other");  // the Lobby is the open room again
    EXPECT_TRUE(next().empty());
    client.memberSays("Alice", "lobby new");
    EXPECT_EQ(next(), std::vector<std::string>{"Alice|lobby new"});
}

TEST_F(Reader, NoClientAtAll) {
    client.quit();
    reader.Reset();
    EXPECT_TRUE(next().empty());
    client.start();
    client.signOn("Bob");
    client.openRoom("Lobby");
    client.userTypes("back");
    EXPECT_EQ(next(), std::vector<std::string>{"Bob|back"});
}

TEST_F(Reader, LinesWithoutASenderAreNotChatLines) {
    TranscriptLine line;
    EXPECT_FALSE(TranscriptReader::SplitLine("*** no sender", line));
    EXPECT_TRUE(TranscriptReader::SplitLine("OnlineHost:\t*** You are in \"Lobby\". ***", line));
    EXPECT_EQ(line.screenName, "OnlineHost");
}

}  // namespace
}  // namespace aol
