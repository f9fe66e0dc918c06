// quartzline32: lookups, chat room operations and instant messages. The list files and
// ReadINI live in QuartzlineFiles.cpp.
//
// Every wait pumps the program's events and lets time pass through EventPump::WaitForEvents in
// slices of at most kPollSeconds, so that a virtual clock moves and a real one does not spin.
// Every message sent to the client is bounded (client::Send): a send the client does not answer
// in time is a failed step. A failed step that would make a later step do harm ends the
// operation instead of being skipped: Enter is not pressed after the text could not be set (it
// would send what the user had half-typed), a member list entry is not double-clicked after it
// could not be selected, an ignore box whose state cannot be read is not clicked.
//
// The waits on the client that could otherwise last forever are bounded by QuartzlineLimits:
//   - the member information window (ChatIgnoreByIndex step 3): only a member window that opened
//     or came to the front after the double-click, or one captioned with the member's name,
//     counts (one the user already had open for someone else is never touched); after
//     memberWindowSeconds the operation gives up without clicking anything, then still runs the
//     resume step (step 7);
//   - the ignore box (step 5) is read, clicked once, and read again until it shows the other
//     state: a box that toggles on every click ends switched, whatever it read at first. A click
//     that has not switched it within ignoreClickSeconds is repeated, at most ignoreBoxPasses
//     clicks in all; then the member window is closed (step 6) and the resume step runs (step 7);
//   - the send-instant-message window (InstantMessage step 3) and its closing or the client's
//     alert (step 6): instantMessageSeconds each; on reaching either bound the operation gives
//     up and posts WM_CLOSE to whatever send window is open;
//   - a send window that InstantMessage closes (step 7, or on giving up) is waited for until it
//     has gone, at most closeSeconds: a client may take its time to close it, and a reply sent
//     right after would walk the client's windows while it goes;
//   - the alert (step 7): the client may still be building it when it is found, and a press on
//     a button the dialog then replaces is lost; so the alert's button is waited for, pressed,
//     and pressed again until that alert has gone, for at most alertSeconds.
#include "aol/Quartzline.h"

#include <algorithm>
#include <cstdint>
#include <optional>

#include "aol/Ansi.h"
#include "aol/ClientWindows.h"

namespace aol {
namespace {

constexpr double kPollSeconds = 0.01;
constexpr double kIgnoreBoxReadSeconds = 0.1;    // between reads of the ignore box after a click
constexpr double kAlertPressSeconds = 0.1;       // between presses on the alert
constexpr std::uint64_t kRecordNameOffset = 24;  // D + 24: address of the name record
constexpr std::uint64_t kNameOffset = 6;         // P + 6: the screen name
constexpr std::size_t kNameBytes = 16;

// Reads the open room's member list out of the client's memory, entry by entry.
// Holds the process handle for its lifetime.
class MemberListReader {
public:
    explicit MemberListReader(WindowSystem& ws) : ws_(ws) {
        list_ = client::RoomMemberList(ws_, client::FindRoom(ws_));
        if (list_ == 0) return;
        std::uint32_t pid = 0;
        ws_.GetWindowThreadProcessId(list_, &pid);
        if (pid == 0) return;
        process_ = ws_.OpenProcess(kProcessReadAccess, false, pid);
    }
    ~MemberListReader() { Close(); }
    MemberListReader(const MemberListReader&) = delete;
    MemberListReader& operator=(const MemberListReader&) = delete;

    bool IsOpen() const { return process_ != 0; }

    int Count() {
        const std::optional<std::intptr_t> n = client::Send(ws_, list_, kLbGetCount);
        return n && *n > 0 ? static_cast<int>(*n) : 0;
    }

