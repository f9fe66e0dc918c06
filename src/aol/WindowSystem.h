#pragma once
// The window-system calls the chat-client module needs, mirroring their Win32 namesakes so that
// one implementation can forward to user32/kernel32 and another can simulate the client.
#include <cstddef>
#include <cstdint>

namespace aol {

using Hwnd = std::uint32_t;            // 0 means "no such window"
using ProcessHandle = std::uintptr_t;  // 0 means "could not open"

// Window messages and parameters used to drive the client.
inline constexpr std::uint32_t WM_SETTEXT = 0x000C;
inline constexpr std::uint32_t WM_CLOSE = 0x0010;
inline constexpr std::uint32_t WM_KEYDOWN = 0x0100;
inline constexpr std::uint32_t WM_KEYUP = 0x0101;
inline constexpr std::uint32_t WM_CHAR = 0x0102;
inline constexpr std::uint32_t WM_SYSCOMMAND = 0x0112;
inline constexpr std::uint32_t WM_LBUTTONDOWN = 0x0201;
inline constexpr std::uint32_t WM_LBUTTONUP = 0x0202;
inline constexpr std::uint32_t WM_LBUTTONDBLCLK = 0x0203;
inline constexpr std::uint32_t LB_SETCURSEL = 0x0186;
inline constexpr std::uint32_t LB_GETCOUNT = 0x018B;
inline constexpr std::uint32_t LB_GETITEMDATA = 0x0199;
inline constexpr std::uint32_t BM_GETCHECK = 0x00F0;
inline constexpr std::uintptr_t VK_RETURN_CHAR = 0x0D;
inline constexpr std::uintptr_t VK_SPACE = 0x20;
inline constexpr std::uint32_t PROCESS_READ_ACCESS = 0x000F0010;

class WindowSystem {
public:
    virtual ~WindowSystem() = default;

    // className / caption may be nullptr, meaning "any".
    virtual Hwnd FindWindowA(const char* className, const char* caption) = 0;
    // First child of parent after childAfter (0: from the first child) matching class and caption.
    virtual Hwnd FindWindowExA(Hwnd parent, Hwnd childAfter, const char* className,
                               const char* caption) = 0;
    // For WM_SETTEXT, lParam is the address of a NUL-ended single-byte text.
    virtual std::intptr_t SendMessageA(Hwnd window, std::uint32_t message, std::uintptr_t wParam,
                                       std::intptr_t lParam) = 0;
    virtual bool PostMessageA(Hwnd window, std::uint32_t message, std::uintptr_t wParam,
                              std::intptr_t lParam) = 0;
    virtual int GetWindowTextLengthA(Hwnd window) = 0;
    // Copies at most maxCount - 1 bytes and a NUL; returns the number of bytes copied.
    virtual int GetWindowTextA(Hwnd window, char* buffer, int maxCount) = 0;
    virtual std::uint32_t GetWindowThreadProcessId(Hwnd window, std::uint32_t* processId) = 0;
    virtual ProcessHandle OpenProcess(std::uint32_t access, bool inheritHandle,
                                      std::uint32_t processId) = 0;
    virtual bool ReadProcessMemory(ProcessHandle process, std::uint64_t address, void* buffer,
                                   std::size_t size, std::size_t* bytesRead) = 0;
    virtual bool CloseHandle(ProcessHandle handle) = 0;
};

}  // namespace aol
