// <windows.h> first: the module's own names do not clash with its macros.
#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include "aol/win32/Win32WindowSystem.h"

#include <limits>

namespace aol {
namespace {

// Window handles are 32-bit values on every Windows (64-bit processes share them with 32-bit
// ones), so they round-trip through Hwnd; widening sign-extends, as LongToHandle does.
HWND ToHwnd(Hwnd w) {
    return reinterpret_cast<HWND>(static_cast<std::intptr_t>(static_cast<std::int32_t>(w)));
}
Hwnd FromHwnd(HWND w) {
    return static_cast<Hwnd>(reinterpret_cast<std::uintptr_t>(w));
}
HANDLE ToHandle(ProcessHandle h) {
    return reinterpret_cast<HANDLE>(h);
}

}  // namespace

Hwnd Win32WindowSystem::FindWindowA(const char* className, const char* caption) {
    return FromHwnd(::FindWindowA(className, caption));
}

Hwnd Win32WindowSystem::FindWindowExA(Hwnd parent, Hwnd childAfter, const char* className,
                                      const char* caption) {
    return FromHwnd(::FindWindowExA(ToHwnd(parent), ToHwnd(childAfter), className, caption));
}

bool Win32WindowSystem::SendMessageTimeoutA(Hwnd window, std::uint32_t message,
                                            std::uintptr_t wParam, std::intptr_t lParam,
                                            std::uint32_t flags, std::uint32_t timeoutMs,
                                            std::intptr_t* result) {
    DWORD_PTR answer = 0;
    const LRESULT ok =
        ::SendMessageTimeoutA(ToHwnd(window), message, static_cast<WPARAM>(wParam),
                              static_cast<LPARAM>(lParam), flags, timeoutMs, &answer);
    if (result) *result = ok != 0 ? static_cast<std::intptr_t>(answer) : 0;
    return ok != 0;
}

bool Win32WindowSystem::PostMessageA(Hwnd window, std::uint32_t message, std::uintptr_t wParam,
                                     std::intptr_t lParam) {
    return ::PostMessageA(ToHwnd(window), message, static_cast<WPARAM>(wParam),
                          static_cast<LPARAM>(lParam)) != FALSE;
}

int Win32WindowSystem::GetWindowTextLengthA(Hwnd window) {
    return ::GetWindowTextLengthA(ToHwnd(window));
}

int Win32WindowSystem::GetWindowTextA(Hwnd window, char* buffer, int maxCount) {
    return ::GetWindowTextA(ToHwnd(window), buffer, maxCount);
}

std::uint32_t Win32WindowSystem::GetWindowThreadProcessId(Hwnd window, std::uint32_t* processId) {
    DWORD pid = 0;
    const DWORD thread = ::GetWindowThreadProcessId(ToHwnd(window), &pid);
    if (processId) *processId = pid;
    return thread;
}

ProcessHandle Win32WindowSystem::OpenProcess(std::uint32_t access, bool inheritHandle,
                                             std::uint32_t processId) {
    return reinterpret_cast<ProcessHandle>(
        ::OpenProcess(access, inheritHandle ? TRUE : FALSE, processId));
}

bool Win32WindowSystem::ReadProcessMemory(ProcessHandle process, std::uint64_t address,
                                          void* buffer, std::size_t size, std::size_t* bytesRead) {
    if (bytesRead) *bytesRead = 0;
    if (address > std::numeric_limits<std::uintptr_t>::max()) return false;
    SIZE_T got = 0;
    const BOOL ok = ::ReadProcessMemory(
        ToHandle(process), reinterpret_cast<LPCVOID>(static_cast<std::uintptr_t>(address)), buffer,
        size, &got);
    if (bytesRead) *bytesRead = got;
    return ok != FALSE;
}

bool Win32WindowSystem::CloseHandle(ProcessHandle handle) {
    return ::CloseHandle(ToHandle(handle)) != FALSE;
}

}  // namespace aol
