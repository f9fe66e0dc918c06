// melodrop's side of the bridge against a peer that behaves badly: how long the player window's
// thread (the one event loop that runs everything) is blocked, and what it costs in memory and
// processor time. The peer knows the token (it could be the user's own bridge on a client that
// misbehaves), runs in a process of its own, and is one of:
//   slow    answers every request after 1.9 s
//   rooms   answers the reading of the rooms with 7 rooms of 32 MiB transcripts
//   flood   says "a room changed" without end
//   junk    answers the first request with a frame of 256 MiB
// The program's side is what melodrop runs with `--client bridge`: BridgeChatClient, the
// chat-client module, and two transcript readers (the two chat scanners) that read when the
// bridge says a room changed; an announcement goes out every 3 s. A 10 ms timer on the same
// thread measures how late it comes: what is late beyond 50 ms is time the window was blocked.
//   bridge_peer_bench [CASE...]     (all four when none is named)
// Figures for information: the bench has no goals of its own.
#include <sys/stat.h>

#include <QCoreApplication>
#include <QTemporaryDir>
#include <QTimer>
#include <atomic>

#include "BenchSupport.h"
#include "aol/Quartzline.h"
#include "aol/TranscriptReader.h"
#include "app/clients/BridgeChatClient.h"
#include "base/QtClock.h"
#include "bridge/FakeBridgePeer.h"
#include "bridge/protocol/BridgeProtocol.h"

