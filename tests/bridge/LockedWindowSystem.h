#pragma once
// A window system reached one call at a time: the simulated client shared by a test (or a
// benchmark) and a bridge serving it on a thread of its own. Whoever touches the client
// directly takes the same mutex.
#include <mutex>

#include "aol/WindowSystem.h"

namespace bridge::testing {

class LockedWindowSystem : public aol::WindowSystem {
public:
    LockedWindowSystem(aol::WindowSystem& inner, std::mutex& mutex)
        : inner_(inner), mutex_(mutex) {}
    aol::Hwnd FindWindowA(const char* c, const char* t) override {
        std::lock_guard lock(mutex_);
        return inner_.FindWindowA(c, t);
    }
    aol::Hwnd FindWindowExA(aol::Hwnd p, aol::Hwnd a, const char* c, const char* t) override {
        std::lock_guard lock(mutex_);
        return inner_.FindWindowExA(p, a, c, t);
    }
    bool SendMessageTimeoutA(aol::Hwnd w, std::uint32_t m, std::uintptr_t wp, std::intptr_t lp,
                             std::uint32_t f, std::uint32_t t, std::intptr_t* r) override {
        std::lock_guard lock(mutex_);
        return inner_.SendMessageTimeoutA(w, m, wp, lp, f, t, r);
    }
    bool PostMessageA(aol::Hwnd w, std::uint32_t m, std::uintptr_t wp, std::intptr_t lp) override {
        std::lock_guard lock(mutex_);
        return inner_.PostMessageA(w, m, wp, lp);
    }
    int GetWindowTextLengthA(aol::Hwnd w) override {
        std::lock_guard lock(mutex_);
        return inner_.GetWindowTextLengthA(w);
    }
    int GetWindowTextA(aol::Hwnd w, char* b, int n) override {
        std::lock_guard lock(mutex_);
        return inner_.GetWindowTextA(w, b, n);
    }
    std::uint32_t GetWindowThreadProcessId(aol::Hwnd w, std::uint32_t* pid) override {
        std::lock_guard lock(mutex_);
        return inner_.GetWindowThreadProcessId(w, pid);
    }
    aol::ProcessHandle OpenProcess(std::uint32_t a, bool i, std::uint32_t pid) override {
        std::lock_guard lock(mutex_);
        return inner_.OpenProcess(a, i, pid);
    }
    bool ReadProcessMemory(aol::ProcessHandle h, std::uint64_t a, void* b, std::size_t n,
                           std::size_t* got) override {
        std::lock_guard lock(mutex_);
        return inner_.ReadProcessMemory(h, a, b, n, got);
    }
    bool CloseHandle(aol::ProcessHandle h) override {
        std::lock_guard lock(mutex_);
        return inner_.CloseHandle(h);
    }

private:
    aol::WindowSystem& inner_;
    std::mutex& mutex_;
};

}  // namespace bridge::testing