    // The raw single-byte name of entry i, or nothing when a read fails.
    std::optional<std::string> Name(int i) {
        if (!IsOpen()) return std::nullopt;
        const std::optional<std::intptr_t> data =
            client::Send(ws_, list_, kLbGetItemData, static_cast<std::uintptr_t>(i));
        if (!data || *data == kLbErr) return std::nullopt;
        // The client is a 32-bit process: its addresses are 32-bit values.
        const std::uint64_t record = static_cast<std::uint32_t>(static_cast<std::uintptr_t>(*data));
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

// Every member information window of the MDI client, in child order; nothing when windows
// kept closing under every walk, so that the list could not be told whole.
std::optional<std::vector<Hwnd>> MemberWindows(WindowSystem& ws) {
    bool complete = true;
    const std::vector<Hwnd> documents = client::Documents(ws, client::MdiClient(ws), &complete);
    if (!complete) return std::nullopt;
    std::vector<Hwnd> found;
    for (const Hwnd w : documents) {
        if (client::IsMemberWindow(ws, w)) found.push_back(w);
    }
    return found;
}

}  // namespace

Quartzline::Quartzline(WindowSystem& windows, EventPump& pump) : windows_(windows), pump_(pump) {}

Quartzline::Quartzline(WindowSystem& windows, EventPump& pump, QuartzlineHooks hooks)
    : windows_(windows), pump_(pump), hooks_(std::move(hooks)) {}

void Quartzline::setHooks(QuartzlineHooks hooks) {
    hooks_ = std::move(hooks);
}

void Quartzline::setLimits(QuartzlineLimits limits) {
    limits_ = limits;
}

void Quartzline::WaitStep(double deadline) {
    pump_.WaitForEvents(std::min(deadline, pump_.Now() + kPollSeconds));
}

template <typename Done>
bool Quartzline::WaitUntil(double deadline, Done done) {
    for (;;) {
        pump_.PumpEvents();
        if (done()) return true;
        if (pump_.Now() >= deadline) return false;
        WaitStep(deadline);
    }
}

void Quartzline::ResumeAutoIgnore() {
    if (!hooks_.autoIgnoreTag || hooks_.autoIgnoreTag() != "off") return;
    if (hooks_.autoIgnoreScanOn) hooks_.autoIgnoreScanOn();
    if (hooks_.setAutoIgnoreTag) hooks_.setAutoIgnoreTag("on");
}

void Quartzline::ShowMessage(const std::string& text, const std::string& title) {
    if (hooks_.messageBox) hooks_.messageBox(text, title);
}

OperationBudget Quartzline::Operation() {
    return OperationBudget(windows_, limits_.operationSeconds);
}

// ---- Lookups ------------------------------------------------------------------------

Hwnd Quartzline::FindRoom() {
    const OperationBudget operation = Operation();
    return client::FindRoom(windows_);
}

std::string Quartzline::GetCaption(Hwnd window) {
    const OperationBudget operation = Operation();
    return AnsiToUtf8(client::CaptionBytes(windows_, window));
}

std::string Quartzline::GetUser() {
    const OperationBudget operation = Operation();
    const std::string prefix = client::kWelcomePrefix;
    // From the tenth character up to the first "!"; a caption without "!" (which the client
    // never shows) gives the rest of the caption.
    const auto userIn = [&](const std::string& caption) -> std::optional<std::string> {
        if (caption.compare(0, prefix.size(), prefix) != 0) return std::nullopt;
        const std::size_t bang = caption.find('!');
        const std::size_t end = bang == std::string::npos ? caption.size() : bang;
        return AnsiToUtf8(caption.substr(prefix.size(), end - prefix.size()));
    };
    // The welcome window found last time is asked first: one question instead of a walk of
    // every document window (asked at every chat line, and each question to a client in
    // another process is a round trip).
    if (welcome_ != 0) {
        if (const auto user = userIn(client::CaptionBytes(windows_, welcome_))) return *user;
        welcome_ = 0;
    }
    std::optional<std::string> user;
    welcome_ = client::FirstDocument(windows_, [&](Hwnd w) {
        user = userIn(client::CaptionBytes(windows_, w));
        return user.has_value();
    });
    return user.value_or(std::string());
}

int Quartzline::RoomCount() {
    const OperationBudget operation = Operation();
    const Hwnd list = client::RoomMemberList(windows_, FindRoom());
    const std::optional<std::intptr_t> n = client::Send(windows_, list, kLbGetCount);
    return n && *n > 0 ? static_cast<int>(*n) : 0;
}

Hwnd Quartzline::FindMemberWindow() {
    const OperationBudget operation = Operation();
    return client::FindMemberWindow(windows_);
}

void Quartzline::AddRoomToList(std::vector<std::string>& list, bool includeSelf) {
    const OperationBudget operation = Operation();
    MemberListReader members(windows_);
    if (!members.IsOpen()) return;
    const int n = members.Count();
    for (int i = 0; i < n; ++i) {
        const std::optional<std::string> name = members.Name(i);
        if (!name) continue;
        if (includeSelf || AnsiToUtf8(*name) != GetUser()) {
            list.push_back(AnsiToUtf8(AnsiLowerCase(*name)));
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
    const OperationBudget operation = Operation();
    const Hwnd box = client::RoomInputBox(windows_, FindRoom());
    if (box == 0) return;
    if (!client::SendText(windows_, box, Utf8ToAnsi(line))) return;
    client::Send(windows_, box, kWmChar, kCharEnter);
}

void Quartzline::Keyword(const std::string& keyword) {
    const OperationBudget operation = Operation();
    const Hwnd box = client::KeywordBox(windows_);
    if (box == 0) return;
    if (!client::SendText(windows_, box, Utf8ToAnsi(keyword))) return;
    if (!client::Send(windows_, box, kWmChar, kVkSpace)) return;
    client::Send(windows_, box, kWmChar, kCharEnter);
}

void Quartzline::PrivateRoom(const std::string& name) {
    const OperationBudget operation = Operation();
    TimeOut(0.2);
    Keyword("aol://2719:2-2-" + name);
}

void Quartzline::ChatIgnore(const std::string& name) {
    const OperationBudget operation = Operation();
    MemberListReader members(windows_);
    if (!members.IsOpen()) return;
    const std::string wanted = AnsiLowerCase(Utf8ToAnsi(name));
    const int n = members.Count();
    for (int i = 0; i < n; ++i) {
        const std::optional<std::string> entry = members.Name(i);
        if (entry && AnsiToUtf8(*entry) != GetUser() && AnsiLowerCase(*entry) == wanted) {
            ChatIgnoreByIndex(i);
            pump_.PumpEvents();
            return;  // the reader releases the process handle
        }
        TimeOut(0.3);
    }
}

Hwnd Quartzline::OpenedMemberWindow(const std::optional<std::vector<Hwnd>>& before,
                                    const std::string& member) {
    const std::vector<Hwnd> now = MemberWindows(windows_).value_or(std::vector<Hwnd>());
    if (before) {
        for (const Hwnd w : now) {
            if (std::find(before->begin(), before->end(), w) == before->end()) return w;
        }
        // No new window: the client may have brought the member's open window to the front ...
        if (!now.empty() && !before->empty() && now.front() != before->front()) return now.front();
    }
    // ... or it was at the front already. A window captioned with the member's name is the
    // member's whichever way it came.
    if (member.empty()) return 0;
    const std::string wanted = AnsiLowerCase(member);
    for (const Hwnd w : now) {
        if (AnsiLowerCase(client::CaptionBytes(windows_, w)) == wanted) return w;
    }
    return 0;
}

bool Quartzline::ToggleIgnoreBox(Hwnd box) {
    pump_.PumpEvents();
    TimeOut(0.2);
    const std::optional<std::intptr_t> initial = client::Send(windows_, box, kBmGetCheck);
    if (!initial) return false;
    const bool wasChecked = *initial != 0;
    for (int pass = 0; pass < limits_.ignoreBoxPasses; ++pass) {
        windows_.PostMessageA(box, kWmLButtonDown, 0, 0);
        pump_.PumpEvents();
        windows_.PostMessageA(box, kWmLButtonUp, 0, 0);
        pump_.PumpEvents();
        TimeOut(0.3);
        // A slow client shows the click late: read again for a while before clicking again, or
        // the second click would switch the box back.
        const double deadline = pump_.Now() + std::max(0.0, limits_.ignoreClickSeconds - 0.3);
        for (;;) {
            const std::optional<std::intptr_t> state = client::Send(windows_, box, kBmGetCheck);
            if (!state) return false;
            if ((*state != 0) != wasChecked) return true;
            if (pump_.Now() >= deadline) break;
            TimeOut(std::min(kIgnoreBoxReadSeconds, deadline - pump_.Now()));
        }
    }
    return false;
}

void Quartzline::ChatIgnoreByIndex(int index) {
    const OperationBudget operation = Operation();
    // Step 1 (a negative index, which the design does not foresee, also returns at once).
    if (index < 0 || index > RoomCount() - 1) return;

    // Step 2. The member windows open before the double-click are not the one it opens.
    const Hwnd list = client::RoomMemberList(windows_, FindRoom());
    if (list == 0) return;
    std::string member;
    {
        MemberListReader members(windows_);
        member = members.Name(index).value_or(std::string());
    }
    const std::optional<std::vector<Hwnd>> before = MemberWindows(windows_);
    if (!client::Send(windows_, list, kLbSetCurSel, static_cast<std::uintptr_t>(index))) {
        ResumeAutoIgnore();
        return;
    }
    windows_.PostMessageA(list, kWmLButtonDblClk, 0, 0);

    // Step 3, bounded: without the member's window nothing is clicked.
    Hwnd window = 0;
    WaitUntil(pump_.Now() + limits_.memberWindowSeconds, [&] {
        window = OpenedMemberWindow(before, member);
        return window != 0;
    });
    if (window == 0) {
        ResumeAutoIgnore();
        return;
    }

    // Step 4.
    pump_.PumpEvents();
    const Hwnd box = client::Child(windows_, window, client::kCheckboxClass);
    pump_.PumpEvents();

    // Step 5: switch the box once.
    if (box != 0) ToggleIgnoreBox(box);

    // Step 6.
    pump_.PumpEvents();
    windows_.PostMessageA(window, kWmClose, 0, 0);

    // Step 7.
    ResumeAutoIgnore();
}

// ---- Instant messages ---------------------------------------------------------------

void Quartzline::DismissAlert(Hwnd alert) {
    const auto alertShowing = [&] {
        return windows_.FindWindowA(client::kDialogClass, client::kDialogCaption) == alert;
    };
    const double deadline = pump_.Now() + limits_.alertSeconds;
    while (alertShowing()) {
        const Hwnd button = client::Child(windows_, alert, client::kButtonClass);
        if (button != 0) {
            windows_.PostMessageA(button, kWmKeyDown, kVkSpace, 0);
            windows_.PostMessageA(button, kWmKeyUp, kVkSpace, 0);
        }
        const double pressDeadline =
            std::min(deadline, pump_.Now() + (button != 0 ? kAlertPressSeconds : kPollSeconds));
        if (WaitUntil(pressDeadline, [&] { return !alertShowing(); })) return;
        if (pump_.Now() >= deadline) return;
    }
}

void Quartzline::CloseSendWindow(Hwnd window) {
    if (!windows_.PostMessageA(window, kWmClose, 0, 0)) return;
    WaitUntil(pump_.Now() + limits_.closeSeconds,
              [&] { return !client::Exists(windows_, window); });
}

void Quartzline::InstantMessage(const std::string& screenName, const std::string& text) {
    const OperationBudget operation = Operation();
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
    WaitUntil(pump_.Now() + limits_.instantMessageSeconds, [&] {
        im = sendWindow();
        box = client::Child(windows_, im, client::kRichClass);
        send = client::NthChild(windows_, im, client::kIconClass, 9);
        return im != 0 && box != 0 && send != 0;
    });
    if (im == 0 || box == 0 || send == 0) {
        if (im != 0) CloseSendWindow(im);
        return;
    }

    // Steps 4 and 5. A click that the client answers with a modal alert of its own does not
    // return in time: that is expected, and the alert is dealt with below.
    if (!client::SendText(windows_, box, Utf8ToAnsi(text))) {
        CloseSendWindow(im);
        return;
    }
    if (client::Send(windows_, send, kWmLButtonDown)) client::Send(windows_, send, kWmLButtonUp);

    // Step 6, bounded.
    Hwnd alert = 0;
    Hwnd still = 0;
    WaitUntil(pump_.Now() + limits_.instantMessageSeconds, [&] {
        alert = windows_.FindWindowA(client::kDialogClass, client::kDialogCaption);
        still = sendWindow();
        return alert != 0 || still == 0;
    });

    // Step 7.
    if (alert != 0) {
        DismissAlert(alert);
        CloseSendWindow(im);
    } else if (still != 0) {
        // The bound was reached with a send window still open: close it.
        CloseSendWindow(still);
    }
}

void Quartzline::IMsOn() {
    InstantMessage("$IM_ON", "quartzline ims on");
}

void Quartzline::IMsOff() {
    InstantMessage("$IM_OFF", "quartzline ims off");
}

}  // namespace aol
