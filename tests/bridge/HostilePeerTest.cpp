// melodrop's side of the bridge against a peer that knows the token but misbehaves: slow answers,
// answers larger than asked for, words of change without end. Each case ends in bounded time,
// without taking in more than was asked for. (Real time: how long melodrop waits is what is
// tested. The bounds here are scaled down; bench/bridge_peer_bench measures the real ones.)
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <thread>

#include "aol/AolTestSupport.h"
#include "bridge/FakeBridgePeer.h"
#include "bridge/client/RemoteWindowSystem.h"
#include "bridge/service/Token.h"

namespace bridge {
namespace {

namespace fs = std::filesystem;
using testing::FakeBridgePeer;
using testing::PeerBehaviour;

double Seconds() {
    using namespace std::chrono;
    return duration<double>(steady_clock::now().time_since_epoch()).count();
}

class HostilePeer : public ::testing::Test {
protected:
    HostilePeer() {
        folder = fs::temp_directory_path() / ("melodrop-peer-test-" + std::to_string(getpid()));
        fs::create_directories(folder);
        fs::permissions(folder, fs::perms::owner_all, fs::perm_options::replace);
        tokenFile = (folder / kTokenFileName).string();
        std::string error;
        EXPECT_TRUE(WriteTokenFile(tokenFile, token, error)) << error;
    }
    ~HostilePeer() override {
        Stop();
        fs::remove_all(folder);
    }

    void Start(const PeerBehaviour& behaviour) {
        Stop();
        peer = std::make_unique<FakeBridgePeer>(token, behaviour);
        stop = false;
        serving = std::thread([this] { peer->Serve(stop); });
    }
    void Stop() {
        stop = true;
        if (serving.joinable()) serving.join();
    }

    aol::RemoteOptions Options() {
        aol::RemoteOptions options;
        options.port = peer->port();
        options.tokenFile = tokenFile;
        options.retrySeconds = 30;  // one connection per test
        return options;
    }

