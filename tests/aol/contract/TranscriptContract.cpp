// The transcript as the chat scanner reads it from a client: every new line, in order, the
// user's own included, read from the control's contents.
#include "ContractFixture.h"
#include "aol/TranscriptReader.h"

namespace aol::contract {
namespace {

using Strings = std::vector<std::string>;

Strings Flat(const std::vector<TranscriptLine>& lines) {
    Strings out;
    for (const auto& l : lines) out.push_back(l.screenName + "|" + l.text);
    return out;
}

TEST_P(ClientContract, TheReaderSeesEveryNewLineInOrder) {
    enterLobby();
    client.memberSays("Alice", "before");
    TranscriptReader reader(client.windows());
    reader.Reset();
    EXPECT_TRUE(reader.ReadNew().empty());
    client.memberSays("Alice", "one");
    client.userTypes("two", true);
    client.memberSays("Zo\u00EB", "caf\u00E9 \u2022 time:\t12:00");
    q.ChatSend("four");
    EXPECT_EQ(
        Flat(reader.ReadNew()),
        (Strings{"Alice|one", "Bob|two", "Zo\u00EB|caf\u00E9 \u2022 time:\t12:00", "Bob|four"}));
    EXPECT_TRUE(reader.ReadNew().empty());
}

TEST_P(ClientContract, TheReaderFollowsThePrivateRoom) {
    enterLobby();
    client.memberSays("Alice", "old lobby line");
    TranscriptReader reader(client.windows());
    reader.Reset();
    q.PrivateRoom("hideout");
    settle();
    client.userTypes("in private", true);
    EXPECT_EQ(Flat(reader.ReadNew()), Strings{"Bob|in private"});
}

TEST_P(ClientContract, ALongTranscriptIsReadWhole) {
    enterLobby();
    TranscriptReader reader(client.windows());
    reader.Reset();
    const std::string longText(6000, 'x');
    for (int i = 0; i < 20; ++i) client.memberSays("Alice", std::to_string(i) + longText);
    const auto lines = reader.ReadNew();
    ASSERT_EQ(lines.size(), 20u);
    EXPECT_EQ(lines.back().text, "19" + longText);
}

}  // namespace
}  // namespace aol::contract
