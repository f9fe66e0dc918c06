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
            if (m.message == WM_SETTEXT && m.windowClass == windowClass) return m.text;
        }
        return "<none>";
    }
};

TEST_F(InstantMessages, SendsThroughTheClientsSendWindow) {
    q.InstantMessage("Alice", "hi there \u2022");
    ASSERT_EQ(client.instantMessagesSent().size(), 1u);
    EXPECT_EQ(client.instantMessagesSent()[0].to, "Alice");
    EXPECT_EQ(client.instantMessagesSent()[0].text, "hi there \u2022");
    EXPECT_EQ(client.keywords(), std::vector<std::string>{"aol://9293:Alice"});
    EXPECT_FALSE(client.isSendWindowOpen());
    EXPECT_FALSE(client.isAlertShowing());
    EXPECT_EQ(postedCount(), 0);
}

TEST_F(InstantMessages, ClicksTheNinthIcon) {
    client.setSendWindowNeverCloses(true);  // keep the window to look at
    QuartzlineLimits limits;
    limits.instantMessageSeconds = 0.5;
    q.setLimits(limits);
    q.InstantMessage("Alice", "x");
    Hwnd clicked = 0;
    for (const auto& m : client.messageLog()) {
        if (m.message == WM_LBUTTONDOWN) clicked = m.window;
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
    EXPECT_TRUE(client.isAlertShowing());  // posted messages not delivered yet
    EXPECT_EQ(count("Button", WM_KEYDOWN, true), 1);
    EXPECT_EQ(count("Button", WM_KEYUP, true), 1);
    EXPECT_EQ(count("AOL Child", WM_CLOSE, true), 1);
    for (const auto& m : client.messageLog()) {
        if (m.windowClass == "Button") {
            EXPECT_EQ(m.wParam, 0x20u);
        }
    }
    client.deliverPosted();
    EXPECT_FALSE(client.isAlertShowing());
    EXPECT_FALSE(client.isSendWindowOpen());
}

TEST_F(InstantMessages, IMsOnSwitchesReceptionBackOn) {
    q.IMsOff();
    q.IMsOn();
    EXPECT_TRUE(client.imsReceptionOn());
    EXPECT_EQ(client.keywords(),
              (std::vector<std::string>{"aol://9293:$IM_OFF", "aol://9293:$IM_ON"}));
    EXPECT_EQ(textPutInto("RICHCNTL"), "quartzline ims off");
}

TEST_F(InstantMessages, AMemberWhoCannotReceiveGetsTheAlertDismissed) {
    client.setCannotReceiveIMs("Away Guy", true);
    q.InstantMessage("awayguy", "hello?");
    client.deliverPosted();
    EXPECT_EQ(client.alertsShown(), 1);
    EXPECT_FALSE(client.isAlertShowing());
    EXPECT_FALSE(client.isSendWindowOpen());
    EXPECT_TRUE(client.instantMessagesSent().empty());
}

TEST_F(InstantMessages, ASendWindowThatNeverOpensDoesNotHang) {
    client.setSendWindowNeverOpens(true);
    q.InstantMessage("Alice", "x");
    EXPECT_GE(pump.now, QuartzlineLimits{}.instantMessageSeconds);
    EXPECT_LT(pump.now, QuartzlineLimits{}.instantMessageSeconds + 0.1);
    EXPECT_EQ(countMessage(WM_LBUTTONDOWN), 0);
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
    EXPECT_TRUE(client.isSendWindowOpen());
    client.deliverPosted();
    EXPECT_FALSE(client.isSendWindowOpen());
}

TEST_F(InstantMessages, ASendWindowOpeningLateIsStillUsed) {
    client.setSendWindowNeverOpens(true);
    pump.at(1.0, [&] {
        // The client gets round to opening the window a second late: the keyword again.
        client.setSendWindowNeverOpens(false);
        const Hwnd edit = client::KeywordBox(client);
        const std::string keyword = "aol://9293:Alice";
        client.SendMessageA(edit, WM_SETTEXT, 0, reinterpret_cast<std::intptr_t>(keyword.c_str()));
        client.SendMessageA(edit, WM_CHAR, 0x0D, 0);
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
