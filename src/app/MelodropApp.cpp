#include "app/MelodropApp.h"

namespace melodrop::app {

QString updateServerBase() {
    const QString fromEnvironment = qEnvironmentVariable("MELODROP_UPDATE_SERVER");
    return fromEnvironment.isEmpty() ? QStringLiteral(MELODROP_UPDATE_SERVER) : fromEnvironment;
}

MelodropApp::MelodropApp(const ClientChoice& client)
    : client_(makeChatClient(client, clock_)),
      aol_(client_->windows(), clock_),
      chtMelodrop_(client_->windows(), scanWatch_),
      chat1_(client_->windows(), scanWatch_) {
    if (client_->tellsOfChanges())
        client_->notifyChanges(scanWatch_.changeListener());
    else
        scanWatch_.setQuietInterval(client_->quietPollMilliseconds());

    Platform platform{settings_,
                      player_,
                      chtMelodrop_,
                      chat1_,
                      desktop_,
                      clock_,
                      aol_,
                      web_,
                      FileLocations::forThisProgram(),
                      updateServerBase()};
    melodrop_ = std::make_unique<Melodrop>(platform);
    playerWindow_ = std::make_unique<ui::PlayerWindow>(*melodrop_);
    desktop_.setPlayerWindow(playerWindow_.get());
    ui::connectToMelodrop(desktop_, *melodrop_);
    settings_.tellFailuresThrough(desktop_);
}

MelodropApp::~MelodropApp() = default;

void MelodropApp::launch() {
    melodrop_->launch();
    if (melodrop_->ended()) return;
    client_->programLaunched(playerWindow_->frameGeometry());
}

}  // namespace melodrop::app
