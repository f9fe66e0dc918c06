// The bridge's guard: only the chat client's own windows and memory are within reach.
#include "bridge/service/ClientGuard.h"

#include <gtest/gtest.h>

#include "aol/ClientWindows.h"
#include "aol/sim/SimClient.h"
#include "bridge/protocol/BridgeProtocol.h"

namespace bridge {
namespace {

// The simulated client plus another program's top-level windows, first in Z order: one that
// looks like the client's alert, and a frame window like the client's once shown.
class WithAnotherProgram : public aol::WindowSystem {
public:
    static constexpr aol::Hwnd kForeign = 0x7770;
    static constexpr aol::Hwnd kForeignFrame = 0x7780;
    static constexpr std::uint32_t kForeignProcess = 0xBEEF;
    explicit WithAnotherProgram(aol::sim::SimClient& sim) : sim_(sim) {}

    aol::Hwnd FindWindowA(const char* c, const char* t) override {
        return FindWindowExA(0, 0, c, t);
    }
    aol::Hwnd FindWindowExA(aol::Hwnd p, aol::Hwnd a, const char* c, const char* t) override {
        const std::string wanted = c ? c : "";
        if (p == 0 && a == kForeign && foreignGone) return 0;  // as Windows answers after a window
        if (p == 0 && a == 0 && wanted == "#32770" && !foreignGone) return kForeign;
        if (p == 0 && a == 0 && wanted == "AOL Frame25" && frameShown) return kForeignFrame;
        if (p == 0 && (a == kForeign || a == kForeignFrame)) return sim_.FindWindowExA(0, 0, c, t);
        if (p == kForeignFrame) return 0;
        return sim_.FindWindowExA(p, a, c, t);
    }
    bool SendMessageTimeoutA(aol::Hwnd w, std::uint32_t m, std::uintptr_t wp, std::intptr_t lp,
                             std::uint32_t f, std::uint32_t t, std::intptr_t* r) override {
        lastFlags = f;
        lastTimeout = t;
        if (w == kForeign || w == kForeignFrame) ++foreignMessages;
        return sim_.SendMessageTimeoutA(w, m, wp, lp, f, t, r);
    }
    bool PostMessageA(aol::Hwnd w, std::uint32_t m, std::uintptr_t wp, std::intptr_t lp) override {
        if (w == kForeign || w == kForeignFrame) ++foreignMessages;
        return sim_.PostMessageA(w, m, wp, lp);
    }
    int GetWindowTextLengthA(aol::Hwnd w) override { return sim_.GetWindowTextLengthA(w); }
    int GetWindowTextA(aol::Hwnd w, char* b, int n) override {
        return sim_.GetWindowTextA(w, b, n);
    }
    std::uint32_t GetWindowThreadProcessId(aol::Hwnd w, std::uint32_t* pid) override {
        ++processQueries;
        if (w == kForeign && foreignGone) return 0;
        if (w == kForeign && foreignClosesWhenAsked) foreignGone = true;  // closing under the walk
        if (w == kForeign || w == kForeignFrame) {
            if (pid) *pid = kForeignProcess;
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

    bool frameShown = false;
    bool foreignClosesWhenAsked = false;
    bool foreignGone = false;
    std::uint32_t openedWith = 0;
    int foreignMessages = 0;
    int processQueries = 0;
    std::uint32_t lastFlags = 0;
    std::uint32_t lastTimeout = 0;

private:
    aol::sim::SimClient& sim_;
};

class Guard : public ::testing::Test {
protected:
    Guard() {
        sim.signOn("Bob");
        sim.openRoom("Lobby");
        sim.memberJoins("Alice");
        guard.Refresh();
    }
    aol::sim::SimClient sim;
    WithAnotherProgram windows{sim};
    ClientGuard guard{windows};
};

TEST_F(Guard, OtherProgramsWindowsAreNotThere) {
    EXPECT_EQ(guard.FindWindowA("#32770", "America Online"), 0u);  // passed over, none of ours
    sim.showAlertNow("hello");
    const aol::Hwnd alert = guard.FindWindowA("#32770", "America Online");
    EXPECT_NE(alert, 0u);
    EXPECT_NE(alert, WithAnotherProgram::kForeign);
    std::intptr_t result = 0;
    EXPECT_FALSE(guard.SendMessageTimeoutA(WithAnotherProgram::kForeign, aol::kWmClose, 0, 0, 0,
                                           100, &result));
    EXPECT_FALSE(guard.PostMessageA(WithAnotherProgram::kForeign, aol::kWmClose, 0, 0));
    EXPECT_EQ(guard.FindWindowExA(WithAnotherProgram::kForeign, 0, nullptr, nullptr), 0u);
    EXPECT_EQ(windows.foreignMessages, 0);
    // Another program's window that closes while the lookup passes over it does not hide ours.
    windows.foreignClosesWhenAsked = true;
    EXPECT_EQ(guard.FindWindowA("#32770", "America Online"), alert);
}

TEST_F(Guard, OnlyPlainMessagesAndAlwaysBounded) {
    const aol::Hwnd list = aol::client::RoomMemberList(guard, aol::client::FindRoom(guard));
    std::intptr_t result = 0;
    EXPECT_TRUE(guard.SendMessageTimeoutA(list, aol::kLbGetCount, 0, 0, 0, 60000, &result));
    EXPECT_EQ(result, 2);
    EXPECT_EQ(windows.lastTimeout, kMaxTimeoutMs);
    EXPECT_TRUE(windows.lastFlags & aol::kSmtoAbortIfHung);
    EXPECT_FALSE(guard.SendMessageTimeoutA(list, 0x004A, 0, 0, 0, 100, &result));  // WM_COPYDATA
    EXPECT_FALSE(guard.SendMessageTimeoutA(list, aol::kLbGetCount, 0, 0x1234, 0, 100, &result));
    EXPECT_FALSE(guard.PostMessageA(list, aol::kWmLButtonDblClk, 0, 0x1234));
}

TEST_F(Guard, OnlyTheClientsMemoryAndOnlyToRead) {
    std::uint32_t pid = 0;
    guard.GetWindowThreadProcessId(aol::client::FindRoom(guard), &pid);
    ASSERT_NE(pid, 0u);
    EXPECT_EQ(
        guard.OpenProcess(aol::kProcessReadAccess, false, WithAnotherProgram::kForeignProcess), 0u);
    EXPECT_EQ(guard.OpenProcess(0x001F0FFF, false, pid), 0u);  // all access
    const aol::ProcessHandle h = guard.OpenProcess(aol::kProcessReadAccess, false, pid);
    ASSERT_NE(h, 0u);
    EXPECT_EQ(windows.openedWith, 0x0010u);  // PROCESS_VM_READ, nothing more
    std::vector<char> big(kMaxReadBytes + 1);
    std::size_t got = 0;
    EXPECT_FALSE(guard.ReadProcessMemory(h, 0x01A40000, big.data(), big.size(), &got));
    EXPECT_FALSE(guard.ReadProcessMemory(h + 100, 0x01A40000, big.data(), 4, &got));
    EXPECT_EQ(sim.openProcessHandles(), 1);
    guard.CloseAll();  // the connection ended
    EXPECT_EQ(sim.openProcessHandles(), 0);
}

// Requests close together trust what the one before found; a client that quit is noticed once
// the trust ends, and a window never found before is always checked.
TEST_F(Guard, RequestsCloseTogetherTrustTheLastLookUp) {
    double now = 50.0;
    ASSERT_NE(guard.RefreshIfStale(now), 0u);
    const aol::Hwnd room = aol::client::FindRoom(guard);
    ASSERT_NE(room, 0u);
    windows.processQueries = 0;
    EXPECT_NE(guard.RefreshIfStale(now += 0.1), 0u);
    EXPECT_EQ(aol::client::Send(guard, room, aol::kWmGetTextLength).has_value(), true);
    EXPECT_EQ(windows.processQueries, 0);
    // A window of another program is still refused within the trust.
    EXPECT_FALSE(guard.PostMessageA(WithAnotherProgram::kForeign, aol::kWmClose, 0, 0));
    EXPECT_EQ(windows.foreignMessages, 0);

    sim.quit();
    EXPECT_FALSE(aol::client::Send(guard, room, aol::kWmGetTextLength).has_value());
    EXPECT_EQ(guard.RefreshIfStale(now += ClientGuard::kTrustSeconds), 0u);
    EXPECT_EQ(guard.FindWindowA("AOL Frame25", nullptr), 0u);
}

// The client is the process of the frame first found, for as long as it runs: another
// program's frame in front of it is passed over and reported once.
TEST_F(Guard, ALookAlikeFrameDoesNotTakeTheClientsPlace) {
    windows.frameShown = true;
    EXPECT_EQ(guard.Refresh(), aol::sim::SimClient::kProcessId);
    const aol::Hwnd frame = guard.FindWindowA("AOL Frame25", nullptr);
    EXPECT_NE(frame, 0u);
    EXPECT_NE(frame, WithAnotherProgram::kForeignFrame);
    EXPECT_NE(aol::client::FindRoom(guard), 0u);
    EXPECT_FALSE(guard.PostMessageA(WithAnotherProgram::kForeignFrame, aol::kWmClose, 0, 0));
    EXPECT_EQ(windows.foreignMessages, 0);
    std::vector<std::string> said;
    const auto say = [&](const std::string& line) { said.push_back(line); };
    guard.ReportLookAlikes(say);
    guard.ReportLookAlikes(say);
    ASSERT_EQ(said.size(), 1u);
    EXPECT_EQ(said[0],
              "passing over an \"AOL Frame25\" window of process 48879: the chat client "
              "is process 3900");
    // Only when the client's process has ended is another taken.
    sim.quit();
    EXPECT_EQ(guard.Refresh(), WithAnotherProgram::kForeignProcess);
}

// Told by the system that the client's process still runs, the guard keeps to it even while it
// shows no frame.
TEST_F(Guard, TheClientIsKeptWhileItsProcessRuns) {
    bool runs = true;
    ClientGuard told(windows, [&](std::uint32_t) { return runs ? 1 : 0; });
    EXPECT_EQ(told.Refresh(), aol::sim::SimClient::kProcessId);
    windows.frameShown = true;
    sim.quit();
    EXPECT_EQ(told.Refresh(), aol::sim::SimClient::kProcessId);
    runs = false;
    EXPECT_EQ(told.Refresh(), WithAnotherProgram::kForeignProcess);
}

TEST_F(Guard, NoClientNoWindows) {
    sim.quit();
    EXPECT_EQ(guard.Refresh(), 0u);
    EXPECT_EQ(guard.FindWindowA("AOL Frame25", nullptr), 0u);
    EXPECT_EQ(guard.OpenProcess(aol::kProcessReadAccess, false, aol::sim::SimClient::kProcessId),
              0u);
}

}  // namespace
}  // namespace bridge
