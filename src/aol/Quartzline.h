#pragma once
// The program's whole boundary with the chat client: lookups, room actions, instant messages,
// list files and INI values. Text at this interface is UTF-8; it crosses to the client as
// Windows-1252 bytes. The module keeps no window handles between calls.
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "aol/EventPump.h"
#include "aol/WindowSystem.h"

namespace aol {

// What the module touches outside the client: the automatic-ignore scanner's tag and restart
// (the resume step after an ignore) and the message boxes of the list files.
struct QuartzlineHooks {
    std::function<std::string()> autoIgnoreTag;
    std::function<void(const std::string&)> setAutoIgnoreTag;
    std::function<void()> autoIgnoreScanOn;
    std::function<void(const std::string& text, const std::string& title)> messageBox;
};

// Upper bounds for the waits on the client that would otherwise wait forever. On reaching one:
// - memberWindowSeconds: ChatIgnoreByIndex gives up without clicking anything, then still runs
//   its resume step (the automatic-ignore scanner is restarted if its tag is "off");
// - ignoreClickSeconds, ignoreBoxPasses: a click on the ignore box that has not switched it
//   within ignoreClickSeconds is tried again, at most ignoreBoxPasses clicks in all; then the
//   member window is closed and the resume step runs;
// - instantMessageSeconds (each of InstantMessage's two waits): it gives up and closes whatever
//   send window is open;
// - closeSeconds: a send window that InstantMessage closed is waited for to be gone, so that what
//   the caller does next (a reply into the room) does not walk the client's windows while it
//   closes; after this long InstantMessage returns all the same;
// - alertSeconds: the client's alert is pressed until it has gone, for at most this long.
// Every single message to the client is bounded as well (client::kSendTimeoutMs).
struct QuartzlineLimits {
    double memberWindowSeconds = 10.0;    // for the member information window to open
    double ignoreClickSeconds = 1.5;      // for one click to switch the ignore box
    int ignoreBoxPasses = 3;              // clicks on the ignore box until it switches
    double instantMessageSeconds = 10.0;  // for the send window, then for it to close or alert
    double closeSeconds = 2.0;            // for a send window it closed to be gone
    double alertSeconds = 5.0;            // for the client's alert to go once pressed
    // How long all the calls of one operation (a chat command with its steps, or one of the
    // operations below) may wait on a client reached at a cost (see WindowSystem::BeginOperation).
    double operationSeconds = 3.0;
};

class Quartzline {
public:
    Quartzline(WindowSystem& windows, EventPump& pump);
    // With its hooks from the start, as the program is put together.
    Quartzline(WindowSystem& windows, EventPump& pump, QuartzlineHooks hooks);

    void setHooks(QuartzlineHooks hooks);
    void setLimits(QuartzlineLimits limits);

    // One operation of the program on the client, for as long as the value lives: every
    // operation below is one as well, and one inside another belongs to the outer one.
    [[nodiscard]] OperationBudget Operation();

    // Lookups
    Hwnd FindRoom();
    std::string GetCaption(Hwnd window);
    std::string GetUser();
    int RoomCount();
    Hwnd FindMemberWindow();
    void AddRoomToList(std::vector<std::string>& list, bool includeSelf);
    void TimeOut(double seconds);

    // Chat room actions
    void ChatSend(const std::string& line);
    void Keyword(const std::string& keyword);
    void PrivateRoom(const std::string& name);
    void ChatIgnore(const std::string& name);
    void ChatIgnoreByIndex(int index);

    // Instant messages
    void InstantMessage(const std::string& screenName, const std::string& text);
    void IMsOn();
    void IMsOff();

    // Files (paths in UTF-8)
    void LoadList(std::vector<std::string>& list, const std::string& path);
    void SaveList(const std::vector<std::string>& list, const std::string& path);
    std::string ReadINI(const std::string& section, const std::string& key,
                        const std::string& path);

private:
    // One step of a polling wait: sleeps (pumping) until the next 10 ms slice or the deadline.
    void WaitStep(double deadline);
    // Waits (pumping) until the deadline or until done() is true; returns done().
    template <typename Done>
    bool WaitUntil(double deadline, Done done);
    // The member information window that the double-click on `member` (single-byte name)
    // opened, given the member windows that existed before it (nothing when they could not be
    // told: then only a window captioned with the member's name counts), or 0 while there is none.
    Hwnd OpenedMemberWindow(const std::optional<std::vector<Hwnd>>& before,
                            const std::string& member);
    // Clicks the ignore box until its state has switched once; false when it never did.
    bool ToggleIgnoreBox(Hwnd box);
    // Presses the client's alert until that alert has gone.
    void DismissAlert(Hwnd alert);
    // Closes a send window and waits, at most closeSeconds, until it has gone.
    void CloseSendWindow(Hwnd window);
    // The resume step after an ignore: restart the automatic-ignore scanner if its tag is "off".
    void ResumeAutoIgnore();
    void ShowMessage(const std::string& text, const std::string& title);

    WindowSystem& windows_;
    Hwnd welcome_ = 0;  // the welcome window GetUser found last
    EventPump& pump_;
    QuartzlineHooks hooks_;
    QuartzlineLimits limits_;
};

}  // namespace aol
