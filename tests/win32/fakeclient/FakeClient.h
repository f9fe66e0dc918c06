#pragma once
// A fake chat client made of real Win32 windows, for testing the chat-client module (and the
// bridge) against what Windows really does across processes. Its window tree, member-list memory
// and reactions follow the client the module is written for:
//
//   "AOL Frame25" "America  Online"
//     "AOL Toolbar" > "_AOL_Toolbar" > "_AOL_Icon" x2, "_AOL_Combobox" > "Edit", "_AOL_Icon"
//     "MDIClient" (a real MDI client; its children are "AOL Child" MDI windows)
//       welcome window  "Welcome, NAME!"   _AOL_Static, _AOL_Icon x3, _AOL_Image
//       room            NAME               _AOL_Static, RICHCNTL (transcript), _AOL_Listbox,
//                                          RICHCNTL (input box), _AOL_Icon x2, _AOL_Static
//       member window   MEMBER             _AOL_Static, _AOL_Checkbox (a BS_AUTOCHECKBOX button),
//                                          _AOL_Glyph, _AOL_Icon x3
//       send window     "Send Instant Message"  _AOL_Static, _AOL_Edit, RICHCNTL, _AOL_Icon x10
//   "#32770" "America Online": the alert, a real message box
//
// RICHCNTL is a class of its own that keeps its text apart from its (empty) caption, as a rich
// edit control does: other processes read it with WM_GETTEXT only. The member list's item data
// are addresses of records in this process's memory, below 4 GiB as in a 32-bit client: the
// record holds at +24 the address of the name record, whose name starts at +6 (16 bytes, NUL-ended
// when shorter).
//
// One thread; everything here runs on it. Text is kept as Windows-1252 bytes.
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "FakeClientProtocol.h"

namespace fakeclient {

enum class RichKind { Plain, Transcript, Input, ImText };

struct Member {
    std::string name;
    std::uint32_t record = 0;
};

struct Room {
    std::string name;
    HWND transcript = nullptr;
    HWND input = nullptr;
    HWND list = nullptr;
    std::vector<Member> members;
    std::deque<std::string> lines;  // "Name:\tText"
    std::set<std::string> ignored;  // lower-cased names
    int selection = -1;
};

struct MemberWindow {
    HWND room = nullptr;
    std::string member;
    HWND box = nullptr;
};

struct SendWindow {
    std::string recipient;
    HWND text = nullptr;
    HWND sendButton = nullptr;
};

class FakeClient {
public:
    static FakeClient& instance();

    void start(HINSTANCE instance);
    // Back to a freshly started client: no documents, no alert, nobody signed on, defaults.
    void reset();
    HWND control() const { return control_; }

    // ---- Acting as the client and its user ----
    void signOn(const std::string& user);
    HWND openRoom(const std::string& name);
    HWND addDocument(const std::string& caption, const std::vector<std::string>& classes);
    void memberJoins(const std::string& name);
    void memberLeaves(const std::string& name);
    const std::string& user() const { return user_; }
    void memberSays(const std::string& name, const std::string& text);
    void userTypes(const std::string& text, bool enter);
    void userOpensMemberWindow(const std::string& name);
    void setIgnored(const std::string& name, bool ignored);
    void hang(int ms);
    void userClosesMemberWindow(const std::string& name);
    // Another document window opens on top and closes again, `rounds` times, at a pace of a few
    // tenths of a millisecond that varies from round to round.
    void startChurn(int rounds);
    int churnLeft() const { return churnLeft_; }

    // ---- Reactions to the windows' messages ----
    void submitInput(HWND input);
    void submitKeyword(const std::string& keyword);
    void openMemberWindow(HWND list);
    void ignoreBoxClicked(HWND box);
    void iconClicked(HWND icon);
    // WM_CLOSE to a document window: it goes at once, or closeDelayMs later.
    void closeDocument(HWND window);
    void documentDestroyed(HWND window);
    Room* roomOfControl(HWND control);
    std::string transcriptOf(const Room& room) const;

    // ---- Settings ----
    int postDelayMs = 0;
    double closeDelayMs = 0.0;
    std::size_t transcriptLimit = 250;  // lines a room's transcript keeps
    bool imAlert = false;
    bool modalAlerts = false;
    std::set<std::string> cannotReceive;  // normalised names

    // ---- What the client received ----
    std::vector<std::string> keywords;
    std::vector<std::pair<std::string, std::string>> imsSent;
    bool imsOn = true;
    std::vector<HWND> documents() const;  // MDI children in child order
    Room* openRoomState();                // the first room in child order
    bool isMemberWindowOpen(const std::string& name) const;
    bool isSendWindowOpen() const;
    bool isAlertShowing() const;

    std::map<HWND, Room> rooms;
    std::map<HWND, MemberWindow> memberWindows;
    std::map<HWND, SendWindow> sendWindows;

private:
    HWND createDocument(const std::string& caption);
    HWND createChild(HWND parent, const char* cls, const std::string& text, DWORD style = 0);
    void addMember(Room& room, const std::string& name);
    void addLine(Room& room, const std::string& sender, const std::string& text);
    void openSendWindow(const std::string& recipient);
    void showAlert(const std::string& text, bool insideSentMessage);
    std::uint32_t allocate(const std::vector<std::uint8_t>& bytes);
    void churnRound(int round);

    HINSTANCE instance_ = nullptr;
    HWND frame_ = nullptr;
    HWND mdi_ = nullptr;
    HWND control_ = nullptr;
    HWND keywordBox_ = nullptr;
    std::string user_;
    std::uint8_t* arena_ = nullptr;
    std::size_t arenaUsed_ = 0;
    int nextId_ = 100;
    int churnLeft_ = 0;
};

// Window classes and their procedures (Controls.cpp).
void RegisterClasses(HINSTANCE instance);
void RegisterPlainClass(HINSTANCE instance, const char* name);
void SetRichKind(HWND rich, RichKind kind);
std::string RichText(HWND rich);
void SetRichText(HWND rich, const std::string& text);
// Subclasses the keyword box: Enter submits it.
void HookKeywordBox(HWND edit);

// The command interpreter of the control window (Commands.cpp).
LRESULT RunCommand(HWND replyTo, const COPYDATASTRUCT& data);

// Held posted messages (Main.cpp): a client that is slow to act on what is posted to it.
bool HoldIfDelayed(const MSG& msg);
void ReleaseDueMessages();
void DropHeldMessages();

// Timed acts of the client and its user (Main.cpp), run by the message loop when they fall due,
// to a small fraction of a millisecond, whatever the program is asking of the client meanwhile
// (inside a modal loop, such as the alert's, only every 10 ms or so).
double Now();  // seconds on a steady clock
void At(double when, std::function<void()> act);
void RunDueActs();
void DropActs();

inline constexpr UINT kHangMessage = WM_APP + 1;
inline constexpr UINT kAlertMessage = WM_APP + 2;
inline constexpr UINT_PTR kHeldTimer = 1;
inline constexpr UINT_PTR kActTimer = 2;

}  // namespace fakeclient
