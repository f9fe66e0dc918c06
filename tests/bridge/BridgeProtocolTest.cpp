// The bridge protocol: every request and answer survives encoding, and whatever a peer sends
// that is not a well-formed request is refused as a whole.
#include "bridge/protocol/BridgeProtocol.h"

#include <gtest/gtest.h>

#include "aol/WindowSystem.h"
#include "bridge/protocol/Handshake.h"

namespace bridge {
namespace {

Request Sample(Op op) {
    Request r;
    r.op = op;
    r.version = kProtocolVersion;
    r.nonce = std::string(kNonceBytes, 'n');
    r.proof = std::string(sizeof(Digest), 'p');
    r.window = 0x10010;
    r.after = 0x10020;
    r.className = "AOL Child";
    r.caption = std::string("Caf\xE9", 4);
    r.message = aol::kLbGetItemData;
    r.wParam = 3;
    r.flags = aol::kSmtoAbortIfHung;
    r.timeoutMs = 2000;
    r.text = std::string("line\0with nul", 13);
    r.size = 64;
    r.access = aol::kProcessReadAccess;
    r.inherit = false;
    r.processId = 0xF3C;
    r.handle = 7;
    r.address = 0x1A40018;
    r.known = {{0x10010, 0x1234567890ABCDEFULL}, {0x10040, 1}};
    return r;
}

TEST(BridgeProtocol, EveryRequestSurvivesEncoding) {
    for (int op = 0; op <= static_cast<int>(kLastOp); ++op) {
        const Request sent = Sample(static_cast<Op>(op));
        const auto got = ParseRequest(EncodeRequest(sent));
        ASSERT_TRUE(got) << "op " << op;
        EXPECT_EQ(got->op, sent.op);
        EXPECT_EQ(EncodeRequest(*got), EncodeRequest(sent)) << "op " << op;
    }
    Request noNames = Sample(Op::FindWindow);
    noNames.className.reset();
    noNames.caption.reset();
    const auto got = ParseRequest(EncodeRequest(noNames));
    ASSERT_TRUE(got);
    EXPECT_FALSE(got->className);
    EXPECT_FALSE(got->caption);
}

TEST(BridgeProtocol, AnswersSurviveEncoding) {
    Answer a;
    a.ok = true;
    a.value = -1;
    a.processId = 0xF3C;
    a.bytes = std::string("\x00\x01\xFFtext", 7);
    a.rooms = {{0x10010, true, "Bob:\thi"}, {0x10040, false, ""}};
    a.version = kProtocolVersion;
    a.nonce = std::string(kNonceBytes, 'n');
    a.proof = std::string(sizeof(Digest), 'p');
    for (int op = 0; op <= static_cast<int>(kLastOp); ++op) {
        const auto back = ParseAnswer(static_cast<Op>(op), EncodeAnswer(static_cast<Op>(op), a));
        ASSERT_TRUE(back) << "op " << op;
        EXPECT_EQ(EncodeAnswer(static_cast<Op>(op), *back), EncodeAnswer(static_cast<Op>(op), a));
    }
}

TEST(BridgeProtocol, MalformedRequestsAreRefused) {
    const std::string good = EncodeRequest(Sample(Op::SendGetText));
    // Cut short anywhere, or with bytes left over.
    for (std::size_t n = 0; n < good.size(); ++n) {
        EXPECT_FALSE(ParseRequest(good.substr(0, n))) << "cut at " << n;
    }
    EXPECT_FALSE(ParseRequest(good + "x"));
    // Unknown operation.
    EXPECT_FALSE(ParseRequest(std::string(1, static_cast<char>(static_cast<int>(kLastOp) + 1))));
    EXPECT_FALSE(ParseRequest(std::string(1, '\xFF')));
    // Wrong magic in Hello.
    std::string hello = EncodeRequest(Sample(Op::Hello));
    hello[1] = 'X';
    EXPECT_FALSE(ParseRequest(hello));
    // A boolean that is neither 0 nor 1.
    std::string open = EncodeRequest(Sample(Op::OpenProcess));
    open[5] = 2;
    EXPECT_FALSE(ParseRequest(open));
}

TEST(BridgeProtocol, LimitsAreEnforced) {
    Request r = Sample(Op::ReadProcessMemory);
    r.size = kMaxReadBytes + 1;
    EXPECT_FALSE(ParseRequest(EncodeRequest(r)));
    r = Sample(Op::SendMessage);
    r.timeoutMs = kMaxTimeoutMs + 1;
    EXPECT_FALSE(ParseRequest(EncodeRequest(r)));
    r = Sample(Op::FindWindow);
    r.className = std::string(kMaxNameBytes + 1, 'c');
    EXPECT_FALSE(ParseRequest(EncodeRequest(r)));
    r = Sample(Op::Hello);
    r.nonce = std::string(kNonceBytes + 1, 'n');
    EXPECT_FALSE(ParseRequest(EncodeRequest(r)));
    r = Sample(Op::Prove);
    r.proof.pop_back();
    EXPECT_FALSE(ParseRequest(EncodeRequest(r)));
    r = Sample(Op::ReadRoomTexts);
    r.known.assign(kMaxKnownRooms + 1, KnownRoom{});
    EXPECT_FALSE(ParseRequest(EncodeRequest(r)));
    // A length that claims more bytes than there are.
    std::string find = EncodeRequest(Sample(Op::FindWindow));
    find[2] = '\x7F';
    EXPECT_FALSE(ParseRequest(find));
}

// melodrop takes in no more than it asked for: a text or memory read within its buffer, the
// rooms' transcripts within one read of the module's, and no frame larger than AnswerLimit.
TEST(BridgeProtocol, AnAnswerCarriesNoMoreThanItsRequestAskedFor) {
    struct Case {
        Op op;
        std::uint32_t size;
        std::size_t fits;  // the most bytes an answer may carry
    };
    for (const Case& c : {Case{Op::GetWindowText, 16, 15}, Case{Op::SendGetText, 64, 63},
                          Case{Op::ReadProcessMemory, 16, 16}}) {
        Request r = Sample(c.op);
        r.size = c.size;
        Answer a;
        a.bytes.assign(c.fits, 'b');
        const std::string fits = EncodeAnswer(c.op, a);
        EXPECT_TRUE(ParseAnswer(r, fits)) << "op " << static_cast<int>(c.op);
        EXPECT_EQ(AnswerMessage(c.op, a).size(), AnswerLimit(r));
        a.bytes += 'b';
        EXPECT_FALSE(ParseAnswer(r, EncodeAnswer(c.op, a))) << "op " << static_cast<int>(c.op);
    }
    Answer rooms;
    rooms.rooms = {{1, true, std::string(kMaxRoomTextsBytes / 2, 'x')},
                   {2, true, std::string(kMaxRoomTextsBytes / 2 + 1, 'y')}};
    EXPECT_FALSE(ParseAnswer(Sample(Op::ReadRoomTexts), EncodeAnswer(Op::ReadRoomTexts, rooms)));
    rooms.rooms[1].text.pop_back();
    EXPECT_TRUE(ParseAnswer(Sample(Op::ReadRoomTexts), EncodeAnswer(Op::ReadRoomTexts, rooms)));
    EXPECT_LE(AnswerLimit(Sample(Op::FindWindow)), 16u);
}

TEST(BridgeProtocol, TheBridgesFramesSayWhatTheyAre) {
    Answer a;
    a.value = 7;
    EXPECT_EQ(KindOf(AnswerMessage(Op::FindWindow, a)), Kind::Answer);
    EXPECT_EQ(KindOf(RoomsChangedMessage()), Kind::RoomsChanged);
    EXPECT_EQ(KindOf(ClientProcessMessage(42)), Kind::ClientProcess);
    EXPECT_EQ(ParseClientProcess(ClientProcessMessage(42)), 42u);
    EXPECT_FALSE(ParseClientProcess(ClientProcessMessage(42) + "x"));
    EXPECT_FALSE(KindOf(""));
    EXPECT_FALSE(KindOf("\x07"));
}

TEST(BridgeProtocol, FramesAreTakenWholeAndOversizedOnesRefused) {
    std::string buffer = Frame("one") + Frame("") + Frame("three");
    std::string message;
    const std::string tail = buffer.substr(buffer.size() - 3);
    buffer.resize(buffer.size() - 3);  // the last frame arrives in two parts
    EXPECT_EQ(TakeFrame(buffer, message, 100), 1);
    EXPECT_EQ(message, "one");
    EXPECT_EQ(TakeFrame(buffer, message, 100), 1);
    EXPECT_EQ(message, "");
    EXPECT_EQ(TakeFrame(buffer, message, 100), 0);
    buffer += tail;
    EXPECT_EQ(TakeFrame(buffer, message, 100), 1);
    EXPECT_EQ(message, "three");
    EXPECT_TRUE(buffer.empty());
    std::string big = Frame(std::string(101, 'x'));
    EXPECT_EQ(TakeFrame(big, message, 100), -1);
}

TEST(BridgeProtocol, OnlyTheModulesPlainMessagesMaySeeTheClient) {
    EXPECT_TRUE(IsAllowedMessage(aol::kBmGetCheck));
    EXPECT_TRUE(IsAllowedMessage(aol::kWmLButtonDblClk));
    EXPECT_FALSE(IsAllowedMessage(aol::kWmSetText));  // carries a pointer: its own request
    EXPECT_FALSE(IsAllowedMessage(aol::kWmGetText));
    EXPECT_FALSE(IsAllowedMessage(0x0011));  // WM_QUERYENDSESSION
    EXPECT_FALSE(IsAllowedMessage(0x004A));  // WM_COPYDATA
}

}  // namespace
}  // namespace bridge
