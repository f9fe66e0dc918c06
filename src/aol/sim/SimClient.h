#pragma once
// A simulated AOL client: a WindowSystem that holds the client's window tree, a process memory
// with the chat member list, and the client's reactions to the window messages the program sends.
// Plain C++, no Qt; single-threaded. It answers as a client in another process answers under
// Windows; where it once differed from real Win32 windows, the Win32 behaviour was taken.
//
// Window tree (child order = Z order, topmost first; new document windows open on top, first in
// the MDI client's child order, as a newly activated MDI child does):
//   "AOL Frame25" "America  Online" (top level)
//     "AOL Toolbar" > "_AOL_Toolbar" > ("_AOL_Icon"..., "_AOL_Combobox" > "Edit")  keyword box
//     "MDIClient"
//       "AOL Child" "Welcome, NAME!"   _AOL_Static, _AOL_Icon x3, _AOL_Image (not a room)
//       "AOL Child" ROOM NAME          _AOL_Static, RICHCNTL (transcript), _AOL_Listbox,
//                                      RICHCNTL (input box), _AOL_Icon x2, _AOL_Static
//       "AOL Child" MEMBER NAME        _AOL_Static, _AOL_Checkbox (ignore box), _AOL_Glyph,
//                                      _AOL_Icon x3
//       "AOL Child" "Send Instant Message"  _AOL_Static, _AOL_Edit (recipient), RICHCNTL (text),
//                                      _AOL_Icon x10 (the ninth sends)
//   "#32770" "America Online" (top level, the alert)   Static, Button "OK"
//
// Text: the edit controls (transcript, input box, keyword box, message text) keep their contents
// apart from their caption, which is empty. GetWindowTextA gives the caption (as Windows does for
// a window of another process); WM_GETTEXTLENGTH / WM_GETTEXT give the contents. Other windows
// answer WM_GETTEXT with their caption.
//
// Reactions:
//   - Sent messages act at once and are answered through SendMessageTimeoutA. A hung client
//     (setHung, or hangWhenSentTo a window) answers no send: each fails as timed out, and posted
//     messages wait until it recovers. With setModalAlerts, a sent click that the client answers
//     with its alert does not return in time either (the client shows the alert modally inside
//     the click), although the click took effect.
//   - Posted messages are queued and act at the next deliverPosted(), or, with a post delay
//     (setPostDelay, measured on the time source given to it), once they are due; the post
//     notifier is called on every post so a host can schedule that delivery. WM_SETTEXT cannot be
//     posted (as on Windows: its parameter is a pointer).
//   - The client's own pace: a real client runs while the program calls it. With a call cost
//     (setCallCost) every call into the WindowSystem takes that long on the client's clock, and
//     before answering, the client does what has fallen due meanwhile: posted messages, windows
//     closing slowly (setCloseDelay), acts of the client or its user given to at(). So a window
//     can close between two calls of a walk over its siblings, and FindWindowExA after a window
//     that is gone answers 0, as Win32 does.
//   - Room input box: WM_SETTEXT replaces its text; WM_CHAR of a printable byte appends it;
//     WM_CHAR Enter adds the box's line to the room's transcript as the signed-on user (line breaks
//     in it become blanks; an empty box sends nothing) and clears the box.
//   - Transcript: lines "ScreenName:\tText" joined by CR LF; at most transcriptLimit() lines (the
//     oldest are dropped). Lines of ignored members never reach it.
//   - Member list: LB_GETCOUNT, LB_SETCURSEL, LB_GETITEMDATA (the address D of the entry's record:
//     D + 24 holds the 32-bit address P of the name record, P + 6 the name, NUL-ended when shorter
//     than 16 bytes; screen names are cut to 16 bytes when they join). WM_LBUTTONDBLCLK opens the
//     information window of the selected entry (or brings it to the top if open).
//   - Ignore box: BM_GETCHECK reads the member's ignore state. A click (button down, then up)
//     switches it, like a Win32 auto-checkbox (IgnoreBoxMode::Toggle, the default). In
//     IgnoreBoxMode::OncePerOpening only the first click after the member window opened switches
//     (a client that sends the change once and disregards further clicks in that window).
//   - Keyword box: WM_SETTEXT replaces its text and puts the caret at the start; WM_CHAR of a
//     printable byte inserts at the caret; Enter submits the text without its leading blanks
//     (recorded in keywords()) and clears the box. "aol://2719:2-2-" + name (letter case of the
//     prefix ignored) enters the private room `name`: the client leaves every open room (a member
//     is in one room at a time) and opens the new one, the user its only member.
//     "aol://9293:" + name opens a send window addressed to name. Other keywords only get
//     recorded.
//   - Send window: a click on its ninth "_AOL_Icon" sends. To "$IM_OFF" / "$IM_ON" (compared
//     without letter case and blanks) it switches the reception of instant messages and closes the
//     window (or, with setImSwitchShowsAlert, shows the alert and stays open). To a member that
//     cannot receive it shows the alert and stays open. Otherwise the message is recorded in
//     instantMessagesSent() and the window closes.
//   - Alert: WM_KEYDOWN then WM_KEYUP with the space key (or a click) on its "Button" dismisses it.
//     With a post delay the client takes that long to build the alert: until then the alert has a
//     provisional "Button" that it replaces when it is done, and a press on that one is lost.
//   - WM_CLOSE closes a document window (a room window leaves the room; after the close delay,
//     if one is set), the alert, or, sent to the frame, quits the client. A document window that
//     closes while it is the active one (first in child order) first activates the next one,
//     which comes to the top above it, as in an MDI client.
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "aol/WindowSystem.h"

