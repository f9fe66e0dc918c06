// Instant messages on a client, and the client's alert.
#include "ContractFixture.h"

namespace aol::contract {
namespace {

TEST_P(ClientContract, InstantMessageGoesThroughTheSendWindow) {
    enterLobby();
    q.InstantMessage("Alice", "hi there \u2022");
    settle();
    const std::vector<ReceivedIm> sent{{"Alice", "hi there \u2022"}};
    EXPECT_EQ(client.instantMessagesSent(), sent);
    EXPECT_EQ(client.keywords(), std::vector<std::string>{"aol://9293:Alice"});
    EXPECT_FALSE(client.isSendWindowOpen());
    EXPECT_FALSE(client.isAlertShowing());
}

TEST_P(ClientContract, IMsOffAndOnWithoutAlert) {
    enterLobby();
    q.IMsOff();
    settle();
    EXPECT_FALSE(client.imsReceptionOn());
    EXPECT_FALSE(client.isSendWindowOpen());
    q.IMsOn();
    settle();
    EXPECT_TRUE(client.imsReceptionOn());
    EXPECT_TRUE(client.instantMessagesSent().empty());
}

TEST_P(ClientContract, TheAlertIsDismissedEveryTime) {
    enterLobby();
    client.setImSwitchShowsAlert(true);
    client.setPostDelayMs(30);  // a client that takes its time to build the alert
    int dismissed = 0;
    constexpr int kRuns = 50;
    const auto over = [&] { return !client.isAlertShowing() && !client.isSendWindowOpen(); };
    for (int run = 0; run < kRuns; ++run) {
        q.IMsOff();
        const bool ok = eventually(over) && !client.imsReceptionOn();
        dismissed += ok ? 1 : 0;
        if (!ok) break;  // the rest would fail for the same reason
    }
    EXPECT_EQ(dismissed, kRuns);
}

TEST_P(ClientContract, AnAlertShownInsideTheClickIsDismissed) {
    enterLobby();
    client.setImSwitchShowsAlert(true);
    client.setModalAlerts(true);
    q.IMsOff();
    settle();
    EXPECT_FALSE(client.isAlertShowing());
    EXPECT_FALSE(client.isSendWindowOpen());
    EXPECT_FALSE(client.imsReceptionOn());
}

TEST_P(ClientContract, AMemberWhoCannotReceiveGetsTheAlertDismissed) {
    enterLobby();
    client.setPostDelayMs(50);
    client.setCannotReceiveIms("Away Guy");
    q.InstantMessage("awayguy", "hello?");
    settle();
    EXPECT_FALSE(client.isAlertShowing());
    EXPECT_FALSE(client.isSendWindowOpen());
    EXPECT_TRUE(client.instantMessagesSent().empty());
}

}  // namespace
}  // namespace aol::contract
