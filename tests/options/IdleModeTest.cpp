// Idle mode and the idle linker from the options menu, their minute lines on the virtual clock,
// and the away-time counting.
#include <gtest/gtest.h>

#include "chat/AnnouncementLines.h"
#include "fakes/TestRig.h"
#include "options/IdleMode.h"

using namespace melodrop;
using namespace melodrop::testing;

namespace {

struct CountCase {
    const char* before[3];  // days, hours, minutes
    const char* after[3];
};

class IdleCounting : public ::testing::TestWithParam<CountCase> {};

TEST_P(IdleCounting, OneMinuteMore) {
    const CountCase c = GetParam();
    QString d = c.before[0], h = c.before[1], mi = c.before[2];
    countIdleMinute(d, h, mi);
    EXPECT_EQ((QStringList{d, h, mi}), (QStringList{c.after[0], c.after[1], c.after[2]}));
}

INSTANTIATE_TEST_SUITE_P(Counters, IdleCounting,
                         ::testing::Values(CountCase{{"0", "0", "0"}, {"0", "0", "1"}},
                                           CountCase{{"0", "0", "58"}, {"0", "0", "59"}},
                                           CountCase{{"0", "0", "59"}, {"0", "1", "0"}},
                                           CountCase{{"0", "23", "59"}, {"1", "0", "0"}},
                                           CountCase{{"9", "9", "9"}, {"9", "9", "10"}},
                                           CountCase{{"99", "23", "59"}, {"100", "0", "0"}}));

class IdleModeTest : public ::testing::Test {
protected:
    void SetUp() override {
        m = &rig.load();
        // Only the timers of idle mode need to run for a virtual day: no scanner polling, and
        // room for a day of lines in the transcript.
        rig.chtMelodrop.ScanOff();
        rig.sim.setTranscriptLimit(4000);
        rig.ctx().state.txtHandle = "Zed";
        rig.takeLines();
        rig.desktop.requests.clear();
    }
    QStringList minutes(int count) {
        rig.settle(60.0 * count);
        return rig.takeLines();
    }
    OptionsState& state() { return rig.ctx().state; }

