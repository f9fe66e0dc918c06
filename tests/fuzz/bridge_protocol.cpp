// The bridge protocol on any bytes, as both ends meet them: the bridge cutting frames out of what
// a connection sent and parsing each request, melodrop parsing any answer. No crash, no read past
// the bytes; a request that parses is encoded again into bytes that parse to the same encoding.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "bridge/protocol/BridgeProtocol.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);

    // The bridge's side: frames out of a connection's bytes, each parsed as a request.
    std::string inbox = bytes;
    for (int frames = 0; frames < 64; ++frames) {
        std::string message;
        const int taken = bridge::TakeFrame(inbox, message, bridge::kMaxRequestBytes);
        if (taken <= 0) break;
        const std::optional<bridge::Request> request = bridge::ParseRequest(message);
        if (!request) continue;
        const std::string encoded = bridge::EncodeRequest(*request);
        const std::optional<bridge::Request> again = bridge::ParseRequest(encoded);
        if (!again || bridge::EncodeRequest(*again) != encoded) std::abort();
    }

    // melodrop's side: the whole input as the answer to each kind of request.
    for (int op = 0; op <= static_cast<int>(bridge::kLastOp); ++op) {
        const std::optional<bridge::Answer> answer =
            bridge::ParseAnswer(static_cast<bridge::Op>(op), bytes);
        if (answer) bridge::EncodeAnswer(static_cast<bridge::Op>(op), *answer);
    }
    return 0;
}
