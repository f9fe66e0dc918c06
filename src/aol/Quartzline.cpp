// quartzline32: lookups, chat room operations and instant messages. The list files and
// ReadINI live in QuartzlineFiles.cpp.
//
// Every wait pumps the program's events and lets time pass through EventPump::WaitForEvents in
// slices of at most kPollSeconds, so that a virtual clock moves and a real one does not spin.
// The waits on the client that could otherwise last forever are bounded by QuartzlineLimits:
//   - the member information window (ChatIgnoreByIndex step 3): after memberWindowSeconds the
//     operation gives up without clicking anything, then still runs the resume step (step 7);
//   - the ignore box reading checked (step 5): after ignoreBoxPasses passes the clicking stops;
//     the member window is closed (step 6) and the resume step runs (step 7), as on success;
//   - the send-instant-message window (InstantMessage step 3) and its closing or the client's
//     alert (step 6): instantMessageSeconds each; on reaching either bound the operation gives
//     up and posts WM_CLOSE to whatever send window is open.
#include "aol/Quartzline.h"

#include <algorithm>
#include <cstdint>
#include <optional>

#include "aol/Ansi.h"
#include "aol/ClientWindows.h"

namespace aol {
namespace {

constexpr double kPollSeconds = 0.01;
constexpr std::uint64_t kRecordNameOffset = 24;  // D + 24: address of the name record
constexpr std::uint64_t kNameOffset = 6;         // P + 6: the screen name
constexpr std::size_t kNameBytes = 16;

std::intptr_t TextParam(const std::string& bytes) {
    return reinterpret_cast<std::intptr_t>(bytes.c_str());
}

// Reads the open room's member list out of the client's memory, entry by entry.
// Holds the process handle for its lifetime.
class MemberListReader {
public:
    explicit MemberListReader(WindowSystem& ws) : ws_(ws) {
        list_ = client::RoomMemberList(ws_, client::FindRoom(ws_));
        if (list_ == 0) return;
        std::uint32_t pid = 0;
        ws_.GetWindowThreadProcessId(list_, &pid);
        process_ = ws_.OpenProcess(PROCESS_READ_ACCESS, false, pid);
    }
    ~MemberListReader() { Close(); }
    MemberListReader(const MemberListReader&) = delete;
    MemberListReader& operator=(const MemberListReader&) = delete;

    bool IsOpen() const { return process_ != 0; }

    int Count() {
        const std::intptr_t n = ws_.SendMessageA(list_, LB_GETCOUNT, 0, 0);
        return n > 0 ? static_cast<int>(n) : 0;
    }

    // The raw single-byte name of entry i, or nothing when a read fails.
    std::optional<std::string> Name(int i) {
        if (!IsOpen()) return std::nullopt;
        const std::intptr_t data =
            ws_.SendMessageA(list_, LB_GETITEMDATA, static_cast<std::uintptr_t>(i), 0);
        if (data == -1) return std::nullopt;  // LB_ERR
        // The client is a 32-bit process: its addresses are 32-bit values.
        const std::uint64_t record = static_cast<std::uint32_t>(static_cast<std::uintptr_t>(data));
        unsigned char address[4] = {};
        std::size_t got = 0;
        if (!ws_.ReadProcessMemory(process_, record + kRecordNameOffset, address, sizeof address,
                                   &got) ||
            got != sizeof address) {
            return std::nullopt;
        }
        const std::uint64_t nameRecord =
            std::uint64_t{address[0]} | (std::uint64_t{address[1]} << 8) |
            (std::uint64_t{address[2]} << 16) | (std::uint64_t{address[3]} << 24);
        char name[kNameBytes] = {};
        got = 0;
        if (!ws_.ReadProcessMemory(process_, nameRecord + kNameOffset, name, sizeof name, &got) ||
            got != sizeof name) {
            return std::nullopt;
        }
        const auto end = std::find(name, name + kNameBytes, '\0');
        return std::string(name, end);
    }

