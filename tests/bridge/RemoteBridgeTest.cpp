// melodrop reaching a chat client through the bridge: the bridge's server on a thread of its own,
// serving the simulated client, and the chat-client module on RemoteWindowSystem.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <filesystem>
#include <functional>
#include <mutex>
#include <thread>

#include "aol/AolTestSupport.h"
#include "aol/TranscriptReader.h"
#include "bridge/LockedWindowSystem.h"
#include "bridge/RunningBridge.h"
#include "bridge/client/RemoteWindowSystem.h"
#include "bridge/protocol/Handshake.h"
#include "bridge/service/BridgeServer.h"
#include "bridge/service/Token.h"

namespace bridge {
namespace {

std::mutex g_sim;  // the simulated client is used by the test and the bridge's thread
constexpr int kHandshakeMs = 300;  // a stalled handshake gives up quickly here
using testing::RunningBridge;

class RemoteBridge : public ::testing::Test {
protected:
    RemoteBridge() {
        withSim([&] {
            sim.signOn("Bob");
            sim.openRoom("Lobby");
            sim.memberJoins("Alice");
            sim.memberJoins("Carol");
        });
        folder = std::filesystem::temp_directory_path() /
                 ("melodrop-bridge-test-" + std::to_string(::getpid()));
        std::filesystem::create_directories(folder);
        std::filesystem::permissions(folder, std::filesystem::perms::owner_all,
                                     std::filesystem::perm_options::replace);
        tokenFile = (folder / "token").string();
        std::string error;
        EXPECT_TRUE(WriteTokenFile(tokenFile, token, error)) << error;
        bridge = std::make_unique<RunningBridge>(locked, token, 0, kHandshakeMs);
        EXPECT_TRUE(bridge->listening());
        pump.onPump = [this] { withSim([&] { sim.deliverPosted(); }); };
    }
    ~RemoteBridge() override {
        bridge.reset();
        std::filesystem::remove_all(folder);
    }

    template <typename F>
    void withSim(F f) {
        std::lock_guard lock(g_sim);
        f();
    }

    aol::RemoteOptions remoteOptions() {
        aol::RemoteOptions options;
        options.port = bridge->port();
        options.tokenFile = tokenFile;
        options.retrySeconds = 0.05;
        return options;
    }