namespace {

constexpr double kWatchSeconds = 30;
constexpr double kGiveUpSeconds = 60;  // a start-up that takes longer is reported as such
constexpr int kBeatMs = 10;
constexpr double kBlockedMs = 50;

struct PeerCase {
    const char* name;
    const char* what;
    bridge::testing::PeerBehaviour behaviour;
};

const std::vector<PeerCase>& peerCases() {
    static const std::vector<PeerCase> cases = [] {
        std::vector<PeerCase> all;
        bridge::testing::PeerBehaviour slow;
        slow.answerDelaySeconds = 1.9;
        all.push_back({"slow", "answers every request after 1.9 s", slow});
        bridge::testing::PeerBehaviour rooms;
        rooms.rooms = 7;
        rooms.roomTextBytes = 32u << 20;
        all.push_back({"rooms", "has 7 rooms of 32 MiB transcripts", rooms});
        bridge::testing::PeerBehaviour flood;
        flood.floodChanges = true;
        all.push_back({"flood", "says without end that a room changed", flood});
        bridge::testing::PeerBehaviour junk;
        junk.junkFrameBytes = 256u << 20;
        all.push_back({"junk", "answers the first request with a frame of 256 MiB", junk});
        return all;
    }();
    return cases;
}

// The peer in a process of its own, serving on a free port with the token it wrote.
struct PeerProcess {
    pid_t pid = -1;
    std::uint16_t port = 0;
};

PeerProcess startPeer(const PeerCase& c, const std::string& tokenFile) {
    const std::string token = "0123456789abcdef0123456789abcdef0123456789abcdef0123456789abcdef";
    {
        std::ofstream out(tokenFile, std::ios::binary);
        out << token;
    }
    ::chmod(tokenFile.c_str(), 0600);
    int ports[2];
    if (::pipe(ports) != 0) return {};
    PeerProcess peer;
    peer.pid = fork();
    if (peer.pid == 0) {
        ::close(ports[0]);
        bridge::testing::FakeBridgePeer server(token, c.behaviour);
        const std::uint16_t port = server.port();
        if (::write(ports[1], &port, sizeof port) != sizeof port) std::_Exit(1);
        ::close(ports[1]);
        std::atomic<bool> stop{false};
        server.Serve(stop);
        std::_Exit(0);
    }
    ::close(ports[1]);
    if (::read(ports[0], &peer.port, sizeof peer.port) != sizeof peer.port) peer.port = 0;
    ::close(ports[0]);
    return peer;
}

double rusageCpu() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    auto seconds = [](const timeval& tv) { return tv.tv_sec + tv.tv_usec / 1e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

double selfPeakMb() {
    return bench::peakResidentMb(getpid());
}

double selfResidentMb() {
    return bench::residentMb(getpid());
}

// Lateness of a timer that should tick every kBeatMs: the event loop's blocked spells.
class Heartbeat {
public:
    Heartbeat() {
        timer_.setTimerType(Qt::PreciseTimer);
        timer_.setInterval(kBeatMs);
        QObject::connect(&timer_, &QTimer::timeout, [this] { beat(); });
    }
    void start() {
        last_ = bench::monotonicSeconds();
        timer_.start();
    }
    void beat() {
        const double now = bench::monotonicSeconds();
        const double gapMs = (now - last_) * 1000.0 - kBeatMs;
        last_ = now;
        if (gapMs > kBlockedMs) blockedMs += gapMs;
        longestMs = std::max(longestMs, gapMs);
    }
    double blockedMs = 0;
    double longestMs = 0;

private:
    QTimer timer_;
    double last_ = 0;
};

int runCase(const std::string& name) {
    const PeerCase* peerCase = nullptr;
    for (const PeerCase& c : peerCases())
        if (name == c.name) peerCase = &c;
    if (!peerCase) {
        std::fprintf(stderr, "unknown case %s (slow, rooms, flood, junk)\n", name.c_str());
        return 2;
    }
    QTemporaryDir folder;  // mode 0700: only the user can enter it
    const std::string tokenFile = folder.filePath(QStringLiteral("bridge.token")).toStdString();
    const PeerProcess peer = startPeer(*peerCase, tokenFile);
    if (peer.pid <= 0 || peer.port == 0) {
        std::fprintf(stderr, "the peer did not start\n");
        return 2;
    }
    std::printf("%s: the peer %s\n", name.c_str(), peerCase->what);
    std::fflush(stdout);

    // A start-up that never ends is reported from another thread, then the bench ends.
    std::atomic<bool> started{false};
    std::thread watchdog([&] {
        const double t0 = bench::monotonicSeconds();
        while (!started && bench::monotonicSeconds() - t0 < kGiveUpSeconds)
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        if (started) return;
        std::printf("  start-up did not finish in %.0f s; peak memory %.0f MB\n", kGiveUpSeconds,
                    selfPeakMb());
        std::fflush(stdout);
        kill(peer.pid, SIGKILL);
        std::_Exit(0);
    });

    int argc = 1;
    char arg0[] = "bridge_peer_bench";
    char* argv[] = {arg0, nullptr};
    QCoreApplication app(argc, argv);
    melodrop::app::ClientChoice choice;
    choice.kind = melodrop::app::ClientKind::Bridge;
    choice.bridgePort = peer.port;
    choice.bridgeTokenFile = QString::fromStdString(tokenFile);
    melodrop::app::BridgeChatClient client(choice);
    melodrop::QtClock clock;
    aol::Quartzline q(client.windows(), clock);
    aol::TranscriptReader commands(client.windows());
    aol::TranscriptReader autoIgnore(client.windows());
    int reads = 0;
    bool readQueued = false;
    const double cpu0 = rusageCpu();
    const double t0 = bench::monotonicSeconds();
    // As the program does: the word of a change is noted, and both scanners read at the next
    // turn of the event loop.
    client.notifyChanges([&] {
        if (readQueued) return;
        readQueued = true;
        QTimer::singleShot(0, &app, [&] {
            readQueued = false;
            commands.ReadNew();
            autoIgnore.ReadNew();
            ++reads;
        });
    });
    commands.Reset();
    autoIgnore.Reset();
    q.GetUser();
    const double startup = bench::monotonicSeconds() - t0;
    started = true;
    watchdog.join();

    Heartbeat heartbeat;
    QTimer announce;
    announce.setInterval(3000);
    int announcements = 0;
    QObject::connect(&announce, &QTimer::timeout, [&] {
        q.ChatSend("now playing: a song");
        ++announcements;
    });
    heartbeat.start();
    announce.start();
    QTimer::singleShot(static_cast<int>(kWatchSeconds * 1000), &app, &QCoreApplication::quit);
    const double watched0 = bench::monotonicSeconds();
    app.exec();
    const double watched = bench::monotonicSeconds() - watched0;
    const double cpu = rusageCpu() - cpu0;

    bench::report({"start-up (scanners' first reads): blocked", startup, "s", -1, "", -1});
    bench::report({"watched (30 s, and the block in progress then)", watched, "s", -1, "", -1});
    bench::report({"blocked while watched", heartbeat.blockedMs / 1000.0, "s", -1, "", -1});
    bench::report({"longest block", heartbeat.longestMs / 1000.0, "s", -1, "", -1});
    bench::report(
        {"processor, share of one core", cpu / (watched + startup) * 100, "%", -1, "", -1});
    bench::report({"reads of the rooms per second", reads / watched, "/s", -1, "", -1});
    bench::report({"announcements sent", static_cast<double>(announcements), "", -1, "", -1});
    bench::report({"peak memory", selfPeakMb(), "MB", -1, "", -1});
    bench::report({"memory at the end", selfResidentMb(), "MB", -1, "", -1});
    kill(peer.pid, SIGKILL);
    waitpid(peer.pid, nullptr, 0);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string> cases;
    for (int i = 1; i < argc; ++i) cases.push_back(argv[i]);
    if (cases.empty()) cases = {"slow", "rooms", "flood", "junk"};
    // Each case in a process of its own, so that one's memory does not count for the next.
    int status = 0;
    for (const std::string& name : cases) {
        const pid_t child = fork();
        if (child == 0) std::_Exit(runCase(name));
        int result = 0;
        waitpid(child, &result, 0);
        if (!WIFEXITED(result) || WEXITSTATUS(result) != 0) status = 1;
    }
    return status;
}
