// When the scanners look at the room: one timer for all of them, fast while the room is lively,
// slow and coarse when it is quiet, and only on the client's word where it tells of changes.
#include "chat/TranscriptWatch.h"

#include <gtest/gtest.h>

#include <vector>

#include "aol/sim/SimClient.h"
#include "base/VirtualClock.h"
#include "chat/TranscriptChatScanner.h"

namespace melodrop {
namespace {

// The virtual clock, counting the ticks of every timer made through it (each one a wake-up of a
// real program).
class CountingClock : public Clock {
public:
    explicit CountingClock(VirtualClock& inner) : inner_(inner) {}
    double Now() override { return inner_.Now(); }
    void PumpEvents() override { inner_.PumpEvents(); }
    void WaitForEvents(double deadline) override { inner_.WaitForEvents(deadline); }
    double secondsSinceMidnight() override { return inner_.secondsSinceMidnight(); }
    std::unique_ptr<Timer> createTimer() override {
        ++timersMade;
        return std::make_unique<Counted>(*this, inner_.createTimer());
    }

    int ticks = 0;
    int timersMade = 0;

private:
    class Counted : public Timer {
    public:
        Counted(CountingClock& owner, std::unique_ptr<Timer> inner)
            : owner_(owner), inner_(std::move(inner)) {
            inner_->onTick = [this] {
                ++owner_.ticks;
                if (onTick) onTick();
            };
        }
        void setInterval(int ms) override { inner_->setInterval(ms); }
        int interval() const override { return inner_->interval(); }
        void setEnabled(bool on) override { inner_->setEnabled(on); }
        bool isEnabled() const override { return inner_->isEnabled(); }

    private:
        CountingClock& owner_;
        std::unique_ptr<Timer> inner_;
    };
    VirtualClock& inner_;
};

class Watch : public ::testing::Test {
protected:
    Watch() {
        clock.addPumpHook([this] { client.deliverPosted(); });
        client.signOn("Bob");
        client.openRoom("Lobby");
        client.memberJoins("Alice");
        for (TranscriptChatScanner* s : {&commands, &autoIgnore})
            QObject::connect(
                s, &ChatScanner::ChatLine, s, [this, s](const QString&, const QString& text) {
                    heard.push_back(
                        {s == &commands ? "commands" : "autoignore", text, clock.Now()});
                });
    }
    struct Heard {
        const char* by;
        QString text;
        double at;
    };
    // Seconds from `since` until `text` was heard by the command scanner; -1 if never.
    double heardAfter(const QString& text, double since) const {
        for (const Heard& h : heard)
            if (h.text == text && std::string(h.by) == "commands") return h.at - since;
        return -1;
    }

