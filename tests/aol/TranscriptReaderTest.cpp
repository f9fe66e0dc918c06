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

TEST_F(Reader, AWalkCutShortNeitherForgetsNorRenewsARoom) {
    client.memberSays("Alice", "old");
    reader.Reset();
    client.memberSays("Alice", "a");
    client.setTopWindowFlickers(true);  // every walk is cut short before it reaches the room
    EXPECT_TRUE(next().empty());
    client.memberSays("Alice", "b");
    client.setTopWindowFlickers(false);
    EXPECT_EQ(next(), (std::vector<std::string>{"Alice|a", "Alice|b"}));
    // A baseline whose walk was cut: the room it missed is not taken for a newly opened one.
    client.setTopWindowFlickers(true);
    reader.Reset();
    client.setTopWindowFlickers(false);
    EXPECT_TRUE(next().empty());
    client.memberSays("Alice", "c");
    EXPECT_EQ(next(), std::vector<std::string>{"Alice|c"});
}

// A hung client answers no read: its transcript has not emptied, so nothing in it is new once it
// answers again, at a baseline as at a later read.
TEST_F(Reader, AHungClientsTranscriptIsNotTakenForAnEmptyOne) {
    client.memberSays("Alice", "old");
    reader.Reset();
    client.setHung(true);
    EXPECT_TRUE(next().empty());
    client.setHung(false);
    client.memberSays("Alice", "new");
    EXPECT_EQ(next(), std::vector<std::string>{"Alice|new"});
    client.setHung(true);
    reader.Reset();
    client.setHung(false);
    EXPECT_TRUE(next().empty());
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

// The client seen through a connection that can be cut: meanwhile no window exists.
class Reachable : public WindowSystem {
public:
    explicit Reachable(WindowSystem& inner) : inner_(inner) {}
    bool cut = false;
    Hwnd FindWindowA(const char* c, const char* t) override {
        return cut ? 0 : inner_.FindWindowA(c, t);
    }
    Hwnd FindWindowExA(Hwnd p, Hwnd a, const char* c, const char* t) override {
        return cut ? 0 : inner_.FindWindowExA(p, a, c, t);
    }
    bool SendMessageTimeoutA(Hwnd w, std::uint32_t m, std::uintptr_t wp, std::intptr_t lp,
                             std::uint32_t f, std::uint32_t t, std::intptr_t* r) override {
        return !cut && inner_.SendMessageTimeoutA(w, m, wp, lp, f, t, r);
    }
    bool PostMessageA(Hwnd w, std::uint32_t m, std::uintptr_t wp, std::intptr_t lp) override {
        return !cut && inner_.PostMessageA(w, m, wp, lp);
    }
    int GetWindowTextLengthA(Hwnd w) override { return cut ? 0 : inner_.GetWindowTextLengthA(w); }
    int GetWindowTextA(Hwnd w, char* b, int n) override {
        return cut ? 0 : inner_.GetWindowTextA(w, b, n);
    }
    std::uint32_t GetWindowThreadProcessId(Hwnd w, std::uint32_t* pid) override {
        return inner_.GetWindowThreadProcessId(w, pid);
    }
    ProcessHandle OpenProcess(std::uint32_t a, bool i, std::uint32_t pid) override {
        return inner_.OpenProcess(a, i, pid);
    }
    bool ReadProcessMemory(ProcessHandle h, std::uint64_t a, void* b, std::size_t n,
                           std::size_t* got) override {
        return inner_.ReadProcessMemory(h, a, b, n, got);
    }
    bool CloseHandle(ProcessHandle h) override { return inner_.CloseHandle(h); }

private:
    WindowSystem& inner_;
};

TEST_F(Reader, WhatWasSaidWhileTheClientWasOutOfReachIsNotReportedLate) {
    Reachable link(client);
    TranscriptReader through(link);
    client.memberSays("Alice", "before");
    through.Reset();
    link.cut = true;
    client.memberSays("Alice", "x bob");  // said while the program could not see the room
    EXPECT_TRUE(Flat(through.ReadNew()).empty());
    link.cut = false;
    EXPECT_TRUE(Flat(through.ReadNew()).empty());  // the same room again: a new baseline
    client.memberSays("Alice", "after");
    EXPECT_EQ(Flat(through.ReadNew()), std::vector<std::string>{"Alice|after"});
}

TEST_F(Reader, LinesWithoutASenderAreNotChatLines) {
    TranscriptLine line;
    EXPECT_FALSE(TranscriptReader::SplitLine("*** no sender", line));
    EXPECT_TRUE(TranscriptReader::SplitLine("OnlineHost:\t*** You are in \"Lobby\". ***", line));
    EXPECT_EQ(line.screenName, "OnlineHost");
}

}  // namespace
}  // namespace aol
