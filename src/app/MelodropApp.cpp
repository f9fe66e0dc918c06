#include "app/MelodropApp.h"

#include <cstdio>
#include <utility>

#include "ui/OtherStarts.h"

namespace melodrop::app {

namespace {

ui::QtDesktopOptions desktopHolding(std::shared_ptr<ui::InstanceLock> lock) {
    ui::QtDesktopOptions options;
    options.heldLock = std::move(lock);
    return options;
}

}  // namespace

QString updateServerBase() {
    const QString fromEnvironment = qEnvironmentVariable("MELODROP_UPDATE_SERVER");
    return fromEnvironment.isEmpty() ? QStringLiteral(MELODROP_UPDATE_SERVER) : fromEnvironment;
}

MelodropApp::MelodropApp(const ClientChoice& client, std::shared_ptr<ui::InstanceLock> lock)
    : client_(makeChatClient(client, clock_)),
      aol_(client_->windows(), clock_),
      chtMelodrop_(client_->windows(), scanWatch_),
      chat1_(client_->windows(), scanWatch_),
      desktop_(desktopHolding(std::move(lock))) {
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
    client_->tellUserThrough(desktop_);
}

MelodropApp::~MelodropApp() = default;

void MelodropApp::launch() {
    launching_ = true;
    melodrop_->launch();
    launching_ = false;
    if (melodrop_->ended()) return;
    client_->programLaunched(playerWindow_->frameGeometry());
    const QList<ui::InstanceRequest> waiting = std::exchange(waiting_, {});
    for (const ui::InstanceRequest& request : waiting) handle(request);
}

bool MelodropApp::listenForOtherStarts() {
    otherStarts_ = std::make_unique<ui::InstanceServer>();
    QObject::connect(otherStarts_.get(), &ui::InstanceServer::requested, melodrop_.get(),
                     [this](const ui::InstanceRequest& request) { handle(request); });
    return otherStarts_->listen();
}

void MelodropApp::handle(const ui::InstanceRequest& request) {
    if (launching_) {
        waiting_ << request;
        return;
    }
    ui::answerOtherStart(desktop_, *melodrop_, request);
}

void MelodropApp::bringForward() {
    ui::bringPlayerForward(desktop_, *melodrop_);
}

void MelodropApp::playFile(const QString& path) {
    ui::playFileFromOutside(desktop_, *melodrop_, path);
}

int handToRunningInstance(const QString& file) {
    ui::InstanceRequest request;
    if (!file.isEmpty()) request = {ui::InstanceRequest::Kind::Play, file};
    QString reason;
    if (ui::sendToRunningInstance(request, &reason)) return 0;
    std::fprintf(stderr, "melodrop: melodrop is running already, but it could not be reached: %s\n",
                 reason.toLocal8Bit().constData());
    return 1;
}

}  // namespace melodrop::app
