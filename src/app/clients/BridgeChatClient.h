#pragma once
// A real chat client under Wine, reached through melodrop-bridge over loopback TCP. The bridge
// may come and go: while it is away the program sees no client, and it reconnects by itself.
// The link's state (waiting for the bridge, no chat client, connected, refused and why) goes to
// the error output as it changes, and to a listener.
#include <QSocketNotifier>
#include <QTimer>
#include <memory>

#include "app/clients/ChatClient.h"
#include "bridge/client/RemoteWindowSystem.h"

namespace melodrop::app {

class BridgeChatClient : public ChatClient {
public:
    explicit BridgeChatClient(const ClientChoice& choice);
    ~BridgeChatClient() override;
    aol::WindowSystem& windows() override { return remote_; }
    // The bridge says when a room may have changed: the chat scanners need not poll.
    bool tellsOfChanges() const override { return true; }
    void notifyChanges(std::function<void()> listener) override;

    void watchLink(std::function<void(const aol::LinkStatus&)> listener) override;

private:
    // Listens on the bridge's connection for its word (made anew with every connection).
    void watchConnection();
    void drain();

    aol::RemoteWindowSystem remote_;
    std::unique_ptr<QSocketNotifier> notifier_;
    QTimer reconnect_;   // while the bridge is away, and to keep the connection watched
    QTimer heldChange_;  // for a word of change held back so that reads stay spaced
};

}  // namespace melodrop::app
