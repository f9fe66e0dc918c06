#include "aol/ClientWindows.h"

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

namespace {

template <typename Test>
Hwnd FirstDocument(WindowSystem& ws, Test test) {
    const Hwnd mdi = MdiClient(ws);
    for (Hwnd w = Child(ws, mdi, kChildClass); w != 0; w = Child(ws, mdi, kChildClass, w)) {
        if (test(ws, w)) return w;
    }
    return 0;
}

}  // namespace

Hwnd FindRoom(WindowSystem& ws) {
    return FirstDocument(ws, IsChatRoom);
}

Hwnd FindMemberWindow(WindowSystem& ws) {
    return FirstDocument(ws, IsMemberWindow);
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

std::string WindowBytes(WindowSystem& ws, Hwnd window) {
    if (window == 0) return {};
    const int n = ws.GetWindowTextLengthA(window);
    if (n <= 0) return {};
    std::vector<char> buffer(static_cast<std::size_t>(n) + 1, '\0');
    const int copied = ws.GetWindowTextA(window, buffer.data(), n + 1);
    if (copied <= 0) return {};
    return std::string(buffer.data(), static_cast<std::size_t>(copied < n ? copied : n));
}

}  // namespace aol::client