namespace aol::sim {

struct MemberInfo {
    std::string name;  // UTF-8
    bool ignored = false;
};

struct SentInstantMessage {
    std::string to;    // UTF-8
    std::string text;  // UTF-8
};

struct MessageRecord {
    Hwnd window = 0;
    std::string windowClass;  // "" for a window that does not exist
    std::uint32_t message = 0;
    std::uintptr_t wParam = 0;
    std::intptr_t lParam = 0;
    bool posted = false;  // recorded when posted (not when delivered)
    std::string text;     // WM_SETTEXT: the text, as UTF-8
};

enum class IgnoreBoxMode { OncePerOpening, Toggle };

class SimClient : public WindowSystem {
public:
    // The client starts running (its frame exists), nobody signed on.
    SimClient();
    ~SimClient() override;
    SimClient(const SimClient&) = delete;
    SimClient& operator=(const SimClient&) = delete;

    // ---- WindowSystem ----
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

    // A message handled by the client's own thread, as when the client sends it to itself:
    // answered at once, not logged, whether or not the client is hung.
    std::intptr_t send(Hwnd window, std::uint32_t message, std::uintptr_t wParam = 0,
                       std::intptr_t lParam = 0);

    // ---- Posted messages ----
    // Delivers every queued message that is due, in order (also those posted meanwhile). Not
    // re-entrant: a call from inside a delivery returns at once. Nothing while the client hangs.
    void deliverPosted();
    // Posted messages act this long after they were posted, on the given time source (seconds).
    void setPostDelay(double seconds, std::function<double()> now);
    // When the next queued message or act (see at()) is due on the client's clock, or nothing
    // when none is queued.
    std::optional<double> nextPostedDue() const;
    std::size_t pendingPosted() const { return posted_.size(); }
    void setPostNotifier(std::function<void()> notifier);
    // Called after every visible change (transcript, members, windows, input box, alerts ...).
    void addChangeListener(std::function<void()> listener);

