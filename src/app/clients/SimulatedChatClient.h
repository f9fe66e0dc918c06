#pragma once
// The built-in simulated chat client: signed on, a room open with a few members who chat now and
// then, and a window showing the room where the user types and can make members speak.
#include <QStringList>
#include <memory>

#include "aol/sim/SimClient.h"
#include "app/clients/ChatClient.h"
#include "simroom/RoomChatter.h"
#include "simroom/RoomWindow.h"

namespace melodrop::app {

// The room the simulated client has open when the program starts.
struct SimulatedRoom {
    QString user = QStringLiteral("SunnyTunes");
    QString room = QStringLiteral("Town Square");
    QStringList members = {QStringLiteral("CoolBreeze77"), QStringLiteral("JazzCat"),
                           QStringLiteral("SkaterGrrl"), QStringLiteral("MikeyD2k")};
};

class SimulatedChatClient : public ChatClient {
public:
    SimulatedChatClient(Clock& clock, const SimulatedRoom& room = {});
    ~SimulatedChatClient() override;

    aol::WindowSystem& windows() override { return sim_; }
    bool tellsOfChanges() const override { return true; }
    void notifyChanges(std::function<void()> listener) override;
    void programLaunched(const QRect& playerFrame) override;
    void watchLink(std::function<void(const aol::LinkStatus&)> listener) override;

    aol::sim::SimClient& sim() { return sim_; }
    simroom::RoomWindow& roomWindow() { return *roomWindow_; }

private:
    void deliverPostedSoon();

    aol::sim::SimClient sim_;
    std::unique_ptr<simroom::RoomChatter> chatter_;
    std::unique_ptr<simroom::RoomWindow> roomWindow_;
    bool deliveryQueued_ = false;
};

}  // namespace melodrop::app
