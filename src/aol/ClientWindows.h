#pragma once
// The client's window tree as the client builds it: the lookups every operation starts from.
// Plain functions of a WindowSystem; they keep nothing between calls. A parent of 0 always gives
// 0 (FindWindowExA with parent 0 would search the top-level windows instead).
//
// Walks over the MDI client's document windows go from one window to the next with
// FindWindowExA(mdi, after). The client is another process and changes its windows while a walk
// is under way: a window may close while the walk stands on it, and Windows answers
// FindWindowExA after a window that is gone with 0, just as at the end of the windows; and when
// the active (first) window closes, the MDI client first activates the next one, which comes to
// the top above the closing window, so that a walk going on from the closing window passes it
// by. So a walk that comes to its end without having found what it looked for checks that it
// held: the window it ended on still exists (GetWindowThreadProcessId answers 0 for a window
// that is gone) and the first window is still the first. If not, it starts again from the first
// child, at most kWalkRestarts times. That costs two questions at the end of such a walk, none
// when the walk finds its window on the way.
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "aol/WindowSystem.h"

namespace aol::client {

inline constexpr const char* kFrameClass = "AOL Frame25";
inline constexpr const char* kMdiClass = "MDIClient";
inline constexpr const char* kChildClass = "AOL Child";
inline constexpr const char* kRichClass = "RICHCNTL";
inline constexpr const char* kListboxClass = "_AOL_Listbox";
inline constexpr const char* kIconClass = "_AOL_Icon";
inline constexpr const char* kStaticClass = "_AOL_Static";
inline constexpr const char* kCheckboxClass = "_AOL_Checkbox";
inline constexpr const char* kGlyphClass = "_AOL_Glyph";
inline constexpr const char* kToolbarClass = "AOL Toolbar";
inline constexpr const char* kInnerToolbarClass = "_AOL_Toolbar";
inline constexpr const char* kComboClass = "_AOL_Combobox";
inline constexpr const char* kEditClass = "Edit";
inline constexpr const char* kDialogClass = "#32770";
inline constexpr const char* kDialogCaption = "America Online";
inline constexpr const char* kButtonClass = "Button";
inline constexpr const char* kSendImCaption = "Send Instant Message";
inline constexpr const char* kWelcomePrefix = "Welcome, ";

// The child of parent of the class (and caption) after the sibling `after`; 0 when parent is 0.
Hwnd Child(WindowSystem& ws, Hwnd parent, const char* className, Hwnd after = 0,
           const char* caption = nullptr);
// The n-th (1-based) child of the class in child order, or 0.
Hwnd NthChild(WindowSystem& ws, Hwnd parent, const char* className, int n);

Hwnd Frame(WindowSystem& ws);
Hwnd MdiClient(WindowSystem& ws);

bool IsChatRoom(WindowSystem& ws, Hwnd window);
bool IsMemberWindow(WindowSystem& ws, Hwnd window);

// Whether the window exists (one question to the window system).
bool Exists(WindowSystem& ws, Hwnd window);

// How often a walk that did not hold starts again (see above).
inline constexpr int kWalkRestarts = 4;
// A list of document windows longer than this is not believed: the walk ends there.
inline constexpr std::size_t kMostDocuments = 4096;

// The "AOL Child" windows of the MDI client `mdi`, in child order (none for mdi 0). When no walk
// held, *complete (if given) is set false and the windows are those the last walk found (a room
// among the windows of the client may be missing from them); otherwise true.
std::vector<Hwnd> Documents(WindowSystem& ws, Hwnd mdi, bool* complete = nullptr);
// The first "AOL Child" of the MDI client, in child order, that passes the test; 0 if none.
Hwnd FirstDocument(WindowSystem& ws, const std::function<bool(Hwnd)>& test);

// The first "AOL Child" of the MDI client that is a chat room / member information window.
Hwnd FindRoom(WindowSystem& ws);
Hwnd FindMemberWindow(WindowSystem& ws);

Hwnd RoomTranscript(WindowSystem& ws, Hwnd room);
Hwnd RoomInputBox(WindowSystem& ws, Hwnd room);
Hwnd RoomMemberList(WindowSystem& ws, Hwnd room);
Hwnd KeywordBox(WindowSystem& ws);

// How long one message to the client may take. A client that has not answered by then is hung
// or busy in a modal box of its own; the step that needed the answer counts as failed.
inline constexpr std::uint32_t kSendTimeoutMs = 2000;

// Sends a message within kSendTimeoutMs (and at once when Windows already knows the client is
// hung). Nothing when the client did not answer or the window does not exist.
std::optional<std::intptr_t> Send(WindowSystem& ws, Hwnd window, std::uint32_t message,
                                  std::uintptr_t wParam = 0, std::intptr_t lParam = 0);
// WM_SETTEXT with single-byte text; false when the client did not take it.
bool SendText(WindowSystem& ws, Hwnd window, const std::string& bytes);

// The window's caption as the client's single-byte bytes ("" for window 0): what
// GetWindowTextA gives for a window of another process.
std::string CaptionBytes(WindowSystem& ws, Hwnd window);

// A control's contents (the room's transcript, an input box) as single-byte bytes, asked of the
// control itself with WM_GETTEXTLENGTH and WM_GETTEXT. Nothing for window 0 or a client that does
// not answer (a hung client is not a client whose control is empty). Text that grows between the
// two messages is read again, so a read is never cut short; at most kMaxControlTextBytes are read.
inline constexpr std::size_t kMaxControlTextBytes = 32u << 20;
std::optional<std::string> ReadControlBytes(WindowSystem& ws, Hwnd window);

// Every open chat room of the MDI client, first in child order first, with its transcript (marked
// unanswered when its transcript did not answer in time). When
// no walk of the document windows held, *complete (if given) is set false: the rooms are those
// of the windows walked, and a room missing from them may still be open.
std::vector<RoomText> ReadRoomTexts(WindowSystem& ws, bool* complete = nullptr);

}  // namespace aol::client
