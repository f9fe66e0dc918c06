// The fake client's window classes: the frame, the MDI documents, the rich text controls, the
// member list, icons, the ignore box (a real auto-checkbox under the client's own class name),
// the keyword box (a real edit control) and the plain classes that only need to exist.
#include <algorithm>
#include <cstring>

#include "fakeclient/FakeClient.h"

namespace fakeclient {
namespace {

struct RichState {
    RichKind kind = RichKind::Plain;
    std::string text;
};

std::map<HWND, RichState>& Riches() {
    static std::map<HWND, RichState> riches;
    return riches;
}

std::set<HWND>& PressedIcons() {
    static std::set<HWND> pressed;
    return pressed;
}

WNDPROC g_buttonProc = nullptr;
WNDPROC g_editProc = nullptr;

LRESULT CopyOut(const std::string& text, WPARAM size, LPARAM buffer) {
    char* out = reinterpret_cast<char*>(buffer);
    if (!out || size == 0) return 0;
    const std::size_t n = std::min(text.size(), static_cast<std::size_t>(size - 1));
    std::memcpy(out, text.data(), n);
    out[n] = '\0';
    return static_cast<LRESULT>(n);
}

LRESULT CALLBACK FrameProc(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
    static HWND mdi = nullptr;
    switch (msg) {
        case WM_CREATE: {
            CLIENTCREATESTRUCT ccs{};
            ccs.idFirstChild = 5000;
            mdi = CreateWindowExA(0, "MDIClient", "", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, 0,
                                  40, 760, 520, w, nullptr, GetModuleHandleA(nullptr), &ccs);
            return 0;
        }
        case WM_CLOSE:
            DestroyWindow(w);
            return 0;
        case WM_DESTROY:
            PostQuitMessage(0);
            return 0;
        default:
            return DefFrameProcA(w, mdi, msg, wp, lp);
    }
}

LRESULT CALLBACK DocumentProc(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
    FakeClient& client = FakeClient::instance();
    switch (msg) {
        case WM_COMMAND:
            if (HIWORD(wp) == BN_CLICKED && lp != 0)
                client.ignoreBoxClicked(reinterpret_cast<HWND>(lp));
            return 0;
        case WM_CLOSE:
            client.closeDocument(w);
            return 0;
        case WM_DESTROY:
            client.documentDestroyed(w);
            break;
        default:
            break;
    }
    return DefMDIChildProcA(w, msg, wp, lp);
}

LRESULT CALLBACK RichProc(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
    auto& riches = Riches();
    RichState& state = riches[w];
    switch (msg) {
        case WM_GETTEXTLENGTH:
            if (state.kind == RichKind::Transcript) {
                const Room* room = FakeClient::instance().roomOfControl(w);
                return room
                           ? static_cast<LRESULT>(FakeClient::instance().transcriptOf(*room).size())
                           : 0;
            }
            return static_cast<LRESULT>(state.text.size());
        case WM_GETTEXT:
            if (state.kind == RichKind::Transcript) {
                const Room* room = FakeClient::instance().roomOfControl(w);
                return CopyOut(room ? FakeClient::instance().transcriptOf(*room) : std::string(),
                               wp, lp);
            }
            return CopyOut(state.text, wp, lp);
        case WM_SETTEXT:
            // The contents change; the window's caption (what GetWindowText sees from another
            // process) stays empty. The transcript is a read-only display.
            if (state.kind != RichKind::Transcript) {
                state.text = lp ? reinterpret_cast<const char*>(lp) : "";
            }
            return TRUE;
        case WM_CHAR: {
            const char c = static_cast<char>(wp & 0xFF);
            if (state.kind == RichKind::Input && wp == '\r') {
                FakeClient::instance().submitInput(w);
            } else if ((state.kind == RichKind::Input || state.kind == RichKind::ImText) &&
                       (static_cast<unsigned char>(c) >= 0x20 || c == '\t')) {
                state.text += c;
            }
            return 0;
        }
        case WM_NCDESTROY:
            riches.erase(w);
            break;
        default:
            break;
    }
    return DefWindowProcA(w, msg, wp, lp);
}

LRESULT CALLBACK ListProc(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
    Room* room = FakeClient::instance().roomOfControl(w);
    switch (msg) {
        case LB_GETCOUNT:
            return room ? static_cast<LRESULT>(room->members.size()) : 0;
        case LB_SETCURSEL:
            if (!room) return LB_ERR;
            if (wp < room->members.size()) {
                room->selection = static_cast<int>(wp);
                return room->selection;
            }
            room->selection = -1;
            return LB_ERR;
        case LB_GETITEMDATA:
            if (!room || wp >= room->members.size()) return LB_ERR;
            return static_cast<LRESULT>(room->members[wp].record);
        case WM_LBUTTONDBLCLK:
            FakeClient::instance().openMemberWindow(w);
            return 0;
        default:
            return DefWindowProcA(w, msg, wp, lp);
    }
}

LRESULT CALLBACK IconProc(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case WM_LBUTTONDOWN:
            PressedIcons().insert(w);
            return 0;
        case WM_LBUTTONUP:
            if (PressedIcons().erase(w)) FakeClient::instance().iconClicked(w);
            return 0;
        case WM_NCDESTROY:
            PressedIcons().erase(w);
            break;
        default:
            break;
    }
    return DefWindowProcA(w, msg, wp, lp);
}

// The ignore box: the system's button procedure, under the client's class name.
LRESULT CALLBACK CheckboxProc(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
    return CallWindowProcA(g_buttonProc, w, msg, wp, lp);
}

LRESULT CALLBACK KeywordBoxProc(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_CHAR && wp == '\r') {
        const int n = GetWindowTextLengthA(w);
        std::string text(static_cast<std::size_t>(std::max(n, 0)) + 1, '\0');
        GetWindowTextA(w, text.data(), n + 1);
        text.resize(static_cast<std::size_t>(std::max(n, 0)));
        SetWindowTextA(w, "");
        FakeClient::instance().submitKeyword(text);
        return 0;
    }
    return CallWindowProcA(g_editProc, w, msg, wp, lp);
}

