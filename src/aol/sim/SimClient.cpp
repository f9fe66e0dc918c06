#include "aol/sim/SimClient.h"

#include <algorithm>
#include <cstring>

#include "aol/Ansi.h"
#include "aol/sim/SimText.h"

namespace aol::sim {

using namespace detail;

SimClient::SimClient() {
    start();
}

SimClient::~SimClient() = default;

// ---- Windows -----------------------------------------------------------------------------------

SimClient::Window* SimClient::find(Hwnd id) {
    const auto it = windows_.find(id);
    return it == windows_.end() ? nullptr : &it->second;
}

const SimClient::Window* SimClient::find(Hwnd id) const {
    const auto it = windows_.find(id);
    return it == windows_.end() ? nullptr : &it->second;
}

Hwnd SimClient::create(Hwnd parent, Kind kind, const std::string& cls, const std::string& text,
                       bool onTop) {
    const Hwnd id = nextHwnd_;
    nextHwnd_ += 4;
    Window w;
    w.id = id;
    w.parent = parent;
    w.kind = kind;
    w.cls = cls;
    w.text = text;
    windows_.emplace(id, std::move(w));
    if (parent == 0) {
        topLevels_.insert(topLevels_.begin(), id);  // a new top-level window is topmost
    } else {
        auto& siblings = windows_.at(parent).children;
        if (onTop) {
            siblings.insert(siblings.begin(), id);
        } else {
            siblings.push_back(id);  // controls follow in creation order
        }
    }
    return id;
}

void SimClient::destroyQuietly(Hwnd id) {
    Window* w = find(id);
    if (!w) return;
    const std::vector<Hwnd> children = w->children;
    for (const Hwnd child : children) destroyQuietly(child);
    w = find(id);
    if (!w) return;
    if (w->kind == Kind::Room) {
        const auto it = rooms_.find(id);
        if (it != rooms_.end()) {
            for (const Member& m : it->second.members) freeMember(m);
            rooms_.erase(it);
        }
    }
    if (w->parent == 0) {
        std::erase(topLevels_, id);
    } else if (Window* parent = find(w->parent)) {
        std::erase(parent->children, id);
    }
    windows_.erase(id);
}

void SimClient::destroy(Hwnd id) {
    destroyQuietly(id);
}

void SimClient::bringToTop(Hwnd id) {
    Window* w = find(id);
    if (!w) return;
    auto& siblings = w->parent == 0 ? topLevels_ : windows_.at(w->parent).children;
    std::erase(siblings, id);
    siblings.insert(siblings.begin(), id);
}

Hwnd SimClient::mdi() const {
    for (const Hwnd top : topLevels_) {
        const Window* w = find(top);
        if (!w || w->kind != Kind::Frame) continue;
        for (const Hwnd child : w->children) {
            const Window* c = find(child);
            if (c && c->kind == Kind::Mdi) return child;
        }
    }
    return 0;
}

Hwnd SimClient::roomHwnd(const std::string& name) const {
    const Window* m = find(mdi());
    if (!m) return 0;
    const std::string bytes = Utf8ToAnsi(name);
    for (const Hwnd child : m->children) {
        const Window* w = find(child);
        if (!w || w->kind != Kind::Room) continue;
        if (name.empty() || w->text == bytes) return child;
    }
    return 0;
}

SimClient::Room* SimClient::room(const std::string& name) {
    const auto it = rooms_.find(roomHwnd(name));
    return it == rooms_.end() ? nullptr : &it->second;
}

const SimClient::Room* SimClient::room(const std::string& name) const {
    const auto it = rooms_.find(roomHwnd(name));
    return it == rooms_.end() ? nullptr : &it->second;
}

// ---- WindowSystem ------------------------------------------------------------------------------

Hwnd SimClient::FindWindowA(const char* className, const char* caption) {
    return FindWindowExA(0, 0, className, caption);
}

Hwnd SimClient::FindWindowExA(Hwnd parent, Hwnd childAfter, const char* className,
                              const char* caption) {
    tick();
    flicker(parent, childAfter);
    const std::vector<Hwnd>* siblings = &topLevels_;
    if (parent != 0) {
        const Window* p = find(parent);
        if (!p) return 0;
        siblings = &p->children;
    }
    auto it = siblings->begin();
    if (childAfter != 0) {
        it = std::find(siblings->begin(), siblings->end(), childAfter);
        if (it == siblings->end()) return 0;
        ++it;
    }
    for (; it != siblings->end(); ++it) {
        const Window* w = find(*it);
        if (!w) continue;
        if (className && !SameText(className, w->cls)) continue;
        if (caption && !SameText(caption, holdsContents(w->kind) ? std::string() : w->text)) {
            continue;
        }
        return *it;
    }
    return 0;
}

bool SimClient::SendMessageTimeoutA(Hwnd window, std::uint32_t message, std::uintptr_t wParam,
                                    std::intptr_t lParam, std::uint32_t /*flags*/,
                                    std::uint32_t /*timeoutMs*/, std::intptr_t* result) {
    tick();
    if (result) *result = 0;
    record(window, message, wParam, lParam, false);
    if (!find(window)) return false;
    if (window == hangOn_) hung_ = true;
    if (hung_) {
        ++sendsTimedOut_;
        return false;
    }
    const int alertsBefore = alertsShown_;
    const std::intptr_t answer = dispatch(window, message, wParam, lParam);
    if (modalAlerts_ && alertsShown_ != alertsBefore) {
        // The client shows its alert modally inside this message: the sender waits in vain.
        ++sendsTimedOut_;
        return false;
    }
    if (result) *result = answer;
    return true;
}

std::intptr_t SimClient::send(Hwnd window, std::uint32_t message, std::uintptr_t wParam,
                              std::intptr_t lParam) {
    return dispatch(window, message, wParam, lParam);
}

bool SimClient::PostMessageA(Hwnd window, std::uint32_t message, std::uintptr_t wParam,
                             std::intptr_t lParam) {
    tick();
    record(window, message, wParam, lParam, true);
    // Windows refuses to post a message whose parameter points into the sender's memory.
    if (!find(window) || message == kWmSetText || message == kWmGetText) return false;
    posted_.push_back(Posted{window, message, wParam, lParam, postTime() + postDelay_});
    if (postNotifier_) postNotifier_();
    return true;
}

bool SimClient::holdsContents(Kind kind) {
    return kind == Kind::Transcript || kind == Kind::InputBox || kind == Kind::KeywordBox ||
           kind == Kind::SendText;
}

std::string SimClient::contentsOf(const Window& w) const {
    if (w.kind == Kind::Transcript) {
        const auto it = rooms_.find(w.owner);
        return it == rooms_.end() ? std::string() : transcriptOf(it->second);
    }
    return w.text;
}

// The caption: an edit control's is empty, whatever it holds.
int SimClient::GetWindowTextLengthA(Hwnd window) {
    tick();
    const Window* w = find(window);
    if (!w || holdsContents(w->kind)) return 0;
    return static_cast<int>(w->text.size());
}

int SimClient::GetWindowTextA(Hwnd window, char* buffer, int maxCount) {
    tick();
    if (!buffer || maxCount <= 0) return 0;
    buffer[0] = '\0';
    const Window* w = find(window);
    if (!w || holdsContents(w->kind)) return 0;
    const std::size_t n = std::min(w->text.size(), static_cast<std::size_t>(maxCount - 1));
    std::memcpy(buffer, w->text.data(), n);
    buffer[n] = '\0';
    return static_cast<int>(n);
}

std::uint32_t SimClient::GetWindowThreadProcessId(Hwnd window, std::uint32_t* processId) {
    tick();
    if (!find(window)) {
        if (processId) *processId = 0;
        return 0;
    }
    if (processId) *processId = kProcessId;
    return kThreadId;
}

ProcessHandle SimClient::OpenProcess(std::uint32_t access, bool /*inheritHandle*/,
                                     std::uint32_t processId) {
    tick();
    accessAskedFor_ |= access;
    constexpr std::uint32_t kVmRead = 0x0010;
    if (!isRunning() || processOpenFails_ || processId != kProcessId || !(access & kVmRead)) {
        return 0;
    }
    const ProcessHandle h = nextHandle_;
    nextHandle_ += 4;
    handles_.insert(h);
    return h;
}

bool SimClient::ReadProcessMemory(ProcessHandle process, std::uint64_t address, void* buffer,
                                  std::size_t size, std::size_t* bytesRead) {
    tick();
    if (bytesRead) *bytesRead = 0;
    if (!handles_.count(process) || !buffer) return false;
    auto it = memory_.upper_bound(address);
    if (it == memory_.begin()) return false;
    --it;
    const std::uint64_t offset = address - it->first;
    if (offset > it->second.size() || size > it->second.size() - offset) return false;
    std::memcpy(buffer, it->second.data() + offset, size);
    if (bytesRead) *bytesRead = size;
    return true;
}

bool SimClient::CloseHandle(ProcessHandle handle) {
    tick();
    return handles_.erase(handle) > 0;
}

// ---- Messages ----------------------------------------------------------------------------------

void SimClient::record(Hwnd window, std::uint32_t message, std::uintptr_t wParam,
                       std::intptr_t lParam, bool posted) {
    const Window* w = find(window);
    std::string text;
    if (message == kWmSetText && lParam != 0) {
        text = AnsiToUtf8(reinterpret_cast<const char*>(lParam));
    }
    log_.push_back(MessageRecord{window, w ? w->cls : std::string(), message, wParam, lParam,
                                 posted, std::move(text)});
}

void SimClient::addChangeListener(std::function<void()> listener) {
    listeners_.push_back(std::move(listener));
}

void SimClient::notify() {
    const auto listeners = listeners_;
    for (const auto& listener : listeners) listener();
}

std::intptr_t SimClient::dispatch(Hwnd window, std::uint32_t message, std::uintptr_t wParam,
                                  std::intptr_t lParam) {
    Window* w = find(window);
    if (!w) return 0;
    switch (message) {
        case kWmGetTextLength:
            return static_cast<std::intptr_t>(contentsOf(*w).size());
        case kWmGetText: {
            char* buffer = reinterpret_cast<char*>(lParam);
            if (!buffer || wParam == 0) return 0;
            const std::string text = contentsOf(*w);
            const std::size_t n = std::min(text.size(), static_cast<std::size_t>(wParam - 1));
            std::memcpy(buffer, text.data(), n);
            buffer[n] = '\0';
            return static_cast<std::intptr_t>(n);
        }
        case kFinishAlert:
            if (w->kind == Kind::Alert) finishAlert(*w);
            return 0;
        case kWmSetText: {
            const char* text = reinterpret_cast<const char*>(lParam);
            if (w->kind == Kind::Transcript) return 1;  // read-only display
            w->text = text ? std::string(text) : std::string();
            w->caret = w->kind == Kind::KeywordBox ? 0 : w->text.size();
            notify();
            return 1;
        }
        case kWmChar: {
            const char c = static_cast<char>(wParam & 0xFF);
            if (w->kind == Kind::InputBox && wParam == kCharEnter) {
                submitInput(*w);
            } else if (w->kind == Kind::KeywordBox && wParam == kCharEnter) {
                submitKeyword(*w);
            } else if (w->kind == Kind::InputBox || w->kind == Kind::KeywordBox ||
                       w->kind == Kind::SendText) {
                typeChar(*w, c);
            }
            return 0;
        }
        case kWmKeyDown:
            if (w->kind == Kind::AlertButton && wParam == kVkSpace) w->keyDown = true;
            return 0;
        case kWmKeyUp:
            if (w->kind == Kind::AlertButton && wParam == kVkSpace && w->keyDown) {
                w->keyDown = false;
                destroy(w->parent);  // the button belongs to the alert
                notify();
            }
            return 0;
        case kWmLButtonDown:
            w->buttonDown = true;
            return 0;
        case kWmLButtonUp: {
            if (!w->buttonDown) return 0;
            w->buttonDown = false;
            if (w->kind == Kind::IgnoreBox) {
                clickIgnoreBox(*w);
            } else if (w->kind == Kind::SendButton) {
                clickSend(*w);
            } else if (w->kind == Kind::AlertButton) {
                destroy(w->parent);
                notify();
            }
            return 0;
        }
        case kWmLButtonDblClk:
            if (w->kind == Kind::MemberList) openMemberWindow(w->owner);
            return 0;
        case kWmClose:
            switch (w->kind) {
                case Kind::Frame:
                    quit();
                    break;
                case Kind::Document:
                case Kind::Room:
                case Kind::MemberWindow:
                case Kind::SendWindow:
                    closeDocument(window);
                    break;
                case Kind::Alert:
                    destroy(window);
                    notify();
                    break;
                default:
                    break;
            }
            return 0;
        case kLbGetCount: {
            if (w->kind != Kind::MemberList) return 0;
            const auto it = rooms_.find(w->owner);
            return it == rooms_.end() ? 0 : static_cast<std::intptr_t>(it->second.members.size());
        }
        case kLbSetCurSel: {
            if (w->kind != Kind::MemberList) return -1;
            const auto it = rooms_.find(w->owner);
            if (it == rooms_.end()) return -1;
            Room& r = it->second;
            if (wParam < r.members.size()) {
                r.selection = static_cast<int>(wParam);
                return r.selection;
            }
            r.selection = -1;
            return -1;
        }
        case kLbGetItemData: {
            if (w->kind != Kind::MemberList) return -1;
            const auto it = rooms_.find(w->owner);
            if (it == rooms_.end() || wParam >= it->second.members.size()) return -1;
            return static_cast<std::intptr_t>(it->second.members[wParam].record);
        }
        case kBmGetCheck: {
            if (w->kind != Kind::IgnoreBox || ignoreBoxNeverChecked_) return 0;
            const Window* memberWindow = find(w->parent);
            if (!memberWindow) return 0;
            const auto it = rooms_.find(memberWindow->owner);
            if (it == rooms_.end()) return 0;
            return it->second.ignored.count(AnsiLowerCase(memberWindow->subject)) ? 1 : 0;
        }
        default:
            return 0;
    }
}

}  // namespace aol::sim