    // ---- The client's own pace ----
    // The clock the client's delays are measured on, in seconds (setPostDelay sets it too).
    void setClock(std::function<double()> now);
    // Every call into the WindowSystem takes `seconds` of the client's clock, moved on through
    // `advance`; before answering, the client does whatever has fallen due (deliverPosted). With
    // 0 (the default) the client acts only when its host calls deliverPosted().
    void setCallCost(double seconds, std::function<void(double)> advance);
    // The client or its user does `act` at `when` on the client's clock, when the client next
    // acts on what is due (not while it hangs).
    void at(double when, std::function<void()> act);
    // A document window that gets WM_CLOSE goes this much later on the client's clock (a client
    // that saves or animates first); 0 (the default): at once.
    void setCloseDelay(double seconds) { closeDelay_ = seconds; }

    // ---- Driving: the client and the user (text in UTF-8) ----
    void start();  // the client runs (frame, toolbar, MDI client); harmless when running
    void quit();   // no client at all
    bool isRunning() const;
    void signOn(const std::string& screenName);  // opens the welcome window "Welcome, NAME!"
    void signOff();                              // closes every document window
    std::string signedOnUser() const;            // "" when nobody is signed on

    // Rooms are named; "" names the open room (the first room in child order). openRoom opens a
    // further room window on top of the others (first in child order), the user its first member.
    Hwnd openRoom(const std::string& name);
    void closeRoom(const std::string& room = {});
    std::vector<std::string> openRooms() const;  // in child order
    std::string currentRoom() const;             // "" when no room is open
    Hwnd roomWindow(const std::string& room = {}) const;

    void memberJoins(const std::string& name, const std::string& room = {});
    void memberLeaves(const std::string& name, const std::string& room = {});
    void memberSays(const std::string& name, const std::string& text, const std::string& room = {});
    // The user types a line into the room's input box (after whatever is there) and presses
    // Enter, through the same window messages a keyboard would produce.
    void userTypes(const std::string& text, const std::string& room = {});
    // The user types without pressing Enter (half-typed text stays in the box).
    void userTypesWithoutEnter(const std::string& text, const std::string& room = {});

    std::string transcriptBytes(const std::string& room = {}) const;  // raw Windows-1252
    std::string transcriptText(const std::string& room = {}) const;   // UTF-8
    std::vector<std::string> transcriptLines(const std::string& room = {}) const;  // UTF-8
    std::string inputBox(const std::string& room = {}) const;                      // UTF-8
    std::vector<MemberInfo> members(const std::string& room = {}) const;           // list order
    bool isIgnored(const std::string& name, const std::string& room = {}) const;
    void setIgnored(const std::string& name, bool ignored, const std::string& room = {});
    void setTranscriptLimit(std::size_t lines);  // at least 1; default 250
    std::size_t transcriptLimit() const { return transcriptLimit_; }

    bool imsReceptionOn() const { return imsOn_; }
    std::vector<std::string> keywords() const;  // every keyword submitted, UTF-8
    const std::vector<SentInstantMessage>& instantMessagesSent() const { return imsSent_; }
    bool isAlertShowing() const;
    int alertsShown() const { return alertsShown_; }
    bool isSendWindowOpen() const;
    bool isMemberWindowOpen(const std::string& name = {}) const;  // "" means any
    int ignoreBoxClicks() const { return ignoreBoxClicks_; }
    int openProcessHandles() const { return static_cast<int>(handles_.size()); }
    // Every access right the client's process was ever opened with, together.
    std::uint32_t accessAskedFor() const { return accessAskedFor_; }

    // Document windows of the MDI client as (class, caption), in child order.
    std::vector<std::pair<std::string, std::string>> documentWindows() const;
    // A bare document window with children of the given classes, in that order (for tests of
    // window recognition). Returns its handle.
    Hwnd addDocumentWindow(const std::string& caption, const std::vector<std::string>& classes);
    bool closeWindow(Hwnd window);

    // Every message sent or posted to the client, in order.
    const std::vector<MessageRecord>& messageLog() const { return log_; }
    void clearMessageLog() { log_.clear(); }

