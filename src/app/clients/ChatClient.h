#pragma once
// The chat client the program runs on, as the program's composition sees it: the window system
// that reaches the client, and what comes with the client on the desktop. One implementation
// per kind of client, made by makeChatClient:
//   - simulated: the built-in simulated client with its open room and the room's window;
//   - bridge: a real client under Wine, reached through melodrop-bridge (not on Windows);
//   - wine: the same, with melodrop-bridge started by melodrop under the user's Wine;
//   - win32: a real client on the same Windows desktop (Windows builds only).
#include <QRect>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>

#include "aol/ClientLink.h"
#include "aol/WindowSystem.h"
#include "base/Boundaries.h"
#include "chat/TranscriptWatch.h"

namespace melodrop {
class Clock;
class Desktop;
}  // namespace melodrop

namespace melodrop::app {

enum class ClientKind { Simulated, Bridge, Wine, Win32 };

struct ClientChoice {
#ifdef _WIN32
    ClientKind kind = ClientKind::Win32;
#else
    ClientKind kind = ClientKind::Simulated;
#endif
    // 0: the bridge's default port (wine: that port when it is free, else a free one)
    quint16 bridgePort = 0;
    QString bridgeTokenFile;  // "": the bridge's default token file
};

// The client kinds this build offers, as they are named on the command line.
QStringList clientKindNames();

class ChatClient {
public:
    virtual ~ChatClient() = default;
    virtual aol::WindowSystem& windows() = 0;
    // Whether the client can tell when its rooms change; it then calls the listener given to
    // notifyChanges after each change, and the chat scanners need not poll.
    virtual bool tellsOfChanges() const { return false; }
    virtual void notifyChanges(std::function<void()> listener) { (void)listener; }
    // How often the chat scanners look at a quiet room when they must poll (milliseconds).
    virtual int quietPollMilliseconds() const { return TranscriptWatch::kSlowMilliseconds; }
    // The program has started and its player window stands at `playerFrame`.
    virtual void programLaunched(const QRect& playerFrame) { (void)playerFrame; }
    // Where the client tells the user what keeps it from working (a message box); the program's
    // start-up is over before the first such message.
    virtual void tellUserThrough(Desktop& desktop) { (void)desktop; }
    // How the client is reached, told to `listener` now and at every change (possibly from
    // inside a call of the window system: to be noted, not acted on there).
    virtual void watchLink(std::function<void(const aol::LinkStatus&)> listener) = 0;

    // How the program's chat scanners learn of new lines on this client (program/Assembly).
    ScannerMode scannerMode() {
        if (!tellsOfChanges()) return {.quietPollMilliseconds = quietPollMilliseconds()};
        return {.toldOfChanges = [this](std::function<void()> changed) {
            notifyChanges(std::move(changed));
        }};
    }
};

std::unique_ptr<ChatClient> makeChatClient(const ClientChoice& choice, Clock& clock);

}  // namespace melodrop::app
