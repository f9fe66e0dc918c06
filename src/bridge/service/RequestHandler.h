#pragma once
// Carries out one request of the bridge protocol on the chat client, through the guard.
#include "bridge/protocol/BridgeProtocol.h"
#include "bridge/service/ClientGuard.h"
#include "bridge/service/RoomWatch.h"

namespace bridge {

class RequestHandler {
public:
    explicit RequestHandler(ClientGuard& guard) : guard_(guard) {}
    // Every request but the handshake's and WatchRooms (which the server answers itself).
    Answer Handle(const Request& request);
    // Whether a room may have changed since the last ReadRoomTexts (`now` steady seconds).
    bool RoomsChanged(double now);
    // How old the walk of the client's windows may be (RoomWatch::SetWalkSeconds).
    void SetWalkSeconds(double seconds) { rooms_.SetWalkSeconds(seconds); }

private:
    ClientGuard& guard_;
    RoomWatch rooms_;
};

}  // namespace bridge
