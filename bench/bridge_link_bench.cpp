// How melodrop and melodrop-bridge find and trust each other, measured as a hostile local user
// would try it: the bridge's server (its POSIX build, serving the simulated client) and melodrop's
// RemoteWindowSystem in this process, the attackers on threads of their own.
//   hijack     a stale token file and another program listening on the bridge's port: what
//              that program receives from melodrop
//   starve     three loops connecting and holding the bridge's port 1.9 s each, while melodrop
//              tries to connect: how many times it gets in within 20 s, and how soon
//   refusals   while melodrop is connected, three loops connecting, saying something that is
//              not a melodrop's and hanging up, as fast as they can: lines the bridge prints per
//              second
//   tokenfile  symbolic links planted under the token file's name and the temporary name it was
//              written under, pointing at other files of the user's: what becomes of them
//   lookalike  another program's "AOL Frame25" window appearing in front of the client's: whose
//              process the bridge serves, and whether the look-alike was reported
//   access     the rights the bridge opens the client's process with
//   bridge_link_bench [CASE...]     (all when none is named)
// Figures for information: the bench has no goals of its own.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>

#include <atomic>
#include <condition_variable>
#include <mutex>

#include "BenchSupport.h"
#include "aol/ClientWindows.h"
#include "aol/Quartzline.h"
#include "aol/sim/SimClient.h"
#include "bridge/LockedWindowSystem.h"
#include "bridge/RunningBridge.h"
#include "bridge/client/RemoteWindowSystem.h"
#include "bridge/service/BridgeServer.h"
#include "bridge/service/ClientGuard.h"
#include "bridge/service/Token.h"

namespace {

namespace fs = std::filesystem;

std::mutex g_sim;

// The simulated client with another program's top-level "AOL Frame25" window, which can appear
// in front of the client's at any time; counts what reaches it and what the process is asked for.
class WithLookAlike : public aol::WindowSystem {
public:
    static constexpr aol::Hwnd kLookAlike = 0x7770;
    static constexpr std::uint32_t kLookAlikeProcess = 0xBEEF;
    explicit WithLookAlike(aol::sim::SimClient& sim) : sim_(sim) {}

    aol::Hwnd FindWindowA(const char* c, const char* t) override {
        return FindWindowExA(0, 0, c, t);
    }
    aol::Hwnd FindWindowExA(aol::Hwnd p, aol::Hwnd a, const char* c, const char* t) override {
        const bool frame = c && std::string(c) == "AOL Frame25";
        if (shown && p == 0 && a == 0 && frame) return kLookAlike;
        if (shown && p == 0 && a == kLookAlike) return sim_.FindWindowExA(0, 0, c, t);
        if (p == kLookAlike) return 0;
        return sim_.FindWindowExA(p, a, c, t);
    }
    bool SendMessageTimeoutA(aol::Hwnd w, std::uint32_t m, std::uintptr_t wp, std::intptr_t lp,
                             std::uint32_t f, std::uint32_t t, std::intptr_t* r) override {
        if (w == kLookAlike) ++reachedLookAlike;
        return sim_.SendMessageTimeoutA(w, m, wp, lp, f, t, r);
    }
    bool PostMessageA(aol::Hwnd w, std::uint32_t m, std::uintptr_t wp, std::intptr_t lp) override {
        if (w == kLookAlike) ++reachedLookAlike;
        return sim_.PostMessageA(w, m, wp, lp);
    }
    int GetWindowTextLengthA(aol::Hwnd w) override { return sim_.GetWindowTextLengthA(w); }
    int GetWindowTextA(aol::Hwnd w, char* b, int n) override {
        return sim_.GetWindowTextA(w, b, n);
    }
    std::uint32_t GetWindowThreadProcessId(aol::Hwnd w, std::uint32_t* pid) override {
        if (w == kLookAlike) {
            if (pid) *pid = kLookAlikeProcess;
            return 1;
        }
        return sim_.GetWindowThreadProcessId(w, pid);
    }
    aol::ProcessHandle OpenProcess(std::uint32_t a, bool i, std::uint32_t pid) override {
        openedWith = a;
        return sim_.OpenProcess(a, i, pid);
    }
    bool ReadProcessMemory(aol::ProcessHandle h, std::uint64_t a, void* b, std::size_t n,
                           std::size_t* got) override {
        return sim_.ReadProcessMemory(h, a, b, n, got);
    }
    bool CloseHandle(aol::ProcessHandle h) override { return sim_.CloseHandle(h); }

