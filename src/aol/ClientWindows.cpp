#include "aol/ClientWindows.h"

#include <algorithm>
#include <vector>

namespace aol::client {

Hwnd Child(WindowSystem& ws, Hwnd parent, const char* className, Hwnd after, const char* caption) {
    if (parent == 0) return 0;
    return ws.FindWindowExA(parent, after, className, caption);
}

Hwnd NthChild(WindowSystem& ws, Hwnd parent, const char* className, int n) {
    Hwnd w = Child(ws, parent, className);
    for (int i = 1; i < n && w != 0; ++i) w = Child(ws, parent, className, w);
    return w;
}

Hwnd Frame(WindowSystem& ws) {
    return ws.FindWindowA(kFrameClass, nullptr);
}

Hwnd MdiClient(WindowSystem& ws) {
    return Child(ws, Frame(ws), kMdiClass);
}

bool IsChatRoom(WindowSystem& ws, Hwnd w) {
    return w != 0 && Child(ws, w, kRichClass) != 0 && Child(ws, w, kListboxClass) != 0 &&
           Child(ws, w, kIconClass) != 0 && Child(ws, w, kStaticClass) != 0;
}

bool IsMemberWindow(WindowSystem& ws, Hwnd w) {
    if (w == 0 || Child(ws, w, kCheckboxClass) == 0 || Child(ws, w, kStaticClass) == 0 ||
        Child(ws, w, kGlyphClass) == 0) {
        return false;
    }
    return NthChild(ws, w, kIconClass, 2) != 0;
}

bool Exists(WindowSystem& ws, Hwnd window) {
    std::uint32_t process = 0;
    return window != 0 && ws.GetWindowThreadProcessId(window, &process) != 0;
}

namespace {

// Whether a walk of the document windows of `mdi` that went from `first` to `last` saw them as
// they are: `last` still exists (the walk was not cut short at a window that went), and `first`
// still comes first (no window came to the top meanwhile: when the active document window
// closes, the MDI client brings the next one up above it, where a walk past the closing window
// no longer finds it).
bool WalkHeld(WindowSystem& ws, Hwnd mdi, Hwnd first, Hwnd last) {
    return Exists(ws, last) && Child(ws, mdi, kChildClass) == first;
}

// Walks the document windows of `mdi` in child order: start() at the beginning of each walk, then
// visit() for each window until it returns true. A walk that did not hold starts again. Returns
// the window visit() stopped at, or 0; *complete tells whether the last walk held.
template <typename Start, typename Visit>
Hwnd WalkDocuments(WindowSystem& ws, Hwnd mdi, bool* complete, Start start, Visit visit) {
    if (complete) *complete = true;
    if (mdi == 0) return 0;
    for (int walk = 0; walk <= kWalkRestarts; ++walk) {
        start();
        const Hwnd first = Child(ws, mdi, kChildClass);
        Hwnd last = 0;
        std::size_t seen = 0;
        for (Hwnd w = first; w != 0; w = Child(ws, mdi, kChildClass, w)) {
            if (visit(w)) return w;
            last = w;
            if (++seen >= kMostDocuments) return 0;
        }
        if (last == 0 || WalkHeld(ws, mdi, first, last)) return 0;
    }
    if (complete) *complete = false;
    return 0;
}

}  // namespace

std::vector<Hwnd> Documents(WindowSystem& ws, Hwnd mdi, bool* complete) {
    std::vector<Hwnd> found;
    WalkDocuments(
        ws, mdi, complete, [&] { found.clear(); },
        [&](Hwnd w) {
            found.push_back(w);
            return false;
        });
    return found;
}

Hwnd FirstDocument(WindowSystem& ws, const std::function<bool(Hwnd)>& test) {
    return WalkDocuments(
        ws, MdiClient(ws), nullptr, [] {}, test);
}

Hwnd FindRoom(WindowSystem& ws) {
    return FirstDocument(ws, [&](Hwnd w) { return IsChatRoom(ws, w); });
}

Hwnd FindMemberWindow(WindowSystem& ws) {
    return FirstDocument(ws, [&](Hwnd w) { return IsMemberWindow(ws, w); });
}

Hwnd RoomTranscript(WindowSystem& ws, Hwnd room) {
    return Child(ws, room, kRichClass);
}

Hwnd RoomInputBox(WindowSystem& ws, Hwnd room) {
    const Hwnd transcript = RoomTranscript(ws, room);
    return transcript == 0 ? 0 : Child(ws, room, kRichClass, transcript);
}

Hwnd RoomMemberList(WindowSystem& ws, Hwnd room) {
    return Child(ws, room, kListboxClass);
}

Hwnd KeywordBox(WindowSystem& ws) {
    const Hwnd toolbar = Child(ws, Frame(ws), kToolbarClass);
    const Hwnd inner = Child(ws, toolbar, kInnerToolbarClass);
    const Hwnd combo = Child(ws, inner, kComboClass);
    return Child(ws, combo, kEditClass);
}

std::optional<std::intptr_t> Send(WindowSystem& ws, Hwnd window, std::uint32_t message,
                                  std::uintptr_t wParam, std::intptr_t lParam) {
    if (window == 0) return std::nullopt;
    std::intptr_t result = 0;
    if (!ws.SendMessageTimeoutA(window, message, wParam, lParam, kSmtoNormal | kSmtoAbortIfHung,
                                kSendTimeoutMs, &result)) {
        return std::nullopt;
    }
    return result;
}

bool SendText(WindowSystem& ws, Hwnd window, const std::string& bytes) {
    return Send(ws, window, kWmSetText, 0, reinterpret_cast<std::intptr_t>(bytes.c_str()))
        .has_value();
}

std::string CaptionBytes(WindowSystem& ws, Hwnd window) {
    if (window == 0) return {};
    // Captions are short: one question reads most of them whole (each question to a client in
    // another process is a round trip); only one that may not have fit is measured first.
    constexpr int kShort = 256;
    char shortBuffer[kShort] = {};
    const int got = ws.GetWindowTextA(window, shortBuffer, kShort);
    if (got >= 0 && got < kShort - 1)
        return std::string(shortBuffer, static_cast<std::size_t>(got));
    const int n = ws.GetWindowTextLengthA(window);
    if (n <= 0) return {};
    std::vector<char> buffer(static_cast<std::size_t>(n) + 1, '\0');
    const int copied = ws.GetWindowTextA(window, buffer.data(), n + 1);
    if (copied <= 0) return {};
    return std::string(buffer.data(), static_cast<std::size_t>(copied < n ? copied : n));
}

std::optional<std::string> ReadControlBytes(WindowSystem& ws, Hwnd window) {
    // Room to grow between the two messages before a second read is needed.
    constexpr std::size_t kSlack = 4096;
    constexpr int kAttempts = 4;
    std::string text;
    for (int attempt = 0; attempt < kAttempts; ++attempt) {
        const std::optional<std::intptr_t> length = Send(ws, window, kWmGetTextLength);
        if (!length) return std::nullopt;
        if (*length <= 0) return std::string();
        const std::size_t wanted =
            std::min(static_cast<std::size_t>(*length), kMaxControlTextBytes);
        const std::size_t size = std::min(wanted + 1 + kSlack, kMaxControlTextBytes + 1);
        std::vector<char> buffer(size, '\0');
        const std::optional<std::intptr_t> copied =
            Send(ws, window, kWmGetText, size, reinterpret_cast<std::intptr_t>(buffer.data()));
        if (!copied) return std::nullopt;
        if (*copied <= 0) return std::string();
        const std::size_t n = std::min(static_cast<std::size_t>(*copied), size - 1);
        text.assign(buffer.data(), n);
        // A read that did not fill the buffer is the whole text.
        if (n < size - 1 || size - 1 >= kMaxControlTextBytes) return text;
    }
    return text;
}

std::vector<RoomText> ReadRoomTexts(WindowSystem& ws, bool* complete) {
    // The windows first, then the rooms among them: a walk that starts again does not read a
    // transcript twice, and a room that closes in between is no longer a room.
    std::vector<RoomText> rooms;
    for (const Hwnd w : Documents(ws, MdiClient(ws), complete)) {
        if (!IsChatRoom(ws, w)) continue;
        std::optional<std::string> text = ReadControlBytes(ws, RoomTranscript(ws, w));
        rooms.push_back(RoomText{w, std::move(text).value_or(std::string()), !text.has_value()});
    }
    return rooms;
}

}  // namespace aol::client
