#pragma once
// The chat client a scenario runs on, as the runner sees it: it acts as the client's user and
// members, reads back what the client shows, and gives the program the window system it reaches
// the client through. The simulated client (SimScenarioClient) lives on the scenario's virtual
// clock; the fake Win32 client under Wine, reached through melodrop-bridge
// (Win32ScenarioClient), lives in real time. Text is UTF-8.
#include <QString>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "aol/ClientLink.h"
#include "aol/WindowSystem.h"

namespace melodrop {
class VirtualClock;
}

namespace melodrop::scenario {

class ScenarioClient {
public:
    virtual ~ScenarioClient() = default;

    // "" when the client is up; otherwise what went wrong.
    virtual QString startError() const { return {}; }
    // What the program reaches the client through.
    virtual aol::WindowSystem& windows() = 0;
    // Whether the client lives in real time (the scenario's clock must keep pace with it).
    virtual bool realTime() const { return false; }
    // Hooks the client into the scenario's clock; `changed` is called whenever what the client
    // shows may have changed (both clients can tell: the simulated one itself, the Win32 one
    // through the bridge's word).
    virtual void attach(VirtualClock& clock, std::function<void()> changed) = 0;
    // How the program reaches the client, told to `listener` now and at every change (nothing
    // more once the listener is unset): the simulated client is a simulated room.
    virtual void watchLink(std::function<void(const aol::LinkStatus&)> listener) {
        if (listener) listener(aol::SimulatedLink());
    }

    virtual std::string signedOnUser() = 0;
    virtual void signOn(const std::string& name) = 0;
    virtual void openRoom(const std::string& name) = 0;
    virtual std::string currentRoom() = 0;  // "" when no room is open
    virtual std::vector<std::string> members() = 0;
    virtual void userTypes(const std::string& line) = 0;
    virtual void memberSays(const std::string& name, const std::string& line) = 0;
    virtual void memberJoins(const std::string& name) = 0;
    virtual void memberLeaves(const std::string& name) = 0;
    virtual bool isIgnored(const std::string& name) = 0;
    virtual bool imsReceptionOn() = 0;
    // The client answers switching instant messages on and off with its alert.
    virtual void setImSwitchShowsAlert(bool on) = 0;
    virtual std::vector<std::string> keywords() = 0;
    // Whether the client's alert ("America Online") is showing.
    virtual bool alertShowing() = 0;
    // Every open room's name and its transcript lines ("Name:\tText"), first room first.
    struct Room {
        std::uintptr_t id = 0;  // tells apart rooms of the same name opened one after another
        std::string name;
        std::vector<std::string> lines;
    };
    virtual std::vector<Room> rooms() = 0;

    // The bridge between the program and the client, where there is one: false when there is
    // none or it cannot be done.
    virtual bool stopBridge() { return false; }
    virtual bool startBridge() { return false; }
};

}  // namespace melodrop::scenario