    // ---- Fault injection ----
    void setMemberWindowNeverOpens(bool on) { memberWindowNeverOpens_ = on; }
    void setIgnoreBoxNeverChecked(bool on) { ignoreBoxNeverChecked_ = on; }
    void setSendWindowNeverOpens(bool on) { sendWindowNeverOpens_ = on; }
    void setSendWindowNeverCloses(bool on) { sendWindowNeverCloses_ = on; }  // send does nothing
    void setCannotReceiveIMs(const std::string& name, bool cannot);
    void setImSwitchShowsAlert(bool on) { imSwitchShowsAlert_ = on; }
    void setProcessOpenFails(bool on) { processOpenFails_ = on; }
    void setIgnoreBoxMode(IgnoreBoxMode mode) { ignoreBoxMode_ = mode; }
    void setModalAlerts(bool on) { modalAlerts_ = on; }
    // The client's thread stops answering: every send times out, nothing posted acts.
    void setHung(bool hung) { hung_ = hung; }
    bool isHung() const { return hung_; }
    // The client hangs when a message is sent to this window (until setHung(false)).
    void hangWhenSentTo(Hwnd window) { hangOn_ = window; }
    // Opens the member's information window as the user would (a double-click on the entry).
    void userOpensMemberWindow(const std::string& name, const std::string& room = {});
    // The user closes the member's information window (every one open for that name).
    void userClosesMemberWindow(const std::string& name);
    // A bare document window opens on top whenever a walk over the MDI client's windows starts
    // (FindWindowExA from the first child) and closes just as the walk asks for the window after
    // it: every such walk is cut short, as by the worst-timed window of a real client. The window
    // comes and goes without telling the change listeners.
    void setTopWindowFlickers(bool on) { topWindowFlickers_ = on; }
    // Shows the client's alert with this text (as when the client has something to say).
    void showAlertNow(const std::string& text);
    int sendsTimedOut() const { return sendsTimedOut_; }

    static constexpr std::uint32_t kProcessId = 0x0F3C;
    static constexpr std::uint32_t kThreadId = 0x0A10;

private:
    enum class Kind {
        Plain,
        Frame,
        Mdi,
        KeywordBox,
        Document,
        Room,
        Transcript,
        InputBox,
        MemberList,
        MemberWindow,
        IgnoreBox,
        SendWindow,
        SendText,
        SendButton,
        Alert,
        AlertButton,
        ProvisionalButton
    };
    struct Window {
        Hwnd id = 0;
        Hwnd parent = 0;
        Kind kind = Kind::Plain;
        std::string cls;
        std::string text;  // caption or edit text (Windows-1252)
        std::vector<Hwnd> children;
        Hwnd owner = 0;       // room parts and member windows: the room window
        std::string subject;  // member window: member name; send window: recipient
        std::size_t caret = 0;
        bool buttonDown = false;
        bool keyDown = false;
        bool switched = false;  // member window: its ignore box has switched the setting
    };
    struct Member {
        std::string name;  // Windows-1252, at most 16 bytes
        std::uint64_t record = 0;
        std::uint64_t nameRecord = 0;
    };
    struct Room {
        std::string name;  // Windows-1252
        std::vector<Member> members;
        std::deque<std::string> lines;  // "Name:\tText", Windows-1252
        std::set<std::string> ignored;  // lower-cased names
        int selection = -1;
        Hwnd transcript = 0;
        Hwnd input = 0;
        Hwnd list = 0;
    };
    struct Posted {
        Hwnd window;
        std::uint32_t message;
        std::uintptr_t wParam;
        std::intptr_t lParam;
        double due;
    };
    // Posted by the client to itself: the alert is built.
    static constexpr std::uint32_t kFinishAlert = 0x8001;