    void Close() {
        if (process_ != 0) ws_.CloseHandle(process_);
        process_ = 0;
    }

private:
    WindowSystem& ws_;
    Hwnd list_ = 0;
    ProcessHandle process_ = 0;
};

}  // namespace

Quartzline::Quartzline(WindowSystem& windows, EventPump& pump) : windows_(windows), pump_(pump) {}

void Quartzline::setHooks(QuartzlineHooks hooks) {
    hooks_ = std::move(hooks);
}

void Quartzline::setLimits(QuartzlineLimits limits) {
    limits_ = limits;
}

void Quartzline::WaitStep(double deadline) {
    pump_.WaitForEvents(std::min(deadline, pump_.Now() + kPollSeconds));
}

void Quartzline::ResumeAutoIgnore() {
    if (!hooks_.autoIgnoreTag || hooks_.autoIgnoreTag() != "off") return;
    if (hooks_.autoIgnoreScanOn) hooks_.autoIgnoreScanOn();
    if (hooks_.setAutoIgnoreTag) hooks_.setAutoIgnoreTag("on");
}

void Quartzline::ShowMessage(const std::string& text, const std::string& title) {
    if (hooks_.messageBox) hooks_.messageBox(text, title);
}

// ---- Lookups ------------------------------------------------------------------------

Hwnd Quartzline::FindRoom() {
    return client::FindRoom(windows_);
}

std::string Quartzline::GetCaption(Hwnd window) {
    return AnsiToUtf8(client::WindowBytes(windows_, window));
}

std::string Quartzline::GetUser() {
    const Hwnd mdi = client::MdiClient(windows_);
    const std::string prefix = client::kWelcomePrefix;
    for (Hwnd w = client::Child(windows_, mdi, client::kChildClass); w != 0;
         w = client::Child(windows_, mdi, client::kChildClass, w)) {
        const std::string caption = client::WindowBytes(windows_, w);
        if (caption.compare(0, prefix.size(), prefix) != 0) continue;
        // From the tenth character up to the first "!"; a caption without "!" (which the client
        // never shows) gives the rest of the caption.
        const std::size_t bang = caption.find('!');
        const std::size_t end = bang == std::string::npos ? caption.size() : bang;
        return AnsiToUtf8(caption.substr(prefix.size(), end - prefix.size()));
    }
    return {};
}

int Quartzline::RoomCount() {
    const Hwnd list = client::RoomMemberList(windows_, FindRoom());
    if (list == 0) return 0;
    const std::intptr_t n = windows_.SendMessageA(list, LB_GETCOUNT, 0, 0);
    return n > 0 ? static_cast<int>(n) : 0;
}

Hwnd Quartzline::FindMemberWindow() {
    return client::FindMemberWindow(windows_);
}

void Quartzline::AddRoomToList(std::vector<std::string>& list, bool includeSelf) {
    MemberListReader members(windows_);
    if (!members.IsOpen()) return;
    const int n = members.Count();
    for (int i = 0; i < n; ++i) {
        const std::optional<std::string> name = members.Name(i);
        if (!name) continue;
        if (includeSelf || AnsiToUtf8(*name) != GetUser()) {
            list.push_back(AnsiToUtf8(AnsiLower(*name)));
        }
    }
}

void Quartzline::TimeOut(double seconds) {
    // Compared with the very deadline that is waited for: "now - start < seconds" can stay true
    // at the deadline itself through rounding, and the loop would never end.
    const double deadline = pump_.Now() + seconds;
    while (pump_.Now() < deadline) {
        pump_.PumpEvents();
        if (pump_.Now() >= deadline) break;
        WaitStep(deadline);
    }
}

// ---- Chat room operations -----------------------------------------------------------

void Quartzline::ChatSend(const std::string& line) {
    const Hwnd box = client::RoomInputBox(windows_, FindRoom());
    if (box == 0) return;
    const std::string bytes = Utf8ToAnsi(line);
    windows_.SendMessageA(box, WM_SETTEXT, 0, TextParam(bytes));
    windows_.SendMessageA(box, WM_CHAR, VK_RETURN_CHAR, 0);
}

void Quartzline::Keyword(const std::string& keyword) {
    const Hwnd box = client::KeywordBox(windows_);
    if (box == 0) return;
    const std::string bytes = Utf8ToAnsi(keyword);
    windows_.SendMessageA(box, WM_SETTEXT, 0, TextParam(bytes));
    windows_.SendMessageA(box, WM_CHAR, VK_SPACE, 0);
    windows_.SendMessageA(box, WM_CHAR, VK_RETURN_CHAR, 0);
}

void Quartzline::PrivateRoom(const std::string& name) {
    TimeOut(0.2);
    Keyword("aol://2719:2-2-" + name);
}

void Quartzline::ChatIgnore(const std::string& name) {
    MemberListReader members(windows_);
    if (!members.IsOpen()) return;
    const std::string wanted = AnsiLower(Utf8ToAnsi(name));
    const int n = members.Count();
    for (int i = 0; i < n; ++i) {
        const std::optional<std::string> entry = members.Name(i);
        if (entry && AnsiToUtf8(*entry) != GetUser() && AnsiLower(*entry) == wanted) {
            ChatIgnoreByIndex(i);
            pump_.PumpEvents();
            return;  // the reader releases the process handle
        }
        TimeOut(0.3);
    }
}

void Quartzline::ChatIgnoreByIndex(int index) {
    // Step 1 (a negative index, which the design does not foresee, also returns at once).
    if (index < 0 || index > RoomCount() - 1) return;

    // Step 2.
    const Hwnd list = client::RoomMemberList(windows_, FindRoom());
    if (list == 0) return;
    windows_.SendMessageA(list, LB_SETCURSEL, static_cast<std::uintptr_t>(index), 0);
    windows_.PostMessageA(list, WM_LBUTTONDBLCLK, 0, 0);

    // Step 3, bounded: without a member window nothing is clicked.
    Hwnd window = 0;
    const double windowDeadline = pump_.Now() + limits_.memberWindowSeconds;
    for (;;) {
        pump_.PumpEvents();
        window = FindMemberWindow();
        if (window != 0 || pump_.Now() >= windowDeadline) break;
        WaitStep(windowDeadline);
    }
    if (window == 0) {
        ResumeAutoIgnore();
        return;
    }

    // Step 4.
    pump_.PumpEvents();
    const Hwnd box = client::Child(windows_, window, client::kCheckboxClass);
    pump_.PumpEvents();

    // Step 5, at most ignoreBoxPasses passes.
    if (box != 0) {
        for (int pass = 0; pass < limits_.ignoreBoxPasses; ++pass) {
            pump_.PumpEvents();
            TimeOut(0.2);
            const std::intptr_t state = windows_.SendMessageA(box, BM_GETCHECK, 0, 0);
            windows_.PostMessageA(box, WM_LBUTTONDOWN, 0, 0);
            pump_.PumpEvents();
            windows_.PostMessageA(box, WM_LBUTTONUP, 0, 0);
            pump_.PumpEvents();
            TimeOut(0.3);
            if (state != 0) break;
        }
    }

    // Step 6.
    pump_.PumpEvents();
    windows_.PostMessageA(window, WM_CLOSE, 0, 0);

    // Step 7.
    ResumeAutoIgnore();
}

// ---- Instant messages ---------------------------------------------------------------

void Quartzline::InstantMessage(const std::string& screenName, const std::string& text) {
    // Step 1. With no client at all nothing could open: return at once rather than wait.
    const Hwnd mdi = client::MdiClient(windows_);
    if (mdi == 0) return;

    // Step 2.
    Keyword("aol://9293:" + screenName);

    const auto sendWindow = [&] {
        return client::Child(windows_, mdi, client::kChildClass, 0, client::kSendImCaption);
    };

    // Step 3, bounded.
    Hwnd im = 0;
    Hwnd box = 0;
    Hwnd send = 0;
    const double openDeadline = pump_.Now() + limits_.instantMessageSeconds;
    for (;;) {
        pump_.PumpEvents();
        im = sendWindow();
        box = client::Child(windows_, im, client::kRichClass);
        send = client::NthChild(windows_, im, client::kIconClass, 9);
        if ((im != 0 && box != 0 && send != 0) || pump_.Now() >= openDeadline) break;
        WaitStep(openDeadline);
    }
    if (im == 0 || box == 0 || send == 0) {
        if (im != 0) windows_.PostMessageA(im, WM_CLOSE, 0, 0);
        return;
    }

    // Steps 4 and 5.
    const std::string bytes = Utf8ToAnsi(text);
    windows_.SendMessageA(box, WM_SETTEXT, 0, TextParam(bytes));
    windows_.SendMessageA(send, WM_LBUTTONDOWN, 0, 0);
    windows_.SendMessageA(send, WM_LBUTTONUP, 0, 0);

    // Step 6, bounded.
    Hwnd alert = 0;
    Hwnd still = 0;
    const double doneDeadline = pump_.Now() + limits_.instantMessageSeconds;
    for (;;) {
        pump_.PumpEvents();
        alert = windows_.FindWindowA(client::kDialogClass, client::kDialogCaption);
        still = sendWindow();
        if (alert != 0 || still == 0 || pump_.Now() >= doneDeadline) break;
        WaitStep(doneDeadline);
    }

    // Step 7.
    if (alert != 0) {
        const Hwnd button = client::Child(windows_, alert, client::kButtonClass);
        if (button != 0) {
            windows_.PostMessageA(button, WM_KEYDOWN, VK_SPACE, 0);
            windows_.PostMessageA(button, WM_KEYUP, VK_SPACE, 0);
        }
        windows_.PostMessageA(im, WM_CLOSE, 0, 0);
    } else if (still != 0) {
        // The bound was reached with a send window still open: close it.
        windows_.PostMessageA(still, WM_CLOSE, 0, 0);
    }
}

void Quartzline::IMsOn() {
    InstantMessage("$IM_ON", "quartzline ims on");
}

void Quartzline::IMsOff() {
    InstantMessage("$IM_OFF", "quartzline ims off");
}

}  // namespace aol
