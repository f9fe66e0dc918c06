#pragma once
// The real window system: every call forwards to its user32/kernel32 namesake (the "A" forms,
// single-byte text in the system code page). Built only for Windows (32 and 64 bit).
#include "aol/WindowSystem.h"

namespace aol {

class Win32WindowSystem : public WindowSystem {
public:
    Hwnd FindWindowA(const char* className, const char* caption) override;
    Hwnd FindWindowExA(Hwnd parent, Hwnd childAfter, const char* className,
                       const char* caption) override;
    bool SendMessageTimeoutA(Hwnd window, std::uint32_t message, std::uintptr_t wParam,
                             std::intptr_t lParam, std::uint32_t flags, std::uint32_t timeoutMs,
                             std::intptr_t* result) override;
    bool PostMessageA(Hwnd window, std::uint32_t message, std::uintptr_t wParam,
                      std::intptr_t lParam) override;
    int GetWindowTextLengthA(Hwnd window) override;
    int GetWindowTextA(Hwnd window, char* buffer, int maxCount) override;
    std::uint32_t GetWindowThreadProcessId(Hwnd window, std::uint32_t* processId) override;
    ProcessHandle OpenProcess(std::uint32_t access, bool inheritHandle,
                              std::uint32_t processId) override;
    bool ReadProcessMemory(ProcessHandle process, std::uint64_t address, void* buffer,
                           std::size_t size, std::size_t* bytesRead) override;
    bool CloseHandle(ProcessHandle handle) override;
};

}  // namespace aol
