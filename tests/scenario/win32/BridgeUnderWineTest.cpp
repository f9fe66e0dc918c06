// melodrop-bridge.exe under wine64, as a user runs it, tried as a hostile local user would: its
// token file (private, gone with the bridge, never written through a planted link or into a
// shared folder), a program squatting its port, loops that try to starve melodrop out, and a
// second program's frame window that looks like the chat client's. melodrop's side is the real
// RemoteWindowSystem. Also runs bridge_win32_tests.exe, the bridge's own tests on real Win32
// windows. Needs WINE and WINEPREFIX (scripts/with-wine-prefix.sh gives both).
#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <thread>

#include "bridge/client/RemoteWindowSystem.h"
#include "bridge/protocol/BridgeProtocol.h"
#include "fakes/NeedOrSkip.h"

extern char** environ;

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

constexpr double kStartSeconds = 60;  // Wine may be slow to start a program
constexpr uid_t kNobody = 65534;

std::string WindowsBin(const std::string& program) {
    return std::string(MELODROP_WINDOWS_BIN) + "/" + program;
}

// The Windows path of a Linux file, as Wine sees it.
std::string WinePath(const std::string& path) {
    std::string out = "Z:" + path;
    for (char& c : out) {
        if (c == '/') c = '\\';
    }
    return out;
}

