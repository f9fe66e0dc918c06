#pragma once
// The melodrop program put together: the simulated chat client with its open room, the real
// clock, chat-client module, chat scanners, audio player, settings, web transfer and desktop,
// the program's logic, its player window and the room window beside it.
#include <QString>
#include <memory>

#include "aol/Quartzline.h"
#include "aol/sim/SimClient.h"
#include "audio/AudioPlayer.h"
#include "chat/TranscriptChatScanner.h"
#include "player/Melodrop.h"
#include "player/QtClock.h"
#include "player/QtSettingsStore.h"
#include "ui/PlayerWindow.h"
#include "ui/QtDesktop.h"
#include "ui/RoomChatter.h"
#include "ui/RoomWindow.h"
#include "web/download/QtWebTransfer.h"

namespace melodrop::app {

// The room the simulated client has open when the program starts.
struct SimulatedRoom {
    QString user = QStringLiteral("SunnyTunes");
    QString room = QStringLiteral("Town Square");
    QStringList members = {QStringLiteral("CoolBreeze77"), QStringLiteral("JazzCat"),
                           QStringLiteral("SkaterGrrl"), QStringLiteral("MikeyD2k")};
};

// The update server: the build's default, unless the environment variable of the same name
// says otherwise (tests and demos point it at a local server).
QString updateServerBase();

class MelodropApp {
public:
    explicit MelodropApp(const SimulatedRoom& room = {});
    ~MelodropApp();
    MelodropApp(const MelodropApp&) = delete;
    MelodropApp& operator=(const MelodropApp&) = delete;

    // Start-up: the welcome box and splash, the player window, and the room window beside it.
    void launch();

    Melodrop& program() { return *melodrop_; }
    aol::sim::SimClient& client() { return sim_; }
    ui::PlayerWindow& playerWindow() { return *playerWindow_; }
    ui::RoomWindow& roomWindow() { return *roomWindow_; }

private:
    void deliverPostedSoon();

    aol::sim::SimClient sim_;
    QtClock clock_;
    aol::Quartzline aol_{sim_, clock_};
    // One watch for both scanners; it looks at the room when the client says that it changed.
    TranscriptWatch scanWatch_{clock_};
    TranscriptChatScanner chtMelodrop_{sim_, scanWatch_};
    TranscriptChatScanner chat1_{sim_, scanWatch_};
    AudioPlayer player_;
    QtSettingsStore settings_;
    QtWebTransfer web_;
    ui::QtDesktop desktop_;
    std::unique_ptr<Melodrop> melodrop_;
    std::unique_ptr<ui::PlayerWindow> playerWindow_;
    std::unique_ptr<ui::RoomChatter> chatter_;
    std::unique_ptr<ui::RoomWindow> roomWindow_;
    bool deliveryQueued_ = false;
};

}  // namespace melodrop::app
