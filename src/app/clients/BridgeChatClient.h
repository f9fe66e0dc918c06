#pragma once
// A real chat client under Wine, reached through melodrop-bridge over loopback TCP. The bridge
// may come and go: while it is away the program sees no client, and it reconnects by itself.
#include "aol/remote/RemoteWindowSystem.h"
#include "app/clients/ChatClient.h"

namespace melodrop::app {

class BridgeChatClient : public ChatClient {
public:
    explicit BridgeChatClient(const ClientChoice& choice);
    aol::WindowSystem& windows() override { return remote_; }
    // A user's line must come back quickly; a poll costs a round trip on loopback.
    int quietPollMilliseconds() const override {
        return TranscriptWatch::kResponsiveSlowMilliseconds;
    }

    // Where melodrop looks for the bridge's token when not told: the user's runtime folder.
    static QString defaultTokenFile();

private:
    aol::RemoteWindowSystem remote_;
};

}  // namespace melodrop::app
