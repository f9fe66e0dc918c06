#pragma once
// How the program reaches the chat client, as the user is to see it: the simulated room, or a
// real client through melodrop-bridge (waiting for the bridge, the bridge without a client,
// connected, or refused and why). Plain C++: told by the window system that reaches the client.
#include <cstdint>
#include <string>

namespace aol {

enum class LinkState {
    Simulated,  // the built-in simulated client
    Waiting,    // for the bridge: nothing listens on the port, or no token file yet
    NoClient,   // connected to the bridge, which finds no chat client
    Connected,  // connected, and the bridge has the chat client (clientProcess)
    Refused,    // the bridge, its token file or what listens on the port was refused: `text`
};

struct LinkStatus {
    LinkState state = LinkState::Waiting;
    std::uint32_t clientProcess = 0;
    // The state in a few words, for a status line: "connected to the chat client (process 42)".
    std::string summary;
    // Everything the user may need to know, e.g. "waiting for melodrop-bridge on ... (no token
    // in ... yet)" or why the link was refused.
    std::string text;
    bool operator==(const LinkStatus&) const = default;
};

inline LinkStatus SimulatedLink() {
    return {LinkState::Simulated, 0, "simulated room", "the simulated chat room"};
}

}  // namespace aol
