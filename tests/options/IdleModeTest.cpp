// Idle mode and the idle linker from the options menu, with their minute lines on the virtual
// clock, and the away-time counting.
#include <gtest/gtest.h>

#include "base/AnnouncementLines.h"
#include "fakes/TestRig.h"
#include "options/IdleMode.h"

using namespace melodrop;
using namespace melodrop::testing;

namespace {

TEST(IdleCounting, MinutesRollIntoHoursAndHoursIntoDays) {
    const std::pair<QStringList, QStringList> cases[] = {{{"0", "0", "0"}, {"0", "0", "1"}},
                                                         {{"0", "0", "59"}, {"0", "1", "0"}},
                                                         {{"0", "23", "59"}, {"1", "0", "0"}},
                                                         {{"9", "9", "9"}, {"9", "9", "10"}},
                                                         {{"99", "23", "59"}, {"100", "0", "0"}}};
    for (auto [counters, expected] : cases) {
        countIdleMinute(counters[0], counters[1], counters[2]);
        EXPECT_EQ(counters, expected);
    }
}

class IdleModeTest : public ::testing::Test {
protected:
    void SetUp() override {
        m = &rig.load();
        // Only idle mode's timers need to run through a virtual day: no scanner polling, and
        // room for a day of lines in the transcript.
        rig.chtMelodrop().ScanOff();
        rig.sim.setTranscriptLimit(4000);
        s().txtHandle = "Zed";
        rig.takeLines();
        rig.desktop.requests.clear();
    }
    QStringList minutes(int count) {
        rig.settle(60.0 * count);
        return rig.takeLines();
    }
    void answer(std::initializer_list<const char*> answers) {
        for (const char* a : answers) rig.desktop.promptAnswers.enqueue(a);
    }
    OptionsState& s() { return rig.ctx().state; }
    QString idleLine(const char* d, const char* h, const char* mi) {
        return idleMinuteLine("zed", "gone fishing", d, h, mi);
    }

    TestRig rig;
    Melodrop* m = nullptr;
};

TEST_F(IdleModeTest, IdleAsksForAReasonAndCountsEveryMinute) {
    answer({"Gone Fishing"});
    m->menuTriggered("idle");
    EXPECT_EQ(rig.desktop.requests,
              (QStringList{"minimize", "prompt melodrop|idle reason", "restore"}));
    EXPECT_EQ(s().lblReason, "Gone Fishing");
    EXPECT_EQ(rig.takeLines(), QStringList{idleOnLine("Gone Fishing")});
    EXPECT_EQ(minutes(1), QStringList{idleLine("0", "0", "1")});
    EXPECT_EQ(minutes(59).last(), idleLine("0", "1", "0"));
    const QStringList day = minutes(23 * 60);
    ASSERT_EQ(day.size(), 23 * 60);
    EXPECT_EQ(day[day.size() - 2], idleLine("0", "23", "59"));
    EXPECT_EQ(day.last(), idleLine("1", "0", "0"));
}

TEST_F(IdleModeTest, OffResetsAndAnnouncesWhateverAdvertiseSays) {
    answer({"Gone Fishing"});
    m->menuTriggered("idle");
    minutes(3);
    s().advertise = false;
    m->menuTriggered("idle");
    EXPECT_EQ((QStringList{s().lblDays, s().lblHours, s().lblMins, s().lblReason}),
              (QStringList{"0", "0", "0", ""}));
    EXPECT_EQ(rig.takeLines(), QStringList{announcementLine(Announcement::SetIdleOff)});
    EXPECT_TRUE(minutes(5).isEmpty());
    answer({"Gone Fishing"});
    m->menuTriggered("idle");
    EXPECT_EQ(minutes(1).last(), idleLine("0", "0", "1"));
}

TEST_F(IdleModeTest, NoMinuteLineWhileTheQuestionIsOpenNorAfterACancel) {
    rig.desktop.whileModal = [this] { rig.clock.advance(150); };
    m->menuTriggered("idle");  // nothing queued: cancelled
    EXPECT_FALSE(s().idle);
    EXPECT_TRUE(minutes(3).isEmpty());
    answer({"Gone Fishing"});
    m->menuTriggered("idle");
    EXPECT_EQ(rig.takeLines(), QStringList{idleOnLine("Gone Fishing")});
    EXPECT_EQ(minutes(1), QStringList{idleLine("0", "0", "1")});
}

TEST_F(IdleModeTest, TheLinkerNeedsBothAnswersAndExcludesIdle) {
    answer({"", "My Page"});  // both questions are asked even after an empty first answer
    m->menuTriggered("idlelinker");
    EXPECT_EQ(rig.desktop.requests, (QStringList{"minimize", "prompt melodrop|url",
                                                 "prompt melodrop|url text", "restore"}));
    EXPECT_FALSE(s().idlelinker);

    s().advertise = false;
    answer({"HTTP://X.org", "My Page"});
    m->menuTriggered("idlelinker");
    EXPECT_EQ(rig.takeLines(), QStringList{announcementLine(Announcement::SetIdleLinkerOn)});
    EXPECT_EQ(minutes(1),
              QStringList{idleLinkerMinuteLine("zed", "http://x.org", "my page", "0", "0", "1")});
    rig.desktop.requests.clear();
    m->menuTriggered("idle");  // excluded while the linker runs
    EXPECT_TRUE(rig.desktop.requests.isEmpty());

    m->menuTriggered("idlelinker");
    EXPECT_EQ((QStringList{s().lblURL, s().lblURLText, s().lblMins}), (QStringList{"", "", "0"}));
    EXPECT_EQ(rig.takeLines(), QStringList{announcementLine(Announcement::SetIdleLinkerOff)});
    EXPECT_TRUE(minutes(2).isEmpty());

    answer({"Gone Fishing"});
    m->menuTriggered("idle");
    rig.desktop.requests.clear();
    m->menuTriggered("idlelinker");  // and the other way round
    EXPECT_TRUE(rig.desktop.requests.isEmpty());
}

}  // namespace
