#include "app/clients/SimulatedChatClient.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QTimer>

#include "app/clients/ErrorOutput.h"

namespace melodrop::app {
namespace {

// Room for the player's own shadow and frame between the two windows.
constexpr int kWindowGap = 16;

}  // namespace

SimulatedChatClient::SimulatedChatClient(Clock& clock, const SimulatedRoom& room) {
    sim_.start();
    sim_.signOn(room.user.toStdString());
    sim_.openRoom(room.room.toStdString());
    for (const QString& member : room.members) sim_.memberJoins(member.toStdString());
    // Messages posted to the client take effect at the next turn of the event loop, as they
    // would in a real client's message queue.
    sim_.setPostNotifier([this] { deliverPostedSoon(); });
    chatter_ = std::make_unique<simroom::RoomChatter>(
        sim_, clock, static_cast<quint32>(QDateTime::currentMSecsSinceEpoch()));
    roomWindow_ = std::make_unique<simroom::RoomWindow>(sim_, chatter_.get());
}

SimulatedChatClient::~SimulatedChatClient() = default;

void SimulatedChatClient::watchLink(std::function<void(const aol::LinkStatus&)> listener) {
    // The one state it ever has, on the error output as a bridge's states are.
    const aol::LinkStatus link = aol::SimulatedLink();
    sayOnErrorOutput(QString::fromStdString(link.text));
    if (listener) listener(link);
}

void SimulatedChatClient::notifyChanges(std::function<void()> listener) {
    sim_.addChangeListener(std::move(listener));
}

void SimulatedChatClient::deliverPostedSoon() {
    if (deliveryQueued_) return;
    deliveryQueued_ = true;
    QTimer::singleShot(0, QCoreApplication::instance(), [this] {
        deliveryQueued_ = false;
        sim_.deliverPosted();
    });
}

void SimulatedChatClient::programLaunched(const QRect& playerFrame) {
    roomWindow_->move(playerFrame.right() + kWindowGap, playerFrame.top());
    roomWindow_->show();
    chatter_->setEnabled(true);
}

}  // namespace melodrop::app
