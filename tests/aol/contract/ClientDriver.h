#pragma once
// What the contract suite needs of a chat client besides the WindowSystem the module talks to:
// a way to act as the client and its user (sign on, open rooms, members join and speak, the user
// types), to read back what the client received, and to make the client slow or hung.
// Implemented by the simulated client and by the fake client made of real Win32 windows, so that
// the same cases run on both. Text is UTF-8.
#include <memory>
#include <string>
#include <vector>

#include "aol/EventPump.h"
#include "aol/WindowSystem.h"

namespace aol::contract {

struct ReceivedIm {
    std::string to;
    std::string text;
    bool operator==(const ReceivedIm&) const = default;
};

class ClientDriver {
public:
    virtual ~ClientDriver() = default;

    // The module's side: the window system and the program's event pump.
    virtual WindowSystem& windows() = 0;
    virtual EventPump& pump() = 0;

    // ---- The client and its user ----
    virtual void signOn(const std::string& user) = 0;
    // Opens a room on top of the other document windows, the user its first member.
    virtual void openRoom(const std::string& name) = 0;
    // A document window of the MDI client with children of these classes, on top.
    virtual void addDocument(const std::string& caption,
                             const std::vector<std::string>& childClasses) = 0;
    virtual void memberJoins(const std::string& name) = 0;
    virtual void memberSays(const std::string& name, const std::string& text) = 0;
    // The user types into the open room's input box, pressing Enter or not.
    virtual void userTypes(const std::string& text, bool enter) = 0;
    // The user double-clicks a member's entry: the member's information window opens.
    virtual void userOpensMemberWindow(const std::string& name) = 0;
    virtual void setIgnored(const std::string& name, bool ignored) = 0;

    // ---- How the client behaves ----
    // Messages posted to the client act this long after they were posted.
    virtual void setPostDelayMs(int ms) = 0;
    // Switching instant messages on or off is answered with the client's alert.
    virtual void setImSwitchShowsAlert(bool on) = 0;
    // The alert is shown modally inside the click that caused it.
    virtual void setModalAlerts(bool on) = 0;
    virtual void setCannotReceiveIms(const std::string& name) = 0;
    // The client's thread stops answering for this long, starting now.
    virtual void hangFor(int ms) = 0;

    // ---- What happens meanwhile, whatever the module is doing ----
    // A document window that gets WM_CLOSE goes this long after (a client that saves first).
    virtual void setCloseDelayMs(double ms) = 0;
    // The user closes the member's information window this long from now.
    virtual void userClosesMemberWindowIn(const std::string& name, double ms) = 0;
    // Another document window opens on top and closes again, `rounds` times, a few tenths of a
    // millisecond each way (the pace varies from round to round), starting now.
    virtual void startDocumentChurn(int rounds) = 0;
    virtual int churnRoundsLeft() = 0;

    // ---- What the client received ----
    virtual std::vector<std::string> transcriptLines() = 0;  // "Name:\tText", oldest first
    virtual std::string inputBox() = 0;
    virtual std::vector<std::string> keywords() = 0;
    virtual std::vector<std::string> openRooms() = 0;  // in child order
    virtual std::vector<ReceivedIm> instantMessagesSent() = 0;
    virtual bool imsReceptionOn() = 0;
    virtual bool isIgnored(const std::string& name) = 0;
    virtual bool isAlertShowing() = 0;
    virtual bool isSendWindowOpen() = 0;
    virtual bool isMemberWindowOpen(const std::string& name) = 0;
};

// Makes a fresh client for one test: running, nobody signed on.
using ClientDriverFactory = std::unique_ptr<ClientDriver> (*)();

}  // namespace aol::contract