    Window* find(Hwnd id);
    const Window* find(Hwnd id) const;
    Hwnd create(Hwnd parent, Kind kind, const std::string& cls, const std::string& text,
                bool onTop = false);
    void destroy(Hwnd id);
    // WM_CLOSE to a document window: it goes at once, or after the close delay.
    void closeDocument(Hwnd id);
    // A document window goes as an MDI client's child does: when it is the active one (the first
    // in child order), the one after it is activated first and so comes to the top, above it;
    // the window itself goes a little later (a few calls of the program later when calls cost
    // time; with nothing in between otherwise).
    void documentGoes(Hwnd id);
    // Time passes for one call of the program (the call cost), and the client acts on what is due.
    void tick();
    // The window that setTopWindowFlickers opens and closes, on a walk from `parent`.
    void flicker(Hwnd parent, Hwnd childAfter);
    void destroyQuietly(Hwnd id);
    Hwnd mdi() const;
    Room* room(const std::string& name);
    const Room* room(const std::string& name) const;
    Hwnd roomHwnd(const std::string& name) const;
    void bringToTop(Hwnd id);

    std::intptr_t dispatch(Hwnd window, std::uint32_t message, std::uintptr_t wParam,
                           std::intptr_t lParam);
    void record(Hwnd window, std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam,
                bool posted);
    void typeChar(Window& w, char c);
    void submitInput(Window& input);
    void submitKeyword(Window& box);
    void openMemberWindow(Hwnd roomWindow);
    void clickIgnoreBox(Window& box);
    void openSendWindow(const std::string& recipient);
    void clickSend(Window& button);
    void showAlert(const std::string& text);
    void finishAlert(Window& alert);
    static bool holdsContents(Kind kind);
    std::string contentsOf(const Window& w) const;
    double postTime() const;
    void addLine(Room& r, const std::string& sender, const std::string& text);
    void addMember(Room& r, const std::string& name);
    void freeMember(const Member& m);
    std::string transcriptOf(const Room& r) const;
    std::uint64_t allocate(std::vector<std::uint8_t> bytes);
    void notify();

    std::map<Hwnd, Window> windows_;
    std::vector<Hwnd> topLevels_;
    std::map<Hwnd, Room> rooms_;  // by room window
    Hwnd nextHwnd_ = 0x00010010;
    std::string user_;  // Windows-1252
    bool imsOn_ = true;
    std::size_t transcriptLimit_ = 250;
    std::vector<std::string> keywords_;
    std::vector<SentInstantMessage> imsSent_;
    int alertsShown_ = 0;
    int ignoreBoxClicks_ = 0;
    std::set<std::string> cannotReceive_;  // normalised names

    std::map<std::uint64_t, std::vector<std::uint8_t>> memory_;
    std::uint64_t nextAddress_ = 0x01A40000;
    std::set<ProcessHandle> handles_;
    ProcessHandle nextHandle_ = 0x1C4;

    std::deque<Posted> posted_;
    bool delivering_ = false;
    std::function<void()> postNotifier_;
    std::vector<std::function<void()>> listeners_;
    std::vector<MessageRecord> log_;

    bool memberWindowNeverOpens_ = false;
    bool ignoreBoxNeverChecked_ = false;
    bool sendWindowNeverOpens_ = false;
    bool sendWindowNeverCloses_ = false;
    bool imSwitchShowsAlert_ = false;
    bool processOpenFails_ = false;
    IgnoreBoxMode ignoreBoxMode_ = IgnoreBoxMode::Toggle;
    bool modalAlerts_ = false;
    bool hung_ = false;
    std::uint32_t accessAskedFor_ = 0;
    Hwnd hangOn_ = 0;
    int sendsTimedOut_ = 0;
    double postDelay_ = 0.0;
    std::function<double()> now_;
    double callCost_ = 0.0;
    std::function<void(double)> advance_;
    std::multimap<double, std::function<void()>> acts_;  // by due time on the client's clock
    double closeDelay_ = 0.0;
    bool topWindowFlickers_ = false;
    Hwnd flicker_ = 0;
};

}  // namespace aol::sim
