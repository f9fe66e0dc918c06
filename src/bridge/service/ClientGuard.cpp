#include "bridge/service/ClientGuard.h"

#include "aol/ClientWindows.h"
#include "bridge/protocol/BridgeProtocol.h"

namespace bridge {
namespace {

constexpr std::size_t kMostKnown = 4096;    // windows remembered as the client's
constexpr int kMostFrames = 64;             // frame windows looked at in one walk
constexpr std::size_t kMostReported = 256;  // processes remembered as reported

}  // namespace

ClientGuard::ClientGuard(aol::WindowSystem& inner, ProcessLife life)
    : inner_(inner), life_(std::move(life)) {}

ClientGuard::~ClientGuard() {
    CloseAll();
}

void ClientGuard::EachFrame(const std::function<void(aol::Hwnd, std::uint32_t)>& visit) {
    // A frame that closes while the walk stands on it ends the walk early (Windows answers 0
    // after a window that is gone): such a walk starts again, a bounded number of times.
    std::set<aol::Hwnd> visited;
    for (int walk = 0; walk <= aol::client::kWalkRestarts; ++walk) {
        aol::Hwnd w = 0;
        for (int i = 0; i < kMostFrames; ++i) {
            const aol::Hwnd next = inner_.FindWindowExA(0, w, aol::client::kFrameClass, nullptr);
            if (next == 0) break;
            w = next;
            std::uint32_t pid = 0;
            inner_.GetWindowThreadProcessId(w, &pid);
            if (visited.insert(w).second) visit(w, pid);
        }
        if (w == 0 || aol::client::Exists(inner_, w)) return;
    }
}

bool ClientGuard::StillRuns(std::uint32_t process) {
    const int runs = life_ ? life_(process) : -1;
    if (runs >= 0) return runs == 1;
    bool framed = false;
    EachFrame([&](aol::Hwnd, std::uint32_t pid) { framed = framed || pid == process; });
    return framed;
}

std::uint32_t ClientGuard::Refresh() {
    known_.clear();
    if (client_ != 0 && StillRuns(client_)) return client_;
    const aol::Hwnd frame = inner_.FindWindowA(aol::client::kFrameClass, nullptr);
    std::uint32_t pid = 0;
    if (frame != 0) inner_.GetWindowThreadProcessId(frame, &pid);
    client_ = pid;
    if (frame != 0 && pid != 0) known_.insert(frame);
    return pid;
}

void ClientGuard::ReportLookAlikes(const std::function<void(const std::string&)>& report) {
    if (client_ == 0) return;
    EachFrame([&](aol::Hwnd, std::uint32_t pid) {
        if (pid == 0 || pid == client_ || reported_.count(pid)) return;
        if (reported_.size() >= kMostReported) reported_.clear();
        reported_.insert(pid);
        report("passing over an \"AOL Frame25\" window of process " + std::to_string(pid) +
               ": the chat client is process " + std::to_string(client_));
    });
}

std::uint32_t ClientGuard::RefreshIfStale(double now) {
    if (client_ != 0 && now >= refreshedAt_ && now - refreshedAt_ < kTrustSeconds) return client_;
    refreshedAt_ = now;
    return Refresh();
}

bool ClientGuard::IsClients(aol::Hwnd window) {
    if (window == 0 || client_ == 0) return false;
    if (known_.count(window)) return true;
    std::uint32_t pid = 0;
    inner_.GetWindowThreadProcessId(window, &pid);
    if (pid != client_) return false;
    if (known_.size() >= kMostKnown) known_.clear();  // a client with endless windows
    known_.insert(window);
    return true;
}

aol::Hwnd ClientGuard::FindWindowA(const char* className, const char* caption) {
    // The first top-level match that belongs to the client, passing over other programs'.
    return FindWindowExA(0, 0, className, caption);
}

aol::Hwnd ClientGuard::FindWindowExA(aol::Hwnd parent, aol::Hwnd childAfter, const char* className,
                                     const char* caption) {
    if (parent != 0 && !IsClients(parent)) return 0;
    if (childAfter != 0 && !IsClients(childAfter)) return 0;
    if (client_ == 0) return 0;
    // Bounded: a window list that changes under the walk must not keep it going forever. Another
    // program's window that closes while the walk passes over it ends the walk early (Windows
    // answers 0 after a window that is gone): the walk then starts again from where it began.
    for (int walk = 0; walk <= aol::client::kWalkRestarts; ++walk) {
        aol::Hwnd w = childAfter;
        for (int i = 0; i < 4096; ++i) {
            const aol::Hwnd next = parent == 0 && w == 0
                                       ? inner_.FindWindowA(className, caption)
                                       : inner_.FindWindowExA(parent, w, className, caption);
            if (next == 0) break;
            w = next;
            std::uint32_t pid = 0;
            inner_.GetWindowThreadProcessId(w, &pid);
            if (pid == client_) {
                known_.insert(w);
                return w;
            }
            if (parent != 0) return 0;  // children share their parent's process
        }
        if (w == childAfter || aol::client::Exists(inner_, w)) return 0;
    }
    return 0;
}

bool ClientGuard::SendMessageTimeoutA(aol::Hwnd window, std::uint32_t message,
                                      std::uintptr_t wParam, std::intptr_t lParam,
                                      std::uint32_t flags, std::uint32_t timeoutMs,
                                      std::intptr_t* result) {
    if (result) *result = 0;
    if (!IsClients(window)) return false;
    const bool pointer = message == aol::kWmSetText || message == aol::kWmGetText;
    if (!pointer && (lParam != 0 || !IsAllowedMessage(message))) return false;
    return inner_.SendMessageTimeoutA(
        window, message, wParam, lParam, flags | aol::kSmtoAbortIfHung,
        timeoutMs > kMaxTimeoutMs ? kMaxTimeoutMs : timeoutMs, result);
}

bool ClientGuard::PostMessageA(aol::Hwnd window, std::uint32_t message, std::uintptr_t wParam,
                               std::intptr_t lParam) {
    if (!IsClients(window) || lParam != 0 || !IsAllowedMessage(message)) return false;
    return inner_.PostMessageA(window, message, wParam, lParam);
}

int ClientGuard::GetWindowTextLengthA(aol::Hwnd window) {
    return IsClients(window) ? inner_.GetWindowTextLengthA(window) : 0;
}

int ClientGuard::GetWindowTextA(aol::Hwnd window, char* buffer, int maxCount) {
    if (!IsClients(window)) {
        if (buffer && maxCount > 0) buffer[0] = '\0';
        return 0;
    }
    return inner_.GetWindowTextA(window, buffer, maxCount);
}

std::uint32_t ClientGuard::GetWindowThreadProcessId(aol::Hwnd window, std::uint32_t* processId) {
    if (!IsClients(window)) {
        if (processId) *processId = 0;
        return 0;
    }
    return inner_.GetWindowThreadProcessId(window, processId);
}

aol::ProcessHandle ClientGuard::OpenProcess(std::uint32_t access, bool /*inheritHandle*/,
                                            std::uint32_t processId) {
    // Only the right to read memory (what the chat-client module asks for), which is all
    // ReadProcessMemory needs: a request for more is refused.
    if (client_ == 0 || processId != client_ || access != aol::kProcessReadAccess) return 0;
    const aol::ProcessHandle inner = inner_.OpenProcess(aol::kProcessReadAccess, false, processId);
    if (inner == 0) return 0;
    const aol::ProcessHandle ours = nextHandle_++;
    handles_.emplace(ours, inner);
    return ours;
}

bool ClientGuard::ReadProcessMemory(aol::ProcessHandle process, std::uint64_t address, void* buffer,
                                    std::size_t size, std::size_t* bytesRead) {
    if (bytesRead) *bytesRead = 0;
    const auto it = handles_.find(process);
    if (it == handles_.end() || size > kMaxReadBytes) return false;
    return inner_.ReadProcessMemory(it->second, address, buffer, size, bytesRead);
}

bool ClientGuard::CloseHandle(aol::ProcessHandle handle) {
    const auto it = handles_.find(handle);
    if (it == handles_.end()) return false;
    inner_.CloseHandle(it->second);
    handles_.erase(it);
    return true;
}

void ClientGuard::CloseAll() {
    for (const auto& [ours, inner] : handles_) inner_.CloseHandle(inner);
    handles_.clear();
}

}  // namespace bridge