    aol::sim::SimClient client;
    VirtualClock clock;
    CountingClock counting{clock};
    TranscriptWatch watch{counting};
    TranscriptChatScanner commands{client, watch};
    TranscriptChatScanner autoIgnore{client, watch};
    std::vector<Heard> heard;
};

TEST_F(Watch, NoTimerRunsWhileNoScannerIsOn) {
    EXPECT_EQ(watch.currentInterval(), -1);
    clock.advance(10);
    EXPECT_EQ(counting.ticks, 0);
    commands.ScanOn();
    EXPECT_EQ(watch.currentInterval(), TranscriptWatch::kFastMilliseconds);
    commands.ScanOff();
    EXPECT_EQ(watch.currentInterval(), -1);
}

TEST_F(Watch, PollsFastWhileLivelyThenSlowAndCoarseWhenQuiet) {
    commands.ScanOn();
    autoIgnore.ScanOn();
    clock.advance(1.0);
    EXPECT_EQ(watch.currentInterval(), TranscriptWatch::kFastMilliseconds);
    EXPECT_FALSE(watch.isCoarse());
    clock.advance(TranscriptWatch::kFastSeconds);
    EXPECT_EQ(watch.currentInterval(), TranscriptWatch::kSlowMilliseconds);
    EXPECT_TRUE(watch.isCoarse());

    // Quiet: one timer for both scanners, at most 4 wake-ups a second.
    counting.ticks = 0;
    clock.advance(10.0);
    EXPECT_LE(counting.ticks, 40);
    EXPECT_GE(counting.ticks, 39);

    // The first line is seen at the next slow poll, and from it on the poll is fast again.
    double at = clock.Now();
    client.memberSays("Alice", "wake up");
    clock.advance(0.3);
    const double first = heardAfter(QStringLiteral("wake up"), at);
    ASSERT_GE(first, 0);
    EXPECT_LE(first, TranscriptWatch::kSlowMilliseconds / 1000.0 + 1e-9);
    EXPECT_EQ(watch.currentInterval(), TranscriptWatch::kFastMilliseconds);
    EXPECT_FALSE(watch.isCoarse());
    for (int i = 0; i < 5; ++i) {
        clock.advance(0.4);  // within the fast period after the last line
        at = clock.Now();
        const QString text = QStringLiteral("line %1").arg(i);
        client.userTypes(text.toStdString());
        clock.advance(0.03);
        const double after = heardAfter(text, at);
        ASSERT_GE(after, 0);
        EXPECT_LE(after, TranscriptWatch::kFastMilliseconds / 1000.0 + 1e-9);
    }
    // Both scanners heard everything, in the same order.
    std::vector<QString> byCommands, byAutoIgnore;
    for (const Heard& h : heard)
        (std::string(h.by) == "commands" ? byCommands : byAutoIgnore).push_back(h.text);
    EXPECT_EQ(byCommands.size(), 6u);
    EXPECT_EQ(byCommands, byAutoIgnore);
}

// A real client's quiet interval: a user's first line after a quiet spell comes back within it,
// and the quiet poll stays coarse.
TEST_F(Watch, AQuietIntervalOfItsOwnForAClientThatMustBePolled) {
    watch.setQuietInterval(TranscriptWatch::kResponsiveSlowMilliseconds);
    commands.ScanOn();
    clock.advance(TranscriptWatch::kFastSeconds + 1.0);
    EXPECT_EQ(watch.currentInterval(), TranscriptWatch::kResponsiveSlowMilliseconds);
    EXPECT_TRUE(watch.isCoarse());
    const double at = clock.Now();
    client.userTypes("after the quiet");
    clock.advance(0.2);
    const double after = heardAfter(QStringLiteral("after the quiet"), at);
    ASSERT_GE(after, 0);
    EXPECT_LE(after, TranscriptWatch::kResponsiveSlowMilliseconds / 1000.0 + 1e-9);
    EXPECT_EQ(watch.currentInterval(), TranscriptWatch::kFastMilliseconds);
    // Nothing faster than the fast interval.
    watch.setQuietInterval(1);
    clock.advance(TranscriptWatch::kFastSeconds + 1.0);
    EXPECT_EQ(watch.currentInterval(), TranscriptWatch::kFastMilliseconds);
}

TEST_F(Watch, ScanOnStartsTheFastInterval) {
    commands.ScanOn();
    clock.advance(10.0);
    ASSERT_EQ(watch.currentInterval(), TranscriptWatch::kSlowMilliseconds);
    commands.ScanOff();
    commands.ScanOn();
    EXPECT_EQ(watch.currentInterval(), TranscriptWatch::kFastMilliseconds);
}

TEST_F(Watch, WithChangeNotificationsNothingWakesWhileTheRoomIsQuiet) {
    client.addChangeListener(watch.changeListener());
    EXPECT_TRUE(watch.followsChanges());
    commands.ScanOn();
    autoIgnore.ScanOn();
    counting.ticks = 0;
    clock.advance(60.0);
    EXPECT_EQ(counting.ticks, 0);
    EXPECT_EQ(watch.currentInterval(), -1);

    // A line is heard at the next turn of the event loop, by both scanners, with one look.
    const double at = clock.Now();
    client.memberSays("Alice", "hi there");
    clock.advance(0.01);
    EXPECT_LE(heardAfter(QStringLiteral("hi there"), at), 0.001 + 1e-9);
    ASSERT_EQ(heard.size(), 2u);
    EXPECT_LE(counting.ticks, 2);
    const int ticks = counting.ticks;
    clock.advance(60.0);
    EXPECT_EQ(counting.ticks, ticks);
}

TEST_F(Watch, ChangeListenerOutlivingTheWatchDoesNothing) {
    auto watchOfItsOwn = std::make_unique<TranscriptWatch>(clock);
    client.addChangeListener(watchOfItsOwn->changeListener());
    watchOfItsOwn.reset();
    client.memberSays("Alice", "after the watch");  // calls the listener
    clock.advance(0.1);
    SUCCEED();
}

TEST_F(Watch, ChangesWhileOffAreNotReportedLater) {
    client.addChangeListener(watch.changeListener());
    client.memberSays("Alice", "before");
    clock.advance(0.1);
    EXPECT_EQ(counting.ticks, 0);  // nobody scans: nothing to look at
    commands.ScanOn();
    clock.advance(0.1);
    client.memberSays("Alice", "after");
    clock.advance(0.1);
    ASSERT_EQ(heard.size(), 1u);
    EXPECT_EQ(heard[0].text, QStringLiteral("after"));
}

// A handler that waits (pumping events, as the chat-client module does) does not hold lines up:
// neither the other scanner's nor its own scanner's; its own come after the rest of its batch.
TEST_F(Watch, LinesArrivingWhileAHandlerWaitsAreDeliveredInsideTheWait) {
    for (bool notifications : {false, true}) {
        SCOPED_TRACE(notifications ? "change notifications" : "polling");
        aol::sim::SimClient room;
        room.signOn("Bob");
        room.openRoom("Lobby");
        room.memberJoins("Alice");
        TranscriptWatch w{clock};
        if (notifications) room.addChangeListener(w.changeListener());
        TranscriptChatScanner s{room, w};
        std::vector<QString> order;
        double waitEnded = -1;
        // The user types a line 0.2 s into the wait.
        const auto typist = clock.createTimer();
        typist->setInterval(200);
        typist->onTick = [&] {
            typist->setEnabled(false);
            room.userTypes("during");
        };
        QObject::connect(&s, &ChatScanner::ChatLine, &s, [&](const QString&, const QString& text) {
            order.push_back(text);
            if (text != QStringLiteral("wait")) return;
            typist->setEnabled(true);
            const double until = clock.Now() + 1.0;
            while (clock.Now() < until) clock.WaitForEvents(until);
            order.push_back(QStringLiteral("wait ended"));
            waitEnded = clock.Now();
        });
        s.ScanOn();
        room.userTypes("wait");
        room.memberSays("Alice", "queued behind");
        clock.advance(2.0);
        EXPECT_EQ(order, (std::vector<QString>{"wait", "queued behind", "during", "wait ended"}));
        EXPECT_GT(waitEnded, 0);
    }
}

}  // namespace
}  // namespace melodrop
