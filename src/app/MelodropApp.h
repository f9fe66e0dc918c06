#pragma once
// The melodrop program put together on a chat client: the real clock, the chat-client module
// and the chat scanners on the client's window system, the audio player, settings, web transfer
// and desktop, the program's logic and its player window. The client comes from
// makeChatClient (app/clients): one small composition per kind of client.
#include <QString>
#include <memory>

#include "aol/Quartzline.h"
#include "app/clients/ChatClient.h"
#include "audio/AudioPlayer.h"
#include "base/QtClock.h"
#include "chat/TranscriptChatScanner.h"
#include "player/QtSettingsStore.h"
#include "program/Melodrop.h"
#include "ui/PlayerWindow.h"
#include "ui/QtDesktop.h"
#include "web/download/QtWebTransfer.h"

namespace melodrop::app {

// The update server: the build's default, unless the environment variable of the same name
// says otherwise (tests and demos point it at a local server).
QString updateServerBase();

class MelodropApp {
public:
    explicit MelodropApp(const ClientChoice& client = {});
    ~MelodropApp();
    MelodropApp(const MelodropApp&) = delete;
    MelodropApp& operator=(const MelodropApp&) = delete;

    // Start-up: the welcome box and splash, the player window, and what the client shows.
    void launch();

    Melodrop& program() { return *melodrop_; }
    ChatClient& client() { return *client_; }
    ui::PlayerWindow& playerWindow() { return *playerWindow_; }

private:
    QtClock clock_;
    std::unique_ptr<ChatClient> client_;
    aol::Quartzline aol_;
    // One watch for both scanners; it looks at the room when the client says that it changed.
    TranscriptWatch scanWatch_{clock_};
    TranscriptChatScanner chtMelodrop_;
    TranscriptChatScanner chat1_;
    AudioPlayer player_;
    QtSettingsStore settings_;
    QtWebTransfer web_;
    ui::QtDesktop desktop_;
    std::unique_ptr<Melodrop> melodrop_;
    std::unique_ptr<ui::PlayerWindow> playerWindow_;
};

}  // namespace melodrop::app
