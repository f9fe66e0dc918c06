// The bridge's Windows side on real Win32 windows (under wine64): the HMAC of Windows CNG against
// RFC 4231, the chat client's process opened to read its memory only, and a frame window of a
// second program that does not take the client's place.
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
// windows.h first
#include <winternl.h>

#include <gtest/gtest.h>

#include "aol/win32/Win32WindowSystem.h"
#include "bridge/Rfc4231.h"
#include "bridge/protocol/Handshake.h"
#include "bridge/service/ClientGuard.h"
#include "driver/FakeClientProcess.h"

namespace bridge {
namespace {

// The rights a handle was granted, as the system keeps them.
ACCESS_MASK GrantedAccess(HANDLE handle) {
    PUBLIC_OBJECT_BASIC_INFORMATION info{};
    ULONG length = 0;
    if (NtQueryObject(handle, ObjectBasicInformation, &info, sizeof info, &length) != 0) return 0;
    return info.GrantedAccess;
}

// The fake client's process, once its frame window is up.
void StartClient() {
    wintest::FakeClientProcess::shared();
    for (int i = 0; i < 500 && !FindWindowA("AOL Frame25", nullptr); ++i) Sleep(10);
}

// The real window system, keeping the process handles it gives out.
class Recording : public aol::Win32WindowSystem {
public:
    aol::ProcessHandle OpenProcess(std::uint32_t access, bool inherit,
                                   std::uint32_t process) override {
        last = aol::Win32WindowSystem::OpenProcess(access, inherit, process);
        return last;
    }
    aol::ProcessHandle last = 0;
};

TEST(BridgeOnWindows, CngHmacSha256MeetsRfc4231) {
    for (const testing::HmacVector& v : testing::Rfc4231Vectors()) {
        const std::optional<Digest> mac = HmacSha256(v.key, v.data);
        ASSERT_TRUE(mac);
        EXPECT_EQ(testing::ToHex(mac->data(), mac->size()).substr(0, v.macHex.size()), v.macHex);
    }
    EXPECT_NE(MakeNonce().value(), MakeNonce().value());  // BCryptGenRandom
}

TEST(BridgeOnWindows, TheClientsProcessIsOpenedToReadItsMemoryOnly) {
    StartClient();
    Recording windows;
    ClientGuard guard(windows);
    const std::uint32_t client = guard.Refresh();
    ASSERT_NE(client, 0u);
    const aol::ProcessHandle ours = guard.OpenProcess(aol::kProcessReadAccess, false, client);
    ASSERT_NE(ours, 0u);
    const ACCESS_MASK granted = GrantedAccess(reinterpret_cast<HANDLE>(windows.last));
    std::printf("the client's process opened with 0x%08lX\n", granted);
    EXPECT_EQ(granted, static_cast<ACCESS_MASK>(PROCESS_VM_READ));
    // And a memory read works with it: the page every Windows process has at 0x7FFE0000 (the
    // system's shared data), while page zero, unmapped, reads nothing.
    char bytes[16] = {};
    std::size_t got = 0;
    EXPECT_TRUE(guard.ReadProcessMemory(ours, 0x7FFE0000, bytes, sizeof bytes, &got));
    EXPECT_EQ(got, sizeof bytes);
    EXPECT_FALSE(guard.ReadProcessMemory(ours, 0, bytes, 1, &got));
    guard.CloseAll();
}

LRESULT CALLBACK PlainWindow(HWND w, UINT message, WPARAM wp, LPARAM lp) {
    return DefWindowProcA(w, message, wp, lp);
}

TEST(BridgeOnWindows, ASecondProgramsFrameWindowDoesNotTakeTheClientsPlace) {
    StartClient();
    aol::Win32WindowSystem windows;
    ClientGuard guard(windows);
    const std::uint32_t client = guard.Refresh();
    ASSERT_NE(client, 0u);
    ASSERT_NE(client, GetCurrentProcessId());
    // This program shows a bare frame window of the client's class, in front of the client's.
    WNDCLASSEXA wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = PlainWindow;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "AOL Frame25";
    RegisterClassExA(&wc);
    const HWND lookAlike = CreateWindowExA(0, "AOL Frame25", "America  Online", WS_OVERLAPPEDWINDOW,
                                           0, 0, 100, 100, nullptr, nullptr, wc.hInstance, nullptr);
    ASSERT_NE(lookAlike, nullptr);
    ShowWindow(lookAlike, SW_SHOW);
    SetWindowPos(lookAlike, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    ASSERT_EQ(FindWindowA("AOL Frame25", nullptr), lookAlike);  // what the system finds first

    EXPECT_EQ(guard.Refresh(), client);
    const aol::Hwnd frame = guard.FindWindowA("AOL Frame25", nullptr);
    EXPECT_NE(frame, 0u);
    EXPECT_NE(frame, static_cast<aol::Hwnd>(reinterpret_cast<std::uintptr_t>(lookAlike)));
    EXPECT_FALSE(guard.PostMessageA(
        static_cast<aol::Hwnd>(reinterpret_cast<std::uintptr_t>(lookAlike)), aol::kWmClose, 0, 0));
    std::vector<std::string> said;
    guard.ReportLookAlikes([&](const std::string& line) { said.push_back(line); });
    guard.ReportLookAlikes([&](const std::string& line) { said.push_back(line); });
    ASSERT_EQ(said.size(), 1u);
    EXPECT_NE(said[0].find("process " + std::to_string(GetCurrentProcessId()) +
                           ": the chat client is process " + std::to_string(client)),
              std::string::npos)
        << said[0];
    DestroyWindow(lookAlike);
}

}  // namespace
}  // namespace bridge
