// The flood state of automatic ignoring: runs of one member, broken only by another member,
// the threshold reached by exactly one line, and a run too long for the 16-bit count.
#include <gtest/gtest.h>

#include "chat/FloodCounter.h"

using namespace melodrop;

namespace {

// Feeds the speakers in order and returns the positions (0-based) of the lines that reached
// the threshold.
std::vector<int> triggers(FloodCounter& f, const std::vector<const char*>& speakers,
                          double threshold) {
    std::vector<int> hits;
    for (int i = 0; i < static_cast<int>(speakers.size()); ++i)
        if (f.countLine(QString::fromLatin1(speakers[i]), threshold)) hits.push_back(i);
    return hits;
}

TEST(FloodCounter, TheThirdLineInARowReachesThreshold3) {
    FloodCounter f;
    EXPECT_EQ(triggers(f, {"bob", "bob", "bob", "bob", "bob"}, 3), std::vector<int>{2});
    EXPECT_EQ(f.runCount(), 5);
}

TEST(FloodCounter, AnotherMemberBreaksTheRun) {
    FloodCounter f;
    EXPECT_TRUE(triggers(f, {"bob", "bob", "amy", "bob", "bob"}, 3).empty());
    EXPECT_EQ(f.lastSpeaker(), QStringLiteral("bob"));
    EXPECT_EQ(f.runCount(), 2);
}

TEST(FloodCounter, SpeakersDifferingInCaseAreDifferentSpeakers) {
    FloodCounter f;
    EXPECT_TRUE(triggers(f, {"Bob", "bob", "Bob"}, 2).empty());
}

TEST(FloodCounter, ThresholdsThatNoRunCountEquals) {
    for (double threshold : {0.0, -1.0, 2.5}) {
        FloodCounter f;
        EXPECT_TRUE(triggers(f, {"bob", "bob", "bob", "bob"}, threshold).empty()) << threshold;
    }
}

TEST(FloodCounter, RestartCountsTheNextLineAsANewRun) {
    FloodCounter f;
    triggers(f, {"bob", "bob"}, 2);
    f.restart();
    EXPECT_EQ(f.lastSpeaker(), QString());
    EXPECT_EQ(f.runCount(), 1);
    EXPECT_EQ(triggers(f, {"bob", "bob"}, 2), std::vector<int>{1});
}

TEST(FloodCounter, AVeryLongRunStaysAtTheTopOfTheCountAndTriggersOnce) {
    FloodCounter f;
    int hits = 0;
    for (int i = 0; i < 40000; ++i)
        if (f.countLine(QStringLiteral("bob"), FloodCounter::kMaxRun)) ++hits;
    EXPECT_EQ(hits, 1);
    EXPECT_EQ(f.runCount(), FloodCounter::kMaxRun);
    // A new speaker starts afresh.
    EXPECT_TRUE(f.countLine(QStringLiteral("amy"), 1));
}

}  // namespace