    std::string token = MakeToken();
    fs::path folder;
    std::string tokenFile;
    std::unique_ptr<FakeBridgePeer> peer;
    std::atomic<bool> stop{false};
    std::thread serving;
    aol::testing::FakePump pump;
};

TEST_F(HostilePeer, ASlowPeerHoldsTheProgramOnlyWithinItsBudgetAndIsDropped) {
    PeerBehaviour slow;
    slow.answerDelaySeconds = 0.5;
    Start(slow);
    aol::RemoteOptions options = Options();
    options.answerMarginMs = 250;
    options.blockedSeconds = 1.0;
    options.blockedWindowSeconds = 60;
    options.slowAnswerSeconds = 0.2;
    options.slowAnswers = 3;
    aol::RemoteWindowSystem remote(options);
    aol::Quartzline q(remote, pump);
    const double t0 = Seconds();
    q.ChatSend("hello");
    q.GetUser();
    q.RoomCount();
    EXPECT_LT(Seconds() - t0, 1.5);
    EXPECT_EQ(remote.status().state, aol::LinkState::Refused);
    EXPECT_NE(remote.status().text.find("answered 3 requests late"), std::string::npos)
        << remote.status().text;
    const double t1 = Seconds();
    EXPECT_EQ(remote.FindWindowA("AOL Frame25", nullptr), 0u);  // at once, as if no window
    EXPECT_LT(Seconds() - t1, 0.1);
}

TEST_F(HostilePeer, AnOperationsBudgetEndsTheWholeOperationThenCallsWorkAgain) {
    PeerBehaviour slow;
    slow.answerDelaySeconds = 0.15;
    Start(slow);
    aol::RemoteOptions options = Options();
    options.slowAnswerSeconds = 1.0;  // slow, but not so slow as to be dropped
    options.blockedSeconds = 60;
    aol::RemoteWindowSystem remote(options);
    aol::Quartzline q(remote, pump);
    aol::QuartzlineLimits limits;
    limits.operationSeconds = 0.5;
    q.setLimits(limits);
    ASSERT_NE(remote.FindWindowA("AOL Frame25", nullptr), 0u);
    const std::uint64_t before = remote.exchanges();
    const double t0 = Seconds();
    {
        const aol::OperationBudget command = q.Operation();  // a whole chat command
        q.ChatSend("hello");  // some ten requests: 1.5 s without a budget
        q.GetUser();
    }
    EXPECT_LT(Seconds() - t0, 0.9);
    EXPECT_LE(remote.exchanges() - before, 4u);
    EXPECT_NE(remote.FindWindowA("AOL Frame25", nullptr), 0u);  // the next operation is served
}

TEST_F(HostilePeer, AnswersLargerThanAskedForEndTheConnectionUnread) {
    struct Case {
        const char* what;
        PeerBehaviour behaviour;
        std::function<void(aol::RemoteWindowSystem&)> ask;
    };
    PeerBehaviour junk;
    junk.junkFrameBytes = 256u << 20;
    PeerBehaviour rooms;
    rooms.rooms = 3;
    rooms.roomTextBytes = 16u << 20;  // 48 MiB in all: more than one read of the module's
    PeerBehaviour caption;
    caption.captionBytes = 1000;
    const std::vector<Case> cases = {
        {"a frame of 256 MiB", junk,
         [](aol::RemoteWindowSystem& r) { EXPECT_EQ(r.FindWindowA("AOL Frame25", nullptr), 0u); }},
        {"rooms beyond the module's read", rooms,
         [](aol::RemoteWindowSystem& r) {
             std::vector<aol::RoomText> read;
             r.ReadRoomTexts(read);
             EXPECT_TRUE(read.empty());
         }},
        {"a caption longer than its buffer", caption,
         [](aol::RemoteWindowSystem& r) {
             char buffer[16] = {};
             EXPECT_EQ(r.GetWindowTextA(0x100, buffer, sizeof buffer), 0);
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Start(c.behaviour);
        aol::RemoteWindowSystem remote(Options());
        const double t0 = Seconds();
        c.ask(remote);
        EXPECT_LT(Seconds() - t0, 2.0);
        EXPECT_FALSE(remote.connected());
        EXPECT_EQ(remote.status().state, aol::LinkState::Refused);
        EXPECT_NE(remote.status().text.find("more than was asked for"), std::string::npos)
            << remote.status().text;
        Stop();
        EXPECT_LT(peer->junkSent(), 16u << 20);  // what the sockets hold, not the frame
    }
}

TEST_F(HostilePeer, WordsOfChangeReachTheProgramSpacedAndASecondWordUnreadIsRefused) {
    PeerBehaviour eager;
    eager.changeAfterEveryRead = true;  // as often as the protocol allows
    Start(eager);
    aol::RemoteOptions options = Options();
    options.changeSpacingSeconds = 0.05;
    aol::RemoteWindowSystem remote(options);
    bool changed = false;
    int reads = 0;
    remote.setChangeListener([&] { changed = true; });
    const double t0 = Seconds();
    while (Seconds() - t0 < 1.0) {
        remote.Drain();
        if (!changed) {
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
            continue;
        }
        changed = false;
        std::vector<aol::RoomText> rooms;
        remote.ReadRoomTexts(rooms);
        ++reads;
    }
    EXPECT_GT(reads, 5);
    EXPECT_LE(reads, 22);  // one every 50 ms at most
    EXPECT_TRUE(remote.connected());

    PeerBehaviour flood;
    flood.floodChanges = true;
    Start(flood);
    aol::RemoteWindowSystem flooded(Options());
    int told = 0;
    flooded.setChangeListener([&] { ++told; });
    const double t1 = Seconds();
    while (flooded.connected() || told == 0) {
        flooded.Drain();
        if (Seconds() - t1 > 5) break;
    }
    EXPECT_FALSE(flooded.connected());
    EXPECT_LE(told, 3);  // at the connection, the one word, and the link gone
    EXPECT_NE(flooded.status().text.find("before the rooms were read"), std::string::npos)
        << flooded.status().text;
}

}  // namespace
}  // namespace bridge