LRESULT CALLBACK ControlProc(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case WM_COPYDATA:
            return RunCommand(reinterpret_cast<HWND>(wp), *reinterpret_cast<COPYDATASTRUCT*>(lp));
        case kHangMessage:
            Sleep(static_cast<DWORD>(wp));
            return 0;
        case kAlertMessage: {
            std::string* text = reinterpret_cast<std::string*>(lp);
            MessageBoxA(nullptr, text->c_str(), "America Online", MB_OK);
            delete text;
            return 0;
        }
        case WM_TIMER:
            if (wp == kHeldTimer) ReleaseDueMessages();
            if (wp == kActTimer) RunDueActs();
            return 0;
        default:
            return DefWindowProcA(w, msg, wp, lp);
    }
}

void Register(HINSTANCE instance, const char* name, WNDPROC proc) {
    WNDCLASSEXA wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = proc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    wc.lpszClassName = name;
    RegisterClassExA(&wc);
}

}  // namespace

void RegisterPlainClass(HINSTANCE instance, const char* name) {
    WNDCLASSEXA existing{};
    existing.cbSize = sizeof existing;
    if (GetClassInfoExA(instance, name, &existing)) return;
    Register(instance, name, DefWindowProcA);
}

void RegisterClasses(HINSTANCE instance) {
    Register(instance, "AOL Frame25", FrameProc);
    Register(instance, "AOL Child", DocumentProc);
    Register(instance, "RICHCNTL", RichProc);
    Register(instance, "_AOL_Listbox", ListProc);
    Register(instance, "_AOL_Icon", IconProc);
    Register(instance, kControlClass, ControlProc);
    for (const char* plain : {"AOL Toolbar", "_AOL_Toolbar", "_AOL_Combobox", "_AOL_Static",
                              "_AOL_Glyph", "_AOL_Image", "_AOL_Edit"}) {
        RegisterPlainClass(instance, plain);
    }
    // "_AOL_Checkbox": a superclass of the system's button.
    WNDCLASSEXA button{};
    button.cbSize = sizeof button;
    GetClassInfoExA(nullptr, "BUTTON", &button);
    g_buttonProc = button.lpfnWndProc;
    button.lpfnWndProc = CheckboxProc;
    button.hInstance = instance;
    button.lpszClassName = "_AOL_Checkbox";
    RegisterClassExA(&button);
}

void SetRichKind(HWND rich, RichKind kind) {
    Riches()[rich].kind = kind;
}

std::string RichText(HWND rich) {
    const auto it = Riches().find(rich);
    return it == Riches().end() ? std::string() : it->second.text;
}

void SetRichText(HWND rich, const std::string& text) {
    Riches()[rich].text = text;
}

void HookKeywordBox(HWND edit) {
    g_editProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(edit, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(KeywordBoxProc)));
}

}  // namespace fakeclient
