// Windows of the client that close while the module walks over the MDI client's windows: the
// walk asks for the window after one that is gone, which Windows answers with 0 as at the end of
// the windows. Nothing the module does may be lost to that: no reply, no room, no line.
#include "ContractFixture.h"
#include "aol/TranscriptReader.h"

namespace aol::contract {
namespace {

using Strings = std::vector<std::string>;

// When a window goes, counted from the moment the module starts: kSteps steps of kStepMs. On the
// simulated client a step is one call of the module, so every moment of a walk is hit once; on
// real windows the steps spread over the first few tenths of a millisecond, a walk's length.
constexpr int kSteps = 20;
constexpr double kStepMs = 0.02;

std::string Last(const Strings& lines) {
    return lines.empty() ? std::string() : lines.back();
}

TEST_P(ClientContract, TheReplyAfterIMsOffArrivesWhileTheSendWindowClosesSlowly) {
    enterLobby();
    client.setImSwitchShowsAlert(true);  // the module then closes the send window itself
    Strings lost;
    int leftOpen = 0;
    for (int step = 1; step <= kSteps; ++step) {
        client.setCloseDelayMs(step * kStepMs);
        q.IMsOff();
        leftOpen += client.isSendWindowOpen() ? 1 : 0;  // InstantMessage waits until it has gone
        const std::string reply = "set ims off " + std::to_string(step);
        q.ChatSend(reply);
        if (Last(client.transcriptLines()) != "Bob:\t" + reply) lost.push_back(reply);
        ASSERT_TRUE(eventually([&] { return !client.isSendWindowOpen(); }));
    }
    EXPECT_EQ(lost, Strings{});
    EXPECT_EQ(leftOpen, 0);
    EXPECT_FALSE(client.isAlertShowing());
    EXPECT_FALSE(client.imsReceptionOn());
}

TEST_P(ClientContract, RepliesArriveWhileTheUserClosesAMemberWindow) {
    enterLobby();
    Strings lost;
    for (int i = 0; i < 5 * (kSteps + 1); ++i) {
        const int step = i % (kSteps + 1);
        client.userOpensMemberWindow("Alice");  // on top of the room
        client.userClosesMemberWindowIn("Alice", step * kStepMs);
        // Replies one after the other until the window has gone (closing one takes a while).
        for (int n = 0; n < 100; ++n) {
            const std::string reply = "reply " + std::to_string(i) + "." + std::to_string(n);
            q.ChatSend(reply);
            if (Last(client.transcriptLines()) != "Bob:\t" + reply) lost.push_back(reply);
            if (!client.isMemberWindowOpen("Alice")) break;
        }
        ASSERT_TRUE(eventually([&] { return !client.isMemberWindowOpen("Alice"); }));
    }
    EXPECT_EQ(lost, Strings{});
}

TEST_P(ClientContract, TheRoomIsFoundAndReadWhileAnotherWindowOpensAndClosesRepeatedly) {
    enterLobby();
    TranscriptReader reader(client.windows());
    reader.Reset();
    constexpr int kRounds = 1000;
    client.startDocumentChurn(kRounds);
    int round = 0;
    int wrongRounds = 0;
    Strings wrong;  // the first few
    const double deadline = now() + 120.0;
    while (client.churnRoundsLeft() > 0 && now() < deadline) {
        const std::string n = std::to_string(++round);
        client.memberSays("Alice", "line " + n);
        q.ChatSend("reply " + n);
        Strings read;
        for (const TranscriptLine& line : reader.ReadNew()) {
            read.push_back(line.screenName + "|" + line.text);
        }
        if (read != Strings{"Alice|line " + n, "Bob|reply " + n} && ++wrongRounds <= 5) {
            wrong.push_back("round " + n + ":");
            wrong.insert(wrong.end(), read.begin(), read.end());
        }
    }
    EXPECT_EQ(client.churnRoundsLeft(), 0);
    EXPECT_EQ(wrongRounds, 0) << "of " << round
                              << " rounds, the first: " << ::testing::PrintToString(wrong);
}

}  // namespace
}  // namespace aol::contract
