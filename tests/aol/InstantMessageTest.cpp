// Instant messages against the simulated client.
#include "AolTestSupport.h"
#include "aol/ClientWindows.h"

namespace aol::testing {
namespace {

class InstantMessages : public AolTest {
protected:
    InstantMessages() {
        client.signOn("Bob");
        client.openRoom("Lobby");
    }
    std::string textPutInto(const std::string& windowClass) const {
        for (const auto& m : client.messageLog()) {
            if (m.message == kWmSetText && m.windowClass == windowClass) return m.text;
        }
        return "<none>";
    }
};

TEST_F(InstantMessages, ClicksTheNinthIcon) {
    client.setSendWindowNeverCloses(true);  // keep the window to look at
    client.setClock([this] { return pump.now; });
    client.setCloseDelay(60.0);
    QuartzlineLimits limits;
    limits.instantMessageSeconds = 0.5;
    limits.closeSeconds = 0.5;
    q.setLimits(limits);
    q.InstantMessage("Alice", "x");
    Hwnd clicked = 0;
    for (const auto& m : client.messageLog()) {
        if (m.message == kWmLButtonDown) clicked = m.window;
    }
    ASSERT_NE(clicked, 0u);
    char caption[32] = {};
    client.GetWindowTextA(clicked, caption, sizeof caption);
    EXPECT_STREQ(caption, "Send");
}

TEST_F(InstantMessages, IMsOffWithoutAlert) {
    q.IMsOff();
    EXPECT_FALSE(client.imsReceptionOn());
    EXPECT_EQ(client.keywords(), std::vector<std::string>{"aol://9293:$IM_OFF"});
    EXPECT_EQ(textPutInto("RICHCNTL"), "quartzline ims off");
    EXPECT_FALSE(client.isSendWindowOpen());
    EXPECT_EQ(postedCount(), 0);  // the window closed by itself: nothing more is done
    EXPECT_TRUE(client.instantMessagesSent().empty());
}

TEST_F(InstantMessages, IMsOffWithAlert) {
    client.setImSwitchShowsAlert(true);
    q.IMsOff();
    EXPECT_FALSE(client.imsReceptionOn());
    EXPECT_FALSE(client.isAlertShowing());  // pressed until it has gone
    EXPECT_EQ(count("Button", kWmKeyDown, true), 1);
    EXPECT_EQ(count("Button", kWmKeyUp, true), 1);
    EXPECT_EQ(count("AOL Child", kWmClose, true), 1);
    for (const auto& m : client.messageLog()) {
        if (m.windowClass == "Button") {
            EXPECT_EQ(m.wParam, 0x20u);
        }
    }
    client.deliverPosted();
    EXPECT_FALSE(client.isSendWindowOpen());
}

TEST_F(InstantMessages, WaitsUntilTheSendWindowItClosedHasGone) {
    client.setImSwitchShowsAlert(true);  // the module closes the send window itself
    client.setClock([this] { return pump.now; });
    client.setCloseDelay(0.5);  // a client that takes its time
    q.IMsOff();
    EXPECT_FALSE(client.isSendWindowOpen());
    EXPECT_GE(pump.now, 0.5);
    client.setCloseDelay(60.0);  // one that takes longer than the bound
    const double started = pump.now;
    q.IMsOn();
    EXPECT_TRUE(client.isSendWindowOpen());
    EXPECT_GE(pump.now - started, QuartzlineLimits{}.closeSeconds);
    EXPECT_LT(pump.now - started, QuartzlineLimits{}.closeSeconds + 0.1);
}

TEST_F(InstantMessages, AnAlertStillBeingBuiltIsPressedAgainUntilItHasGone) {
    client.setPostDelay(0.05, [this] { return pump.now; });
    client.setImSwitchShowsAlert(true);
    q.IMsOff();
    EXPECT_FALSE(client.isAlertShowing());
    EXPECT_EQ(count("Button", kWmKeyDown, true), 2);  // the first press was lost
    q.TimeOut(0.1);
    EXPECT_FALSE(client.isSendWindowOpen());
}

TEST_F(InstantMessages, AnAlertThatNeverGoesIsLeftAfterTheBound) {
    client.setImSwitchShowsAlert(true);
    QuartzlineLimits limits;
    limits.alertSeconds = 1.0;
    q.setLimits(limits);
    pump.onPump = [&] {
        if (client.isAlertShowing()) client.setHung(true);  // no press will ever act
    };
    q.IMsOff();
    EXPECT_LT(pump.now, 1.5 + QuartzlineLimits{}.closeSeconds);  // the send window's close too
    EXPECT_GE(count("Button", kWmKeyDown, true), 4);  // pressed again and again meanwhile
    pump.onPump = nullptr;
    client.setHung(false);
}

TEST_F(InstantMessages, ASendWindowThatNeverOpensDoesNotHang) {
    client.setSendWindowNeverOpens(true);
    q.InstantMessage("Alice", "x");
    EXPECT_GE(pump.now, QuartzlineLimits{}.instantMessageSeconds);
    EXPECT_LT(pump.now, QuartzlineLimits{}.instantMessageSeconds + 0.1);
    EXPECT_EQ(countMessage(kWmLButtonDown), 0);
    EXPECT_FALSE(client.isSendWindowOpen());
}

TEST_F(InstantMessages, ASendWindowThatNeverClosesIsClosedAfterTheBound) {
    client.setSendWindowNeverCloses(true);
    QuartzlineLimits limits;
    limits.instantMessageSeconds = 3.0;
    q.setLimits(limits);
    q.InstantMessage("Alice", "x");
    EXPECT_GE(pump.now, 3.0);
    EXPECT_LT(pump.now, 3.1);
    EXPECT_FALSE(client.isSendWindowOpen());
}

TEST_F(InstantMessages, ASendWindowOpeningLateIsStillUsed) {
    client.setSendWindowNeverOpens(true);
    pump.at(1.0, [&] {
        // The client gets round to opening the window a second late: the keyword again.
        client.setSendWindowNeverOpens(false);
        const Hwnd edit = client::KeywordBox(client);
        const std::string keyword = "aol://9293:Alice";
        client.send(edit, kWmSetText, 0, reinterpret_cast<std::intptr_t>(keyword.c_str()));
        client.send(edit, kWmChar, 0x0D, 0);
    });
    q.InstantMessage("Alice", "late");
    ASSERT_EQ(client.instantMessagesSent().size(), 1u);
    EXPECT_EQ(client.instantMessagesSent()[0].text, "late");
    EXPECT_LT(pump.now, 1.1);
}

TEST_F(InstantMessages, NoClientReturnsAtOnce) {
    client.quit();
    q.InstantMessage("Alice", "x");
    q.IMsOff();
    EXPECT_EQ(pump.now, 0.0);
}

}  // namespace
}  // namespace aol::testing