    bool shown = false;
    int reachedLookAlike = 0;
    std::uint32_t openedWith = 0;

private:
    aol::sim::SimClient& sim_;
};

using Bridge = bridge::testing::RunningBridge;

int connectTo(std::uint16_t port) {
    const int s = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (::connect(s, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
        ::close(s);
        return -1;
    }
    return s;
}

// A folder only the user can enter, with the token file written as the bridge writes it.
struct TokenHome {
    fs::path folder;
    std::string file;
    std::string token = bridge::MakeToken();
    TokenHome() {
        folder = fs::temp_directory_path() / ("bridge-link-bench-" + std::to_string(getpid()));
        fs::create_directories(folder);
        fs::permissions(folder, fs::perms::owner_all, fs::perm_options::replace);
        file = (folder / "melodrop-bridge.token").string();
        std::string error;
        bridge::WriteTokenFile(file, token, error);
    }
    ~TokenHome() { fs::remove_all(folder); }
};

aol::RemoteOptions remoteOptions(std::uint16_t port, const std::string& tokenFile) {
    aol::RemoteOptions options;
    options.port = port;
    options.tokenFile = tokenFile;
    options.retrySeconds = 0.05;
    return options;
}

struct Sim {
    aol::sim::SimClient sim;
    bridge::testing::LockedWindowSystem locked{sim, g_sim};
    Sim() {
        sim.start();
        sim.signOn("Bob");
        sim.openRoom("Lobby");
        sim.memberJoins("Alice");
    }
};

void hijack() {
    std::printf("hijack: a stale token file; another program listens on the bridge's port\n");
    TokenHome home;
    // The squatter: takes the port, accepts, keeps what it is sent.
    const int listener = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ::bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address);
    ::listen(listener, 4);
    socklen_t length = sizeof address;
    ::getsockname(listener, reinterpret_cast<sockaddr*>(&address), &length);
    const std::uint16_t port = ntohs(address.sin_port);
    std::string received;
    std::atomic<bool> stop{false};
    std::thread squatter([&] {
        while (!stop) {
            pollfd p{listener, POLLIN, 0};
            if (::poll(&p, 1, 50) != 1) continue;
            const int s = ::accept(listener, nullptr, nullptr);
            const double until = bench::monotonicSeconds() + 1.0;
            while (bench::monotonicSeconds() < until) {
                pollfd q{s, POLLIN, 0};
                if (::poll(&q, 1, 50) != 1) continue;
                char chunk[4096];
                const ssize_t got = ::recv(s, chunk, sizeof chunk, 0);
                if (got <= 0) break;
                received.append(chunk, static_cast<std::size_t>(got));
            }
            ::close(s);
        }
    });
    aol::RemoteWindowSystem remote(remoteOptions(port, home.file));
    remote.FindWindowA("AOL Frame25", nullptr);
    std::this_thread::sleep_for(std::chrono::milliseconds(1200));
    stop = true;
    squatter.join();
    ::close(listener);
    const bool tokenSent = received.find(home.token) != std::string::npos;
    bench::report(
        {"bytes the squatter received", static_cast<double>(received.size()), "B", -1, "", -1});
    bench::report({"the token among them (1 yes, 0 no)", tokenSent ? 1.0 : 0.0, "", -1, "", -1});
}

void starve() {
    std::printf("starve: three loops connecting and holding the port 1.9 s each\n");
    Sim sim;
    TokenHome home;
    Bridge bridge(sim.locked, home.token);
    std::atomic<bool> stop{false};
    std::vector<std::thread> loops;
    for (int i = 0; i < 3; ++i) {
        loops.emplace_back([&] {
            while (!stop) {
                const int s = connectTo(bridge.port());
                for (int t = 0; t < 19 && !stop; ++t)
                    std::this_thread::sleep_for(std::chrono::milliseconds(100));
                if (s >= 0) ::close(s);
            }
        });
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    int connections = 0;
    double first = -1;
    const double t0 = bench::monotonicSeconds();
    while (bench::monotonicSeconds() - t0 < 20) {
        aol::RemoteWindowSystem remote(remoteOptions(bridge.port(), home.file));
        if (remote.FindWindowA("AOL Frame25", nullptr) != 0) {
            ++connections;
            if (first < 0) first = bench::monotonicSeconds() - t0;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(500));
    }
    stop = true;
    for (std::thread& t : loops) t.join();
    bench::report({"melodrop's tries that got in (of 40 in 20 s)", static_cast<double>(connections),
                   "", -1, "", -1});
    bench::report({"first time in", first, "s", -1, "", -1});
}

void refusals() {
    std::printf(
        "refusals: melodrop connected; three loops connecting, saying nonsense and hanging "
        "up as fast as they can, 10 s\n");
    Sim sim;
    TokenHome home;
    Bridge bridge(sim.locked, home.token);
    aol::RemoteWindowSystem remote(remoteOptions(bridge.port(), home.file));
    const bool connected = remote.FindWindowA("AOL Frame25", nullptr) != 0;
    std::atomic<bool> stop{false};
    std::atomic<long> connects{0};
    std::vector<std::thread> loops;
    for (int i = 0; i < 3; ++i) {
        loops.emplace_back([&] {
            const std::string nonsense("\x04\0\0\0junk", 8);
            while (!stop) {
                const int s = connectTo(bridge.port());
                if (s >= 0) {
                    ++connects;
                    ::send(s, nonsense.data(), nonsense.size(), MSG_NOSIGNAL);
                    ::close(s);
                }
            }
        });
    }
    const std::size_t before = bridge.lines();
    const double t0 = bench::monotonicSeconds();
    std::this_thread::sleep_for(std::chrono::seconds(10));
    const double span = bench::monotonicSeconds() - t0;
    const double lines = static_cast<double>(bridge.lines() - before);
    stop = true;
    for (std::thread& t : loops) t.join();
    const bool stillConnected = remote.FindWindowA("AOL Frame25", nullptr) != 0;
    bench::report({"connections made", connects / span, "/s", -1, "", -1});
    bench::report({"bridge's console lines", lines / span, "/s", -1, "", -1});
    bench::report({"melodrop connected before and after (1 yes, 0 no)",
                   connected && stillConnected ? 1.0 : 0.0, "", -1, "", -1});
}

void tokenfile() {
    std::printf("tokenfile: links planted under the token file's name and its temporary name\n");
    TokenHome home;
    const fs::path victim = home.folder / "notes.txt";
    const fs::path other = home.folder / "letters.txt";
    const std::string notes = "the user's own notes\n";
    for (const fs::path& file : {victim, other}) {
        std::ofstream out(file);
        out << notes;
    }
    fs::remove(home.file);
    fs::create_symlink(victim, home.file);
    fs::create_symlink(other, home.file + ".new");
    std::string error;
    const bool written = bridge::WriteTokenFile(home.file, bridge::MakeToken(), error);
    const bool intact =
        bench::readFile(victim) == notes && bench::readFile(other) == notes && fs::exists(other);
    bench::report({"token written (1 yes, 0 no)", written ? 1.0 : 0.0, "", -1, "", -1});
    bench::report({"the user's files intact (1 yes, 0 no)", intact ? 1.0 : 0.0, "", -1, "", -1});
    bench::report({"the token file is a plain file (1 yes, 0 no)",
                   fs::is_regular_file(fs::symlink_status(home.file)) ? 1.0 : 0.0, "", -1, "", -1});
}

void lookalike() {
    std::printf("lookalike: another program's frame window appears in front of the client's\n");
    aol::sim::SimClient sim;
    sim.start();
    sim.signOn("Bob");
    sim.openRoom("Lobby");
    WithLookAlike windows(sim);
    bridge::ClientGuard guard(windows);
    const std::uint32_t before = guard.Refresh();
    windows.shown = true;
    const std::uint32_t after = guard.Refresh();
    const aol::Hwnd frame = guard.FindWindowA("AOL Frame25", nullptr);
    std::intptr_t result = 0;
    guard.SendMessageTimeoutA(frame, aol::kWmClose, 0, 0, 0, 100, &result);
    bench::report({"the client's process before", static_cast<double>(before), "", -1, "", -1});
    bench::report({"the process served after the look-alike came", static_cast<double>(after), "",
                   -1, "", -1});
    bench::report(
        {"messages that reached the look-alike", windows.reachedLookAlike * 1.0, "", -1, "", -1});
}

void access() {
    std::printf("access: the rights the client's process is opened with\n");
    aol::sim::SimClient sim;
    sim.start();
    sim.signOn("Bob");
    sim.openRoom("Lobby");
    WithLookAlike windows(sim);
    bridge::ClientGuard guard(windows);
    const std::uint32_t pid = guard.Refresh();
    const aol::ProcessHandle h = guard.OpenProcess(aol::kProcessReadAccess, false, pid);
    if (h) guard.CloseHandle(h);
    std::printf("  asked by the module 0x%08X, opened with 0x%08X\n", aol::kProcessReadAccess,
                windows.openedWith);
}

}  // namespace

int main(int argc, char** argv) {
    const std::vector<std::pair<std::string, void (*)()>> cases = {
        {"hijack", hijack},       {"starve", starve},       {"refusals", refusals},
        {"tokenfile", tokenfile}, {"lookalike", lookalike}, {"access", access}};
    for (const auto& [name, run] : cases) {
        bool wanted = argc == 1;
        for (int i = 1; i < argc; ++i) wanted = wanted || name == argv[i];
        if (wanted) run();
    }
    return 0;
}
