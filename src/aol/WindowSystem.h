#pragma once
// The window-system calls the chat-client module needs, mirroring their Win32 namesakes so that
// one implementation can forward to user32/kernel32 and another can simulate the client.
//
// The client is another process. What that means, as Windows behaves:
// - GetWindowTextA gives a window's stored caption only; the contents of a control (the room's
//   transcript, an input box) are read by sending it WM_GETTEXTLENGTH and WM_GETTEXT.
// - A sent message waits for the client's thread; a client that hangs, or shows a modal box
//   while handling the message, would block the sender for good. So every send is bounded:
//   SendMessageTimeoutA reports a timeout instead of waiting on.
// The constants carry a k prefix: <windows.h> defines the plain names as macros.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace aol {

using Hwnd = std::uint32_t;            // 0 means "no such window"
using ProcessHandle = std::uintptr_t;  // 0 means "could not open"

// Window messages and parameters used to drive the client.
inline constexpr std::uint32_t kWmSetText = 0x000C;
inline constexpr std::uint32_t kWmGetText = 0x000D;
inline constexpr std::uint32_t kWmGetTextLength = 0x000E;
inline constexpr std::uint32_t kWmClose = 0x0010;
inline constexpr std::uint32_t kWmKeyDown = 0x0100;
inline constexpr std::uint32_t kWmKeyUp = 0x0101;
inline constexpr std::uint32_t kWmChar = 0x0102;
inline constexpr std::uint32_t kWmSysCommand = 0x0112;
inline constexpr std::uint32_t kWmLButtonDown = 0x0201;
inline constexpr std::uint32_t kWmLButtonUp = 0x0202;
inline constexpr std::uint32_t kWmLButtonDblClk = 0x0203;
inline constexpr std::uint32_t kLbSetCurSel = 0x0186;
inline constexpr std::uint32_t kLbGetCount = 0x018B;
inline constexpr std::uint32_t kLbGetItemData = 0x0199;
inline constexpr std::uint32_t kBmGetCheck = 0x00F0;
inline constexpr std::uintptr_t kCharEnter = 0x0D;  // WM_CHAR of the Enter key
inline constexpr std::uintptr_t kVkSpace = 0x20;    // the space key (and its WM_CHAR)
// PROCESS_VM_READ alone: the member list is read from the client's memory, nothing else is asked.
inline constexpr std::uint32_t kProcessReadAccess = 0x0010;
inline constexpr std::intptr_t kLbErr = -1;

// SendMessageTimeoutA flags.
inline constexpr std::uint32_t kSmtoNormal = 0x0000;
inline constexpr std::uint32_t kSmtoAbortIfHung = 0x0002;

// One open chat room and its transcript's single-byte text.
struct RoomText {
    Hwnd room = 0;
    std::string text;
    // The transcript did not answer (a hung client): `text` says nothing, the room is still open.
    bool unanswered = false;
};

class WindowSystem {
public:
    virtual ~WindowSystem() = default;

    // className / caption may be nullptr, meaning "any".
    virtual Hwnd FindWindowA(const char* className, const char* caption) = 0;
    // First child of parent after childAfter (0: from the first child) matching class and caption.
    virtual Hwnd FindWindowExA(Hwnd parent, Hwnd childAfter, const char* className,
                               const char* caption) = 0;
    // Delivers a message and waits at most timeoutMs for the answer. Returns false when the
    // window does not exist, the client is hung or the time ran out; *result is then 0.
    // lParam of WM_SETTEXT is the address of a NUL-ended single-byte text; of WM_GETTEXT the
    // address of a buffer of wParam bytes, which receives at most wParam - 1 bytes and a NUL
    // (the result is the number of bytes copied).
    virtual bool SendMessageTimeoutA(Hwnd window, std::uint32_t message, std::uintptr_t wParam,
                                     std::intptr_t lParam, std::uint32_t flags,
                                     std::uint32_t timeoutMs, std::intptr_t* result) = 0;
    virtual bool PostMessageA(Hwnd window, std::uint32_t message, std::uintptr_t wParam,
                              std::intptr_t lParam) = 0;
    // The stored caption (see above).
    virtual int GetWindowTextLengthA(Hwnd window) = 0;
    // Copies at most maxCount - 1 bytes and a NUL; returns the number of bytes copied.
    virtual int GetWindowTextA(Hwnd window, char* buffer, int maxCount) = 0;
    virtual std::uint32_t GetWindowThreadProcessId(Hwnd window, std::uint32_t* processId) = 0;
    virtual ProcessHandle OpenProcess(std::uint32_t access, bool inheritHandle,
                                      std::uint32_t processId) = 0;
    virtual bool ReadProcessMemory(ProcessHandle process, std::uint64_t address, void* buffer,
                                   std::size_t size, std::size_t* bytesRead) = 0;
    virtual bool CloseHandle(ProcessHandle handle) = 0;

    // Every open chat room, first in child order first, with its transcript, read in one go by
    // a window system that reaches the client remotely. False when this window system has no
    // such shortcut: the caller then reads them through the calls above (client::ReadRoomTexts).
    virtual bool ReadRoomTexts(std::vector<RoomText>& rooms) {
        rooms.clear();
        return false;
    }

    // One operation of the program on the client (a chat command with all its steps, an
    // announcement) begins and ends; operations nest and belong to the outermost. A window
    // system that reaches the client at a cost may bound how long all the calls of one
    // operation wait on it together (`seconds`), failing the later calls at once as for a
    // missing window. Nothing by default.
    virtual void BeginOperation(double seconds) { (void)seconds; }
    virtual void EndOperation() {}
};

// Opens an operation on construction and ends it on destruction.
class OperationBudget {
public:
    OperationBudget(WindowSystem& windows, double seconds) : windows_(windows) {
        windows_.BeginOperation(seconds);
    }
    ~OperationBudget() { windows_.EndOperation(); }
    OperationBudget(const OperationBudget&) = delete;
    OperationBudget& operator=(const OperationBudget&) = delete;

private:
    WindowSystem& windows_;
};

}  // namespace aol