std::string Contents(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

bool Eventually(const std::function<bool()>& done, double seconds) {
    const auto until = Clock::now() + std::chrono::duration<double>(seconds);
    while (Clock::now() < until) {
        if (done()) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return done();
}

// A program; what it prints (output and errors) is read a line at a time. `environment`: this
// process's when empty.
class Program {
public:
    Program(std::vector<std::string> all, std::vector<std::string> environment,
            bool withInput = false) {
        int out[2];
        int in[2] = {-1, -1};
        if (::pipe2(out, O_CLOEXEC) != 0) return;
        if (withInput && ::pipe2(in, O_CLOEXEC) != 0) return;
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, out[1], 1);
        posix_spawn_file_actions_adddup2(&actions, out[1], 2);
        if (withInput) posix_spawn_file_actions_adddup2(&actions, in[0], 0);
        std::vector<char*> argv;
        for (std::string& a : all) argv.push_back(a.data());
        argv.push_back(nullptr);
        std::vector<char*> envp;
        for (std::string& e : environment) envp.push_back(e.data());
        envp.push_back(nullptr);
        if (posix_spawn(&pid_, argv[0], &actions, nullptr, argv.data(),
                        environment.empty() ? environ : envp.data()) != 0)
            pid_ = -1;
        posix_spawn_file_actions_destroy(&actions);
        ::close(out[1]);
        if (withInput) {
            ::close(in[0]);
            input_ = in[1];
        }
        // Wine's own processes may keep the output open after the program ended: the reader
        // stops when told, not at the end of the output.
        reader_ = std::thread([this, fd = out[0]] {
            std::string pending;
            char chunk[4096];
            while (!stop_) {
                pollfd p{fd, POLLIN, 0};
                if (::poll(&p, 1, 100) != 1) continue;
                const ssize_t got = ::read(fd, chunk, sizeof chunk);
                if (got <= 0) break;
                pending.append(chunk, static_cast<std::size_t>(got));
                std::size_t end;
                while ((end = pending.find('\n')) != std::string::npos) {
                    std::lock_guard lock(mutex_);
                    lines_.push_back(pending.substr(0, end));
                    pending.erase(0, end + 1);
                    said_.notify_all();
                }
            }
            ::close(fd);
        });
    }
    ~Program() {
        CloseInput();
        Signal(SIGKILL);
        Wait(10);
        stop_ = true;
        if (reader_.joinable()) reader_.join();
    }
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

    bool Said(const std::string& text, double seconds = 0) {
        std::unique_lock lock(mutex_);
        return said_.wait_for(lock, std::chrono::duration<double>(seconds),
                              [&] { return Count(text) > 0; });
    }
    int Times(const std::string& text) {
        std::lock_guard lock(mutex_);
        return Count(text);
    }
    std::string All() {
        std::lock_guard lock(mutex_);
        std::string all;
        for (const std::string& line : lines_) all += line + "\n";
        return all;
    }
    // The exit status, or -1 when it has not ended within `seconds`.
    int Wait(double seconds) {
        if (pid_ <= 0) return status_;
        const auto until = Clock::now() + std::chrono::duration<double>(seconds);
        do {
            int status = 0;
            if (::waitpid(pid_, &status, WNOHANG) == pid_) {
                pid_ = -1;
                status_ = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
                return status_;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        } while (Clock::now() < until);
        return -1;
    }
    void Signal(int signal) {
        if (pid_ > 0) ::kill(pid_, signal);
    }
    void Send(const std::string& line) {
        if (input_ >= 0) (void)!::write(input_, line.data(), line.size());
    }
    void CloseInput() {
        if (input_ >= 0) ::close(input_);
        input_ = -1;
    }

private:
    int Count(const std::string& text) const {
        int n = 0;
        for (const std::string& line : lines_) n += line.find(text) != std::string::npos;
        return n;
    }
    pid_t pid_ = -1;
    int status_ = -1;
    int input_ = -1;
    std::atomic<bool> stop_{false};
    std::thread reader_;
    std::mutex mutex_;
    std::condition_variable said_;
    std::vector<std::string> lines_;
};

// A Windows program under Wine.
class WineProgram : public Program {
public:
    explicit WineProgram(const std::vector<std::string>& arguments, bool withInput = false)
        : Program(WithWine(arguments), {}, withInput) {}

private:
    static std::vector<std::string> WithWine(const std::vector<std::string>& arguments) {
        std::vector<std::string> all = {std::getenv("WINE")};
        all.insert(all.end(), arguments.begin(), arguments.end());
        return all;
    }
};

// Whether a process runs (one that ended but was not reaped yet does not).
bool Runs(pid_t pid) {
    const std::string stat = Contents("/proc/" + std::to_string(pid) + "/stat");
    const std::size_t end = stat.rfind(')');
    return end != std::string::npos && end + 2 < stat.size() && stat[end + 2] != 'Z';
}

// The fake chat client, signed on, driven through its control program.
class FakeClient {
public:
    explicit FakeClient(const std::string& user)
        : control_({WindowsBin("fake-client-ctl.exe")}, true) {
        ready_ = control_.Said("ready", kStartSeconds);
        control_.Send("signon\x1F" + user + "\n");
        control_.Send("room\x1FLobby\n");
    }
    bool ready() const { return ready_; }
    void End() { control_.CloseInput(); }  // the client ends with its control's input
    int Wait(double seconds) { return control_.Wait(seconds); }

private:
    WineProgram control_;
    bool ready_ = false;
};

int Listener(std::uint16_t port) {
    const int s = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    int reuse = 1;
    ::setsockopt(s, SOL_SOCKET, SO_REUSEADDR, &reuse, sizeof reuse);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (::bind(s, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        ::listen(s, 8) != 0) {
        ::close(s);
        return -1;
    }
    return s;
}

std::uint16_t FreePort() {
    const int s = Listener(0);
    sockaddr_in address{};
    socklen_t length = sizeof address;
    ::getsockname(s, reinterpret_cast<sockaddr*>(&address), &length);
    ::close(s);
    return ntohs(address.sin_port);
}

int ConnectTo(std::uint16_t port) {
    const int s = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ::connect(s, reinterpret_cast<sockaddr*>(&address), sizeof address);
    return s;
}

class BridgeUnderWine : public ::testing::Test {
protected:
    void SetUp() override {
        MELODROP_NEED(std::getenv("WINE") && std::getenv("WINEPREFIX"),
                      "WINE and WINEPREFIX are not set: run under scripts/with-wine-prefix.sh");
        folder = fs::temp_directory_path() / ("melodrop-wine-bridge-" + std::to_string(getpid()));
        fs::create_directories(folder);
        fs::permissions(folder, fs::perms::owner_all, fs::perm_options::replace);
        tokenFile = (folder / "melodrop-bridge.token").string();
        port = FreePort();
    }
    void TearDown() override {
        if (!folder.empty()) fs::remove_all(folder);
    }

    std::unique_ptr<WineProgram> StartBridge() {
        return std::make_unique<WineProgram>(
            std::vector<std::string>{WindowsBin("melodrop-bridge.exe"), "--port",
                                     std::to_string(port), "--token-file", WinePath(tokenFile)});
    }
    aol::RemoteOptions Options() {
        aol::RemoteOptions options;
        options.port = port;
        options.tokenFile = tokenFile;
        options.retrySeconds = 0.1;
        return options;
    }
    // Asks until the link has the wanted state (Wine can be slow to start a program).
    static bool LinkIs(aol::RemoteWindowSystem& remote, aol::LinkState state, double seconds) {
        return Eventually(
            [&] {
                remote.FindWindowA("AOL Frame25", nullptr);
                remote.Drain();
                return remote.status().state == state;
            },
            seconds);
    }

    fs::path folder;
    std::string tokenFile;
    std::uint16_t port = 0;
};

TEST_F(BridgeUnderWine, TheBridgesOwnTestsPassOnRealWindows) {
    WineProgram units({WindowsBin("bridge_win32_tests.exe"), "--gtest_color=no"});
    EXPECT_EQ(units.Wait(300), 0) << units.All();
    std::printf("%s", units.All().c_str());
}

TEST_F(BridgeUnderWine, TheTokenIsTheUsersAloneAndEndsWithTheBridge) {
    auto bridge = StartBridge();
    ASSERT_TRUE(bridge->Said("listening on 127.0.0.1:" + std::to_string(port), kStartSeconds))
        << bridge->All();
    struct stat st {};
    ASSERT_EQ(::stat(tokenFile.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0600u);
    EXPECT_EQ(st.st_uid, ::geteuid());
    const std::string first = Contents(tokenFile);
    EXPECT_EQ(first.size(), bridge::kTokenChars);
    EXPECT_EQ(fs::directory_iterator(folder)->path().filename(), "melodrop-bridge.token");

    aol::RemoteWindowSystem remote(Options());
    EXPECT_TRUE(LinkIs(remote, aol::LinkState::NoClient, 10)) << remote.status().text;
    EXPECT_TRUE(bridge->Said("melodrop connected", 5)) << bridge->All();

    // Ended by a signal it cannot catch under Wine: the watcher removes the token.
    bridge->Signal(SIGTERM);
    EXPECT_NE(bridge->Wait(10), -1);
    EXPECT_TRUE(Eventually([&] { return !fs::exists(tokenFile); }, 10));

    // A new token at every start; Ctrl-C ends the bridge and its token.
    auto again = StartBridge();
    ASSERT_TRUE(again->Said("listening", kStartSeconds)) << again->All();
    EXPECT_NE(Contents(tokenFile), first);
    EXPECT_TRUE(LinkIs(remote, aol::LinkState::NoClient, 10)) << remote.status().text;
    again->Signal(SIGINT);
    EXPECT_TRUE(again->Said("stopped; the token is removed", 10)) << again->All();
    EXPECT_EQ(again->Wait(10), 0);
    EXPECT_FALSE(fs::exists(tokenFile));
}

TEST_F(BridgeUnderWine, ATokenFolderOthersCanUseIsRefusedAndNothingOfTheUsersIsTouched) {
    fs::permissions(folder, fs::perms::owner_all | fs::perms::others_read | fs::perms::others_exec,
                    fs::perm_options::replace);
    auto shared = StartBridge();
    EXPECT_EQ(shared->Wait(kStartSeconds), 1);
    EXPECT_TRUE(shared->Said("may use the folder")) << shared->All();
    EXPECT_TRUE(shared->Said("chmod 700")) << shared->All();
    EXPECT_TRUE(fs::is_empty(folder));

    fs::permissions(folder, fs::perms::owner_all, fs::perm_options::replace);

    // A link planted under the token's name: replaced, and the file it named left alone.
    const std::string notes = (folder / "notes.txt").string();
    std::ofstream(notes) << "the user's own notes\n";
    fs::create_symlink(notes, tokenFile);
    auto bridge = StartBridge();
    ASSERT_TRUE(bridge->Said("listening", kStartSeconds)) << bridge->All();
    EXPECT_EQ(Contents(notes), "the user's own notes\n");
    EXPECT_TRUE(fs::is_regular_file(fs::symlink_status(tokenFile)));
    struct stat st {};
    ASSERT_EQ(::stat(tokenFile.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0600u);
}

TEST_F(BridgeUnderWine, ATokenFolderOfAnotherUserIsRefused) {
    MELODROP_NEED(::geteuid() == 0, "giving the folder to another user needs root");
    ASSERT_EQ(::chown(folder.c_str(), kNobody, static_cast<gid_t>(-1)), 0);
    auto foreign = StartBridge();
    EXPECT_EQ(foreign->Wait(kStartSeconds), 1);
    EXPECT_TRUE(foreign->Said("is not yours")) << foreign->All();
    EXPECT_TRUE(fs::is_empty(folder));
    ASSERT_EQ(::chown(folder.c_str(), ::geteuid(), static_cast<gid_t>(-1)), 0);
}

// A program took the port of a bridge that ended, whose token file stayed behind: a bridge
// started now says it cannot listen and leaves that file alone; melodrop finds that what
// listens is not its bridge and gives it nothing derived from the token.
TEST_F(BridgeUnderWine, AStaleTokenAndASquatterOnThePortGiveNothingAway) {
    auto first = StartBridge();
    ASSERT_TRUE(first->Said("listening", kStartSeconds)) << first->All();
    const std::string stale = Contents(tokenFile);
    first->Signal(SIGKILL);
    first->Wait(10);
    // Its watcher removes the token; had the watcher been killed too (`wineserver -k`), the
    // token would have stayed: so it is put back.
    ASSERT_TRUE(Eventually([&] { return !fs::exists(tokenFile); }, 10));
    std::ofstream(tokenFile, std::ios::trunc) << stale;
    fs::permissions(tokenFile, fs::perms::owner_read | fs::perms::owner_write,
                    fs::perm_options::replace);

    const int squatter = Listener(port);
    ASSERT_GE(squatter, 0);
    auto second = StartBridge();
    EXPECT_EQ(second->Wait(kStartSeconds), 1);
    EXPECT_TRUE(second->Said("cannot listen on 127.0.0.1:" + std::to_string(port)))
        << second->All();
    EXPECT_EQ(Contents(tokenFile), stale);

    std::string received;
    std::thread squat([&] {
        const int s = ::accept(squatter, nullptr, nullptr);
        timeval wait{3, 0};
        ::setsockopt(s, SOL_SOCKET, SO_RCVTIMEO, &wait, sizeof wait);
        char chunk[4096];
        ssize_t got;
        while ((got = ::recv(s, chunk, sizeof chunk, 0)) > 0)
            received.append(chunk, static_cast<std::size_t>(got));
        ::close(s);
    });
    aol::RemoteWindowSystem remote(Options());
    EXPECT_EQ(remote.FindWindowA("AOL Frame25", nullptr), 0u);
    squat.join();
    ::close(squatter);
    EXPECT_EQ(remote.status().state, aol::LinkState::Refused);
    EXPECT_NE(remote.status().text.find("is not melodrop-bridge"), std::string::npos)
        << remote.status().text;
    std::string hello;
    ASSERT_EQ(bridge::TakeFrame(received, hello, bridge::kMaxRequestBytes), 1);
    EXPECT_TRUE(received.empty());  // nothing after the Hello
    EXPECT_EQ(hello.find(stale), std::string::npos);
}

TEST_F(BridgeUnderWine, StarvingLoopsDoNotKeepMelodropOut) {
    auto bridge = StartBridge();
    ASSERT_TRUE(bridge->Said("listening", kStartSeconds)) << bridge->All();
    std::atomic<bool> stop{false};
    std::vector<std::thread> loops;
    for (int i = 0; i < 3; ++i) {
        loops.emplace_back([&] {
            while (!stop) {
                const int s = ConnectTo(port);
                for (int t = 0; t < 19 && !stop; ++t)
                    std::this_thread::sleep_for(std::chrono::milliseconds(100));
                ::close(s);
            }
        });
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    aol::RemoteWindowSystem remote(Options());
    const auto t0 = Clock::now();
    const bool in = LinkIs(remote, aol::LinkState::NoClient, 3);
    const double took = std::chrono::duration<double>(Clock::now() - t0).count();
    std::this_thread::sleep_for(std::chrono::seconds(4));
    stop = true;
    for (std::thread& t : loops) t.join();
    EXPECT_TRUE(in) << remote.status().text << "\n" << bridge->All();
    std::printf("melodrop connected %.2f s after it began trying\n", took);
    // The loops' refusals, some six a second, are told at most once a second.
    EXPECT_LE(bridge->Times("refused"), 6) << bridge->All();
}

TEST_F(BridgeUnderWine, ASecondProgramsFrameWindowIsPassedOverAndReported) {
    FakeClient client("Bob");
    ASSERT_TRUE(client.ready());
    auto bridge = StartBridge();
    ASSERT_TRUE(bridge->Said("chat client found (process ", kStartSeconds)) << bridge->All();
    aol::RemoteWindowSystem remote(Options());
    ASSERT_TRUE(LinkIs(remote, aol::LinkState::Connected, 10)) << remote.status().text;
    const std::uint32_t process = remote.status().clientProcess;

    FakeClient lookAlike("Mallory");  // a second program with a frame of the client's class
    ASSERT_TRUE(lookAlike.ready());
    EXPECT_TRUE(bridge->Said("passing over an \"AOL Frame25\" window of process ", 10))
        << bridge->All();
    std::this_thread::sleep_for(std::chrono::seconds(3));
    EXPECT_EQ(bridge->Times("passing over"), 1) << bridge->All();
    std::uint32_t owner = 0;
    remote.GetWindowThreadProcessId(remote.FindWindowA("AOL Frame25", nullptr), &owner);
    EXPECT_EQ(owner, process);
    EXPECT_EQ(remote.status().clientProcess, process);

    // The client ends: the other program's process is taken now, and both sides say so.
    client.End();
    EXPECT_TRUE(bridge->Said("the chat client is now process ", 20)) << bridge->All();
    EXPECT_TRUE(Eventually(
        [&] {
            remote.Drain();
            return remote.status().state == aol::LinkState::Connected &&
                   remote.status().clientProcess != process;
        },
        10))
        << remote.status().text;
}

// `melodrop --client wine` as a user starts it, with only wine64 on the PATH: the bridge runs in
// the prefix with its token in the runtime folder (one of its port's, as the port is not the
// default one), and the link's state is on the error output.
// Killed (nothing of melodrop runs after SIGKILL), melodrop takes the bridge and its token along
// within seconds.
TEST_F(BridgeUnderWine, MelodropStartsTheBridgeAndTakesItAlongWhenKilled) {
    const fs::path bin = folder / "bin";
    fs::create_directories(bin);
    fs::create_symlink(std::getenv("WINE"), bin / "wine64");
    std::vector<std::string> environment = {
        "PATH=" + bin.string() + ":/usr/bin:/bin", "XDG_RUNTIME_DIR=" + folder.string(),
        "HOME=" + folder.string(), "QT_QPA_PLATFORM=offscreen", "SDL_AUDIODRIVER=dummy"};
    for (char** e = environ; *e; ++e) {
        const std::string entry = *e;
        const bool replaced = entry.rfind("PATH=", 0) == 0 || entry.rfind("WINE=", 0) == 0 ||
                              entry.rfind("HOME=", 0) == 0 || entry.rfind("XDG_", 0) == 0 ||
                              entry.rfind("QT_QPA_PLATFORM=", 0) == 0 ||
                              entry.rfind("SDL_AUDIODRIVER=", 0) == 0;
        if (!replaced) environment.push_back(entry);
    }
    // The welcome box waits for an answer meanwhile: the program runs, its player not yet shown.
    Program melodrop({MELODROP_PROGRAM, "--client", "wine", "--bridge-port", std::to_string(port)},
                     environment);
    ASSERT_TRUE(melodrop.Said("melodrop-bridge: listening on 127.0.0.1:" + std::to_string(port),
                              kStartSeconds))
        << melodrop.All();
    const std::string all = melodrop.All();
    const std::string started = "melodrop: started melodrop-bridge.exe (process ";
    ASSERT_NE(all.find(started), std::string::npos) << all;
    const pid_t bridge = std::stoi(all.substr(all.find(started) + started.size()));
    EXPECT_NE(all.find("with " + (bin / "wine64").string() + " in the Wine prefix " +
                       std::getenv("WINEPREFIX")),
              std::string::npos)
        << all;
    // The link's states as they change: waiting for the bridge, then connected (to the chat
    // client, or not: a client of an earlier test may still run in the prefix).
    EXPECT_TRUE(
        melodrop.Said("melodrop: waiting for melodrop-bridge on 127.0.0.1:" + std::to_string(port)))
        << all;
    EXPECT_TRUE(melodrop.Said("melodrop-bridge: melodrop connected", 10)) << melodrop.All();
    EXPECT_TRUE(melodrop.Said("through melodrop-bridge on 127.0.0.1:" + std::to_string(port)) ||
                melodrop.Said("melodrop-bridge on 127.0.0.1:" + std::to_string(port) +
                              " is running, but the chat client is not found"))
        << melodrop.All();
    const fs::path token = folder / ("melodrop-bridge-" + std::to_string(port) + ".token");
    EXPECT_TRUE(fs::exists(token));
    EXPECT_TRUE(Runs(bridge));

    const auto t0 = Clock::now();
    melodrop.Signal(SIGKILL);
    EXPECT_NE(melodrop.Wait(10), -1);
    EXPECT_TRUE(Eventually([&] { return !Runs(bridge) && !fs::exists(token); }, 5))
        << melodrop.All();
    std::printf("the bridge and its token were gone %.2f s after melodrop was killed\n",
                std::chrono::duration<double>(Clock::now() - t0).count());
}

}  // namespace
