// Chat room operations on a client: sending lines, keywords, private rooms, ignoring members,
// and a client that stops answering.
#include "ContractFixture.h"

namespace aol::contract {
namespace {

using Strings = std::vector<std::string>;

TEST_P(ClientContract, ChatSendReplacesHalfTypedTextAndSendsTheLine) {
    enterLobby();
    client.userTypes("i was typ", false);
    EXPECT_EQ(client.inputBox(), "i was typ");
    q.ChatSend("<b>\u00B7\u00B7\u00F7\u2022 playing</b>");
    EXPECT_EQ(client.transcriptLines(), Strings{"Bob:\t<b>\u00B7\u00B7\u00F7\u2022 playing</b>"});
    EXPECT_EQ(client.inputBox(), "");
}

TEST_P(ClientContract, ChatSendWithNoRoomSendsNothing) {
    client.signOn("Bob");
    q.ChatSend("nobody hears");
    client.openRoom("Lobby");
    EXPECT_TRUE(client.transcriptLines().empty());
}

TEST_P(ClientContract, KeywordAndPrivateRoom) {
    enterLobby();
    q.Keyword("aol://1234");
    const double before = now();
    q.PrivateRoom("my room");
    EXPECT_GE(now() - before, 0.2);
    settle();
    EXPECT_EQ(client.keywords(), (Strings{"aol://1234", "aol://2719:2-2-my room"}));
    EXPECT_EQ(client.openRooms(), Strings{"my room"});
    EXPECT_EQ(q.GetCaption(q.FindRoom()), "my room");
    q.ChatSend("hi");
    EXPECT_EQ(client.transcriptLines(), Strings{"Bob:\thi"});
}

TEST_P(ClientContract, ChatIgnoreSwitchesTheBoxOnceEachTime) {
    enterLobby();
    tag = "off";
    q.ChatIgnore("carol");
    settle();
    EXPECT_TRUE(client.isIgnored("Carol"));
    EXPECT_FALSE(client.isIgnored("Alice"));
    EXPECT_FALSE(client.isMemberWindowOpen("Carol"));
    EXPECT_EQ(scanOns, 1);
    EXPECT_EQ(tag, "on");
    client.memberSays("Carol", "can you hear me");
    client.memberSays("Alice", "hi");
    EXPECT_EQ(client.transcriptLines(), Strings{"Alice:\thi"});

    q.ChatIgnore("CAROL");  // the same operation un-ignores
    settle();
    EXPECT_FALSE(client.isIgnored("Carol"));
    EXPECT_FALSE(client.isMemberWindowOpen("Carol"));
}

TEST_P(ClientContract, ChatIgnoreOnASlowClient) {
    enterLobby();
    client.setPostDelayMs(150);
    q.ChatIgnore("SpAmMeR");
    settle();
    EXPECT_TRUE(client.isIgnored("SpAmMeR"));
    q.ChatIgnore("spammer");
    settle();
    EXPECT_FALSE(client.isIgnored("SpAmMeR"));
}

TEST_P(ClientContract, ChatIgnoreActsOnlyOnTheWindowItOpened) {
    enterLobby();
    client.userOpensMemberWindow("Alice");  // the user is looking at Alice
    ASSERT_TRUE(client.isMemberWindowOpen("Alice"));
    client.setPostDelayMs(50);
    q.ChatIgnore("carol");
    settle();
    EXPECT_TRUE(client.isIgnored("Carol"));
    EXPECT_FALSE(client.isIgnored("Alice"));
    EXPECT_TRUE(client.isMemberWindowOpen("Alice"));  // the user's window is left alone
    EXPECT_FALSE(client.isMemberWindowOpen("Carol"));
}

TEST_P(ClientContract, ChatIgnoreOfTheUserOrSomeoneAbsentDoesNothing) {
    enterLobby();
    tag = "off";
    q.ChatIgnore("BOB");
    q.ChatIgnore("nobody");
    settle();
    EXPECT_FALSE(client.isIgnored("Bob"));
    EXPECT_EQ(scanOns, 0);  // nobody was acted on: the scanner is not restarted
    EXPECT_EQ(tag, "off");
}

TEST_P(ClientContract, AHungClientDoesNotHangTheProgram) {
    enterLobby();
    const int hangMs = 6000;
    client.hangFor(hangMs);
    const double started = now();
    q.ChatSend("while hung");
    EXPECT_LT(now() - started, hangMs / 1000.0 - 1.0);  // given up before the client recovered
    q.TimeOut(hangMs / 1000.0);                         // the client recovers
    q.ChatSend("after");
    EXPECT_EQ(client.transcriptLines(), Strings{"Bob:\tafter"});
}

}  // namespace
}  // namespace aol::contract