    TestRig rig;
    Melodrop* m = nullptr;
};

TEST_F(IdleModeTest, IdleAsksForAReasonAndCountsEveryMinute) {
    rig.desktop.promptAnswers.enqueue("Gone Fishing");
    m->menuTriggered("idle");
    EXPECT_EQ(rig.desktop.requests,
              (QStringList{"minimize", "prompt melodrop|idle reason", "restore"}));
    EXPECT_TRUE(state().idle);
    EXPECT_EQ(state().lblReason, "Gone Fishing");
    EXPECT_EQ(rig.takeLines(), QStringList{idleOnLine("Gone Fishing")});

    EXPECT_EQ(minutes(1), QStringList{idleMinuteLine("zed", "gone fishing", "0", "0", "1")});
    const QStringList hour = minutes(59);
    ASSERT_EQ(hour.size(), 59);
    EXPECT_EQ(hour.last(), idleMinuteLine("zed", "gone fishing", "0", "1", "0"));
    const QStringList day = minutes(23 * 60);
    ASSERT_EQ(day.size(), 23 * 60);
    EXPECT_EQ(day[day.size() - 2], idleMinuteLine("zed", "gone fishing", "0", "23", "59"));
    EXPECT_EQ(day.last(), idleMinuteLine("zed", "gone fishing", "1", "0", "0"));
}

TEST_F(IdleModeTest, TurningIdleOffResetsAndAnnouncesWhateverAdvertiseSays) {
    rig.desktop.promptAnswers.enqueue("away");
    m->menuTriggered("idle");
    minutes(3);
    state().advertise = false;
    m->menuTriggered("idle");
    EXPECT_FALSE(state().idle);
    EXPECT_EQ((QStringList{state().lblDays, state().lblHours, state().lblMins}),
              (QStringList{"0", "0", "0"}));
    EXPECT_EQ(state().lblReason, "");
    EXPECT_EQ(rig.takeLines(), QStringList{announcementLine(Announcement::SetIdleOff)});
    EXPECT_TRUE(minutes(5).isEmpty());

    // Back on: from 0/0/0 again.
    rig.desktop.promptAnswers.enqueue("again");
    m->menuTriggered("idle");
    EXPECT_EQ(minutes(1).last(), idleMinuteLine("zed", "again", "0", "0", "1"));
}

TEST_F(IdleModeTest, CancellingTheReasonLeavesIdleOffAndSilent) {
    m->menuTriggered("idle");  // no answer queued: cancelled
    EXPECT_FALSE(state().idle);
    EXPECT_EQ(rig.desktop.requests,
              (QStringList{"minimize", "prompt melodrop|idle reason", "restore"}));
    EXPECT_TRUE(minutes(3).isEmpty());
}

TEST_F(IdleModeTest, NoMinuteLineWhileTheQuestionIsOpen) {
    rig.desktop.whileModal = [this] { rig.clock.advance(150); };
    rig.desktop.promptAnswers.enqueue("slow typist");
    m->menuTriggered("idle");
    rig.desktop.whileModal = nullptr;
    EXPECT_EQ(rig.takeLines(), QStringList{idleOnLine("slow typist")});
    EXPECT_EQ(minutes(1), QStringList{idleMinuteLine("zed", "slow typist", "0", "0", "1")});
}

TEST_F(IdleModeTest, TheLinkerAsksBothQuestionsAndNeedsBothAnswers) {
    rig.desktop.promptAnswers.enqueue("http://x.org");
    m->menuTriggered("idlelinker");  // link text cancelled
    EXPECT_EQ(rig.desktop.requests, (QStringList{"minimize", "prompt melodrop|url",
                                                 "prompt melodrop|url text", "restore"}));
    EXPECT_FALSE(state().idlelinker);
    EXPECT_TRUE(minutes(2).isEmpty());

    rig.desktop.promptAnswers.enqueue("");  // the address empty: the text is still asked
    rig.desktop.promptAnswers.enqueue("My Page");
    m->menuTriggered("idlelinker");
    EXPECT_FALSE(state().idlelinker);
    EXPECT_TRUE(rig.desktop.promptAnswers.isEmpty());

    state().advertise = false;
    rig.desktop.promptAnswers.enqueue("HTTP://X.org");
    rig.desktop.promptAnswers.enqueue("My Page");
    m->menuTriggered("idlelinker");
    EXPECT_TRUE(state().idlelinker);
    EXPECT_EQ(state().lblURL, "HTTP://X.org");
    EXPECT_EQ(rig.takeLines(), QStringList{announcementLine(Announcement::SetIdleLinkerOn)});
    EXPECT_EQ(minutes(1),
              QStringList{idleLinkerMinuteLine("zed", "http://x.org", "my page", "0", "0", "1")});

    m->menuTriggered("idlelinker");
    EXPECT_FALSE(state().idlelinker);
    EXPECT_EQ(state().lblURL, "");
    EXPECT_EQ(state().lblMins, "0");
    EXPECT_EQ(rig.takeLines(), QStringList{announcementLine(Announcement::SetIdleLinkerOff)});
    EXPECT_TRUE(minutes(2).isEmpty());
}

TEST_F(IdleModeTest, TheTwoModesExcludeEachOtherFromTheMenu) {
    rig.desktop.promptAnswers.enqueue("away");
    m->menuTriggered("idle");
    rig.desktop.requests.clear();
    m->menuTriggered("idlelinker");
    EXPECT_TRUE(rig.desktop.requests.isEmpty());
    EXPECT_FALSE(state().idlelinker);

    m->menuTriggered("idle");  // off
    rig.desktop.promptAnswers.enqueue("a");
    rig.desktop.promptAnswers.enqueue("b");
    m->menuTriggered("idlelinker");
    rig.desktop.requests.clear();
    rig.takeLines();
    m->menuTriggered("idle");
    EXPECT_TRUE(rig.desktop.requests.isEmpty());
    EXPECT_FALSE(state().idle);
    EXPECT_TRUE(rig.takeLines().isEmpty());
}

}  // namespace
