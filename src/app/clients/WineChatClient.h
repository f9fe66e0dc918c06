#pragma once
// A real chat client under Wine, with melodrop-bridge started by melodrop (WineBridge) and
// reached as a bridge started by hand is (BridgeChatClient). The bridge ends with melodrop. What
// the link does goes to the error output once per change: the bridge started (its process, Wine,
// the prefix, the port), the link's states (waiting for the bridge, the chat client not found,
// connected, refused and why), the bridge's end; and the bridge's own lines as it prints them.
// What keeps the client from working (no Wine, no bridge, a bridge that ended by itself) is also
// told to the user in a message box, once the program has started.
#include <QString>
#include <QStringList>
#include <memory>

#include "app/clients/BridgeChatClient.h"
#include "app/clients/ChatClient.h"
#include "bridge/launch/WineBridge.h"

namespace melodrop::app {

class WineChatClient : public ChatClient {
public:
    // bridgePlaces: where melodrop-bridge.exe may lie (FileLocations::bridgeProgramPlaces).
    WineChatClient(
        const ClientChoice& choice, const QStringList& bridgePlaces,
        const QProcessEnvironment& environment = QProcessEnvironment::systemEnvironment());
    ~WineChatClient() override;

    aol::WindowSystem& windows() override { return link_->windows(); }
    bool tellsOfChanges() const override { return true; }
    void notifyChanges(std::function<void()> listener) override;
    void programLaunched(const QRect& playerFrame) override;
    void tellUserThrough(Desktop& desktop) override;
    void watchLink(std::function<void(const aol::LinkStatus&)> listener) override {
        link_->watchLink(std::move(listener));
    }

private:
    // A line on the error output, and a problem for the user.
    void tellUser(const QString& problem);
    void showUntold();

    WineBridge bridge_;
    std::unique_ptr<BridgeChatClient> link_;
    Desktop* desktop_ = nullptr;
    bool launched_ = false;
    QStringList untold_;
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};

}  // namespace melodrop::app
