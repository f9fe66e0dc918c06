#pragma once
// The melodrop program on a chat client: it chooses the real boundaries (the clock, the client's
// window system, the audio player, the settings, the web transfer, the desktop) and builds the
// program on them (program/Assembly), then its player window. The client comes from
// makeChatClient (app/clients): one small composition per kind of client.
#include <QString>
#include <memory>

#include "app/clients/ChatClient.h"
#include "audio/AudioPlayer.h"
#include "base/QtClock.h"
#include "net/QtWebTransfer.h"
#include "player/QtSettingsStore.h"
#include "program/Assembly.h"
#include "ui/InstanceChannel.h"
#include "ui/InstanceLock.h"
#include "ui/PlayerWindow.h"
#include "ui/QtDesktop.h"

namespace melodrop::app {

// The update server: the build's default, unless the environment variable of the same name
// says otherwise (tests and demos point it at a local server).
QString updateServerBase();

class MelodropApp {
public:
    // lock: the single-instance lock when the caller took it already (it is held for the
    // program's life).
    explicit MelodropApp(const ClientChoice& client = {},
                         std::shared_ptr<ui::InstanceLock> lock = nullptr);
    ~MelodropApp();
    MelodropApp(const MelodropApp&) = delete;
    MelodropApp& operator=(const MelodropApp&) = delete;

    // Start-up: the welcome box and splash, the player window, and what the client shows.
    void launch();

    // Serves later starts of melodrop (ui::InstanceServer): each brings the player window
    // forward, or plays the file it names. Requests that come during the start-up wait for its
    // end. False when the channel cannot be opened (the program runs on without it).
    bool listenForOtherStarts();
    void handle(const ui::InstanceRequest& request);
    // A file given from outside (the command line, "Open with", a later start): the MP3 folder
    // becomes the file's folder and the file plays. A file that cannot be played is told.
    void playFile(const QString& path);
    // The player window brought forward from the tray, from being minimised or from behind.
    void bringForward();

    Melodrop& program() { return assembly_->program(); }
    Assembly& assembly() { return *assembly_; }
    ChatClient& client() { return *client_; }
    ui::PlayerWindow& playerWindow() { return *playerWindow_; }

private:
    QtClock clock_;
    std::unique_ptr<ChatClient> client_;
    AudioPlayer player_;
    QtSettingsStore settings_;
    QtWebTransfer web_;
    ui::QtDesktop desktop_;
    std::unique_ptr<Assembly> assembly_;
    std::unique_ptr<ui::PlayerWindow> playerWindow_;
    std::unique_ptr<ui::InstanceServer> otherStarts_;
    bool launching_ = false;
    QList<ui::InstanceRequest> waiting_;  // arrived during the start-up
};

// A second start: hands the file (or, without one, a plain raise) to the running melodrop.
// Returns the exit code: 0 when it answered; 1, with a message on standard error, when not.
int handToRunningInstance(const QString& file);

}  // namespace melodrop::app
