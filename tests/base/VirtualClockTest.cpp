// The virtual clock: timers fire in time order, never re-enter their own handler, and waits
// jump straight to the next timer or the deadline.
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "base/RandomPick.h"
#include "base/VirtualClock.h"

using namespace melodrop;

TEST(VirtualClock, TimersFireInOrderAsTimeAdvances) {
    VirtualClock clock;
    auto a = clock.createTimer();
    auto b = clock.createTimer();
    std::vector<std::pair<char, double>> ticks;
    a->setInterval(300);
    b->setInterval(200);
    a->onTick = [&] { ticks.push_back({'a', clock.Now()}); };
    b->onTick = [&] { ticks.push_back({'b', clock.Now()}); };
    a->setEnabled(true);
    b->setEnabled(true);
    clock.advance(0.65);
    ASSERT_EQ(ticks.size(), 5u);
    EXPECT_EQ(ticks[0].first, 'b');
    EXPECT_EQ(ticks[1].first, 'a');
    EXPECT_EQ(ticks[2].first, 'b');
    EXPECT_DOUBLE_EQ(clock.Now(), 0.65);
}

TEST(VirtualClock, AWaitInsideATickRunsOtherTimersButNotItself) {
    VirtualClock clock;
    auto outer = clock.createTimer();
    auto other = clock.createTimer();
    int outerTicks = 0;
    int otherTicks = 0;
    outer->setInterval(10);
    other->setInterval(100);
    outer->onTick = [&] {
        ++outerTicks;
        const double until = clock.Now() + 1.0;
        while (clock.Now() < until) clock.WaitForEvents(until);
    };
    other->onTick = [&] { ++otherTicks; };
    outer->setEnabled(true);
    other->setEnabled(true);
    clock.advance(0.015);
    EXPECT_EQ(outerTicks, 1);
    EXPECT_GE(otherTicks, 9);
}

TEST(VirtualClock, DisabledTimerStaysQuietAndRestartingResetsItsInterval) {
    VirtualClock clock;
    auto t = clock.createTimer();
    int ticks = 0;
    t->setInterval(60000);
    t->onTick = [&] { ++ticks; };
    t->setEnabled(true);
    clock.advance(59);
    t->setEnabled(true);  // switched on again: a full minute from now
    clock.advance(59);
    EXPECT_EQ(ticks, 0);
    clock.advance(1);
    EXPECT_EQ(ticks, 1);
    t->setEnabled(false);
    clock.advance(600);
    EXPECT_EQ(ticks, 1);
}

TEST(RandomPick, AlwaysInRangeAndCoversEveryIndex) {
    VirtualClock clock(0.0);
    std::vector<int> seen(7, 0);
    for (int i = 0; i < 5000; ++i) {
        clock.advance(0.37);
        const int pick = randomPick(clock, 7);
        ASSERT_GE(pick, 0);
        ASSERT_LT(pick, 7);
        ++seen[pick];
    }
    for (int count : seen) EXPECT_GT(count, 500);
    EXPECT_EQ(randomPick(clock, 0), -1);
    EXPECT_EQ(randomPick(clock, 1), 0);
}

// Real time is what is under test here: a paced clock never gets ahead of it.
TEST(VirtualClockPacing, TimeNeverRunsAheadOfTheRealClock) {
    melodrop::VirtualClock clock;
    clock.advance(3600);  // before pacing: instant
    clock.paceToRealTime();
    const auto started = std::chrono::steady_clock::now();
    clock.advance(0.05);
    // A wait may end early to pump (as for an event); its callers wait again.
    const double until = clock.Now() + 0.05;
    while (clock.Now() < until) clock.WaitForEvents(until);
    EXPECT_GE(std::chrono::steady_clock::now() - started, std::chrono::milliseconds(100));
    EXPECT_NEAR(clock.Now(), 3600.1, 1e-9);
}

// ... nor falls behind it: real time spent between advances is made up, with the timers of that
// time fired.
TEST(VirtualClockPacing, AnAdvanceCatchesUpWithTheRealClock) {
    melodrop::VirtualClock clock;
    clock.paceToRealTime();
    const double start = clock.Now();
    int ticks = 0;
    auto timer = clock.createTimer();
    timer->onTick = [&] { ++ticks; };
    timer->setInterval(10);
    timer->setEnabled(true);
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    clock.advance(0.001);
    EXPECT_GE(clock.Now() - start, 0.1);
    EXPECT_GE(ticks, 10);
}

// ... and pumps while it waits: word that comes in the middle of a long advance is taken then,
// and what it sets off (a timer due at once) runs then too.
TEST(VirtualClockPacing, ALongAdvancePumpsAsItGoes) {
    melodrop::VirtualClock clock;
    clock.paceToRealTime();
    const double start = clock.Now();
    auto timer = clock.createTimer();
    double firedAt = -1;
    timer->onTick = [&] {
        firedAt = clock.Now() - start;
        timer->setEnabled(false);
    };
    timer->setInterval(0);
    bool armed = false;
    clock.addPumpHook([&] {
        if (!armed && clock.Now() - start >= 0.05) {
            armed = true;
            timer->setEnabled(true);
        }
    });
    clock.advance(0.3);
    EXPECT_TRUE(armed);
    EXPECT_GE(firedAt, 0.05);
    EXPECT_LT(firedAt, 0.1);
}
