#include "app/MelodropApp.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QTimer>

namespace melodrop::app {

namespace {
// Room for the player's own shadow and frame between the two windows.
constexpr int kWindowGap = 16;
}  // namespace

QString updateServerBase() {
    const QString fromEnvironment = qEnvironmentVariable("MELODROP_UPDATE_SERVER");
    return fromEnvironment.isEmpty() ? QStringLiteral(MELODROP_UPDATE_SERVER) : fromEnvironment;
}

MelodropApp::MelodropApp(const SimulatedRoom& room) {
    sim_.start();
    sim_.signOn(room.user.toStdString());
    sim_.openRoom(room.room.toStdString());
    for (const QString& member : room.members) sim_.memberJoins(member.toStdString());
    // Messages posted to the client take effect at the next turn of the event loop, as they
    // would in a real client's message queue.
    sim_.setPostNotifier([this] { deliverPostedSoon(); });
    sim_.addChangeListener(scanWatch_.changeListener());

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

    chatter_ = std::make_unique<ui::RoomChatter>(
        sim_, clock_, static_cast<quint32>(QDateTime::currentMSecsSinceEpoch()));
    roomWindow_ = std::make_unique<ui::RoomWindow>(sim_, chatter_.get());
}

MelodropApp::~MelodropApp() = default;

void MelodropApp::deliverPostedSoon() {
    if (deliveryQueued_) return;
    deliveryQueued_ = true;
    QTimer::singleShot(0, QCoreApplication::instance(), [this] {
        deliveryQueued_ = false;
        sim_.deliverPosted();
    });
}

void MelodropApp::launch() {
    melodrop_->launch();
    if (melodrop_->ended()) return;
    const QRect player = playerWindow_->frameGeometry();
    roomWindow_->move(player.right() + kWindowGap, player.top());
    roomWindow_->show();
    chatter_->setEnabled(true);
}

}  // namespace melodrop::app