    aol::sim::SimClient sim;
    bridge::testing::LockedWindowSystem locked{sim, g_sim};
    std::string token = MakeToken();
    std::filesystem::path folder;
    std::string tokenFile;
    std::unique_ptr<RunningBridge> bridge;
    aol::testing::FakePump pump;
};

TEST_F(RemoteBridge, TheModuleWorksThroughTheBridge) {
    aol::RemoteWindowSystem remote(remoteOptions());
    aol::Quartzline q(remote, pump);
    EXPECT_EQ(q.GetUser(), "Bob");
    EXPECT_EQ(q.RoomCount(), 3);
    std::vector<std::string> names;
    q.AddRoomToList(names, false);
    EXPECT_EQ(names, (std::vector<std::string>{"alice", "carol"}));
    withSim([&] { sim.userTypesWithoutEnter("half typ"); });
    q.ChatSend("hello \u2022 room");
    q.ChatIgnore("carol");
    withSim([&] { sim.deliverPosted(); });
    bool ignored = false;
    std::vector<std::string> lines;
    withSim([&] {
        ignored = sim.isIgnored("Carol");
        lines = sim.transcriptLines();
    });
    EXPECT_TRUE(ignored);
    EXPECT_EQ(lines, std::vector<std::string>{"Bob:\thello \u2022 room"});
    EXPECT_TRUE(bridge->logged("melodrop connected"));
    EXPECT_TRUE(bridge->logged("chat client found"));
}

TEST_F(RemoteBridge, TheReaderGetsEveryRoomInOneExchange) {
    aol::RemoteWindowSystem remote(remoteOptions());
    aol::TranscriptReader reader(remote);
    reader.Reset();
    withSim([&] { sim.memberSays("Alice", "one"); });
    // Reads that follow each other closely share one answer: let it go stale.
    const auto stale = [] { std::this_thread::sleep_for(std::chrono::milliseconds(20)); };
    stale();
    auto fresh = reader.ReadNew();
    ASSERT_EQ(fresh.size(), 1u);
    EXPECT_EQ(fresh[0].text, "one");
    stale();
    EXPECT_TRUE(reader.ReadNew().empty());  // unchanged: not resent, not reported again
    withSim([&] { sim.userTypes("two"); });
    stale();
    fresh = reader.ReadNew();
    ASSERT_EQ(fresh.size(), 1u);
    EXPECT_EQ(fresh[0].screenName, "Bob");
}

// Both chat scanners read at the same tick: one exchange serves both, and both see the line.
TEST_F(RemoteBridge, TwoReadersAtOneTickShareOneExchange) {
    aol::RemoteOptions options = remoteOptions();
    options.sharedReadSeconds = 1.0;  // one tick, however slowly this machine runs the test
    aol::RemoteWindowSystem remote(options);
    aol::TranscriptReader commands(remote);
    aol::TranscriptReader autoIgnore(remote);
    commands.Reset();
    autoIgnore.Reset();
    withSim([&] { sim.memberSays("Alice", "one"); });
    std::this_thread::sleep_for(std::chrono::milliseconds(1100));  // the last answer is stale
    const std::uint64_t before = remote.exchanges();
    const auto first = commands.ReadNew();
    const auto second = autoIgnore.ReadNew();
    ASSERT_EQ(first.size(), 1u);
    ASSERT_EQ(second.size(), 1u);
    EXPECT_EQ(second[0].text, "one");
    EXPECT_LE(remote.exchanges() - before, 1u);
}

// Until `done` holds, taking the bridge's word as it comes; false after five seconds.
bool DrainUntil(aol::RemoteWindowSystem& remote, const std::function<bool()>& done) {
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (std::chrono::steady_clock::now() < until) {
        remote.Drain();
        if (done()) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return false;
}

// A melodrop that asks to be told is told when a room changed, once until it reads, and asks
// nothing of the bridge meanwhile.
TEST_F(RemoteBridge, TheBridgeSaysWhenARoomChanged) {
    aol::RemoteWindowSystem remote(remoteOptions());
    int told = 0;
    remote.setChangeListener([&] { ++told; });
    aol::TranscriptReader reader(remote);
    reader.Reset();
    EXPECT_EQ(told, 1);  // at the connection: the rooms may have changed while it was away
    told = 0;
    const std::uint64_t asked = remote.exchanges();
    withSim([&] { sim.memberSays("Alice", "one"); });
    ASSERT_TRUE(DrainUntil(remote, [&] { return told > 0; }));
    withSim([&] { sim.memberSays("Alice", "two"); });
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    remote.Drain();
    EXPECT_EQ(told, 1);
    EXPECT_EQ(remote.exchanges(), asked);
    const auto fresh = reader.ReadNew();
    ASSERT_EQ(fresh.size(), 2u);
    EXPECT_EQ(fresh[1].text, "two");
    withSim([&] { sim.userTypes("three"); });
    EXPECT_TRUE(DrainUntil(remote, [&] { return told > 1; }));
}

// The bridge gone and back: melodrop, which asks nothing while the room is quiet, finds it again
// by itself and is told to look.
TEST_F(RemoteBridge, AWatchingMelodropFindsTheBridgeAgainByItself) {
    aol::RemoteOptions options = remoteOptions();
    options.retrySeconds = 0.05;
    aol::RemoteWindowSystem remote(options);
    int told = 0;
    remote.setChangeListener([&] { ++told; });
    remote.Drain();
    ASSERT_TRUE(remote.connected());
    const std::uint16_t port = bridge->port();
    bridge.reset();
    ASSERT_TRUE(DrainUntil(remote, [&] { return !remote.connected(); }));
    told = 0;
    bridge = std::make_unique<RunningBridge>(locked, token, port, kHandshakeMs);
    ASSERT_TRUE(bridge->listening());
    EXPECT_TRUE(DrainUntil(remote, [&] { return remote.connected() && told > 0; }));
}

// A melodrop with another token (another bridge's, or a stale one): neither side gets in, and
// melodrop says that what listens is not its bridge.
TEST_F(RemoteBridge, AWrongTokenIsRefusedByBothSides) {
    std::string error;
    ASSERT_TRUE(WriteTokenFile(tokenFile, MakeToken(), error));
    aol::RemoteWindowSystem remote(remoteOptions());
    EXPECT_EQ(remote.FindWindowA("AOL Frame25", nullptr), 0u);
    EXPECT_FALSE(remote.connected());
    EXPECT_EQ(remote.status().state, aol::LinkState::Refused);
    EXPECT_NE(remote.status().text.find("the program on 127.0.0.1:" +
                                        std::to_string(bridge->port()) + " is not melodrop-bridge"),
              std::string::npos)
        << remote.status().text;
    EXPECT_EQ(remote.status().summary, remote.status().text);  // a refusal shows its reason
    EXPECT_TRUE(bridge->logged("refused a connection: it went away before proving itself"));
}

// A melodrop that proves itself takes the session over from the one before, which may be stale.
TEST_F(RemoteBridge, ANewMelodropTakesTheSessionOver) {
    aol::RemoteWindowSystem first(remoteOptions());
    aol::RemoteWindowSystem second(remoteOptions());
    EXPECT_NE(first.FindWindowA("AOL Frame25", nullptr), 0u);
    EXPECT_EQ(first.status().state, aol::LinkState::Connected);
    EXPECT_EQ(first.status().clientProcess, aol::sim::SimClient::kProcessId);
    EXPECT_EQ(first.status().summary, "connected to the chat client (process " +
                                          std::to_string(aol::sim::SimClient::kProcessId) + ")");
    EXPECT_NE(second.FindWindowA("AOL Frame25", nullptr), 0u);
    EXPECT_TRUE(bridge->logged("melodrop connected again: its earlier connection is closed"));
    EXPECT_EQ(first.FindWindowA("AOL Frame25", nullptr), 0u);  // its connection is gone
    EXPECT_EQ(first.status().state, aol::LinkState::Waiting);
    EXPECT_EQ(first.status().summary,
              "waiting for melodrop-bridge on 127.0.0.1:" + std::to_string(bridge->port()));
}

// Connections that never prove themselves do not keep a melodrop out: three loops holding the
// port 1.9 s each, and one that greets and then stalls.
TEST_F(RemoteBridge, StarvingLoopsDoNotKeepMelodropOut) {
    std::atomic<bool> stop{false};
    std::vector<std::thread> loops;
    const auto connectToBridge = [&] {
        const int s = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_port = htons(bridge->port());
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        ::connect(s, reinterpret_cast<sockaddr*>(&address), sizeof address);
        return s;
    };
    for (int i = 0; i < 4; ++i) {
        loops.emplace_back([&, i] {
            while (!stop) {
                const int s = connectToBridge();
                if (i == 3) {
                    Request hello;
                    hello.op = Op::Hello;
                    hello.version = kProtocolVersion;
                    hello.nonce.assign(kNonceBytes, 'n');
                    const std::string frame = Frame(EncodeRequest(hello));
                    ::send(s, frame.data(), frame.size(), MSG_NOSIGNAL);
                }
                for (int t = 0; t < 19 && !stop; ++t)
                    std::this_thread::sleep_for(std::chrono::milliseconds(100));
                ::close(s);
            }
        });
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(300));  // the loops hold the port
    const std::size_t linesBefore = bridge->lines();
    aol::RemoteWindowSystem remote(remoteOptions());
    const auto t0 = std::chrono::steady_clock::now();
    bool in = false;
    while (!in && std::chrono::steady_clock::now() - t0 < std::chrono::seconds(3)) {
        in = remote.FindWindowA("AOL Frame25", nullptr) != 0;
        if (!in) std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(2500));
    const std::size_t lines = bridge->lines() - linesBefore;
    stop = true;
    for (std::thread& t : loops) t.join();
    EXPECT_TRUE(in);
    // Refusals are told at most once a second: over some 2.5 s, besides the connection's lines.
    EXPECT_LE(lines, 6u);
    EXPECT_TRUE(
        bridge->logged("connections since the last report (the last: it did not prove "
                       "itself within 0.3 s)"));
}

// A raw connection that says something and sees whether the bridge hangs up (after what it
// may say first).
bool BridgeHangsUpAfter(std::uint16_t port, const std::string& bytes) {
    const int s = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (::connect(s, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) return false;
    if (!bytes.empty()) ::send(s, bytes.data(), bytes.size(), MSG_NOSIGNAL);
    timeval wait{3, 0};
    ::setsockopt(s, SOL_SOCKET, SO_RCVTIMEO, &wait, sizeof wait);
    char chunk[256];
    ssize_t got = 0;
    do {
        got = ::recv(s, chunk, sizeof chunk, 0);
    } while (got > 0);
    ::close(s);
    return got == 0;  // closed by the bridge (not a timeout)
}

TEST_F(RemoteBridge, MalformedOversizedOrSilentConnectionsAreClosed) {
    EXPECT_TRUE(BridgeHangsUpAfter(bridge->port(), Frame("\x10")));  // unknown operation
    EXPECT_TRUE(BridgeHangsUpAfter(bridge->port(), std::string("\xFF\xFF\xFF\x7F")));  // too big
    EXPECT_TRUE(BridgeHangsUpAfter(bridge->port(), ""));  // never says anything
    Request find;
    find.op = Op::FindWindow;
    EXPECT_TRUE(BridgeHangsUpAfter(bridge->port(), Frame(EncodeRequest(find))));  // no Hello
    // A melodrop of another version: told apart from a wrong token, on both sides. Version 2
    // sent its token where the nonce is now.
    Request older;
    older.op = Op::Hello;
    older.version = 2;
    older.nonce = token;
    EXPECT_TRUE(BridgeHangsUpAfter(bridge->port(), Frame(EncodeRequest(older))));
    EXPECT_TRUE(bridge->logged("it speaks protocol version 2, this bridge speaks version " +
                               std::to_string(kProtocolVersion)));
    // And the bridge still serves the next one.
    aol::RemoteWindowSystem remote(remoteOptions());
    EXPECT_NE(remote.FindWindowA("AOL Frame25", nullptr), 0u);
}

TEST_F(RemoteBridge, ALostBridgeIsNoClientUntilItComesBack) {
    aol::RemoteWindowSystem remote(remoteOptions());
    aol::Quartzline q(remote, pump);
    EXPECT_EQ(q.GetUser(), "Bob");
    const std::uint16_t port = bridge->port();
    bridge.reset();  // the bridge ends
    EXPECT_EQ(q.GetUser(), "");
    EXPECT_EQ(q.FindRoom(), 0u);
    q.ChatSend("nobody hears this");
    EXPECT_FALSE(remote.connected());
    // It starts again, with a new token, on the same port.
    std::string error;
    const std::string fresh = MakeToken();
    ASSERT_TRUE(WriteTokenFile(tokenFile, fresh, error));
    bridge = std::make_unique<RunningBridge>(locked, fresh, port, kHandshakeMs);
    ASSERT_TRUE(bridge->listening());
    std::string user;
    for (int i = 0; i < 100 && user.empty(); ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        user = q.GetUser();
    }
    EXPECT_EQ(user, "Bob");
    std::vector<std::string> lines;
    withSim([&] { lines = sim.transcriptLines(); });
    EXPECT_TRUE(lines.empty());
}

// What listens on the port may be anything: a program that took the port of a bridge that
// ended, with the bridge's token file left behind. It is told nothing derived from the token:
// melodrop sends its Hello (a fresh nonce) and, unless the answer proves that the other side
// knows the token, nothing more; it never reports a connection.
TEST_F(RemoteBridge, WhatListensOnThePortMustProveItIsTheBridge) {
    const std::uint16_t port = bridge->port();
    bridge.reset();  // the bridge ends; its token file stays
    const std::string where = "127.0.0.1:" + std::to_string(port);
    struct Case {
        const char* what;
        std::function<std::string()> answer;  // to the Hello; nullptr: hang up at once
        std::string says;
    };
    const auto helloAnswer = [](std::uint16_t version) {
        Answer fake;  // a well-formed answer, with a proof of nothing
        fake.version = version;
        fake.nonce.assign(kNonceBytes, 'n');
        fake.proof.assign(sizeof(Digest), 'p');
        return Frame(EncodeAnswer(Op::Hello, fake));
    };
    const std::vector<Case> cases = {
        {"a listener that answers anything", [&] { return helloAnswer(kProtocolVersion); },
         "the program on " + where + " is not melodrop-bridge"},
        {"a silent listener", [] { return std::string(); },
         "the program on " + where +
             " is not melodrop-bridge (it did not answer the handshake "
             "in time)"},
        {"a bridge of a later version", [&] { return helloAnswer(kProtocolVersion + 1); },
         "melodrop-bridge on " + where + " speaks protocol version " +
             std::to_string(kProtocolVersion + 1) + ", this melodrop speaks version " +
             std::to_string(kProtocolVersion)},
        {"a listener that hangs up (as a bridge of version 2 does)", nullptr,
         "closed the connection at the handshake (a bridge of another protocol version does so "
         "too)"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const int listener = ::socket(AF_INET, SOCK_STREAM, 0);
        int reuse = 1;
        ::setsockopt(listener, SOL_SOCKET, SO_REUSEADDR, &reuse, sizeof reuse);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_port = htons(port);
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        ASSERT_EQ(::bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
        ::listen(listener, 4);
        std::string received;
        std::thread squatter([&] {
            const int s = ::accept(listener, nullptr, nullptr);
            timeval wait{2, 0};
            ::setsockopt(s, SOL_SOCKET, SO_RCVTIMEO, &wait, sizeof wait);
            char chunk[4096];
            for (;;) {
                const ssize_t got = ::recv(s, chunk, sizeof chunk, 0);
                if (got <= 0) break;
                received.append(chunk, static_cast<std::size_t>(got));
                if (!c.answer) break;
                const std::string frame = c.answer();
                ::send(s, frame.data(), frame.size(), MSG_NOSIGNAL);
            }
            ::close(s);
        });
        aol::RemoteOptions options;
        options.port = port;
        options.tokenFile = tokenFile;
        aol::RemoteWindowSystem remote(options);
        std::vector<aol::LinkState> states;
        remote.setStatusListener([&](const aol::LinkStatus& s) { states.push_back(s.state); });
        const auto t0 = std::chrono::steady_clock::now();
        EXPECT_EQ(remote.FindWindowA("AOL Frame25", nullptr), 0u);
        EXPECT_LT(std::chrono::steady_clock::now() - t0, std::chrono::milliseconds(1800));
        EXPECT_FALSE(remote.connected());
        EXPECT_EQ(states, std::vector<aol::LinkState>{aol::LinkState::Refused});
        EXPECT_NE(remote.status().text.find(c.says), std::string::npos) << remote.status().text;
        squatter.join();
        ::close(listener);
        // All it got: one Hello with a nonce; not the token, nor a proof.
        std::string message;
        ASSERT_EQ(TakeFrame(received, message, kMaxRequestBytes), 1);
        EXPECT_TRUE(received.empty());
        const std::optional<Request> hello = ParseRequest(message);
        ASSERT_TRUE(hello);
        EXPECT_EQ(hello->op, Op::Hello);
        EXPECT_EQ(hello->nonce.size(), kNonceBytes);
        EXPECT_EQ(message.find(token), std::string::npos);
        EXPECT_EQ(message.find(TokenKey(token).value()), std::string::npos);
    }
}

}  // namespace
}  // namespace bridge
