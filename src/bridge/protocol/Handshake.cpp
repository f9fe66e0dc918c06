#include "bridge/protocol/Handshake.h"

#include "bridge/protocol/BridgeProtocol.h"

#ifdef _WIN32
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
// windows.h first
#include <bcrypt.h>
#else
#include <sys/random.h>

#include <cerrno>
#endif

namespace bridge {

bool RandomBytes(std::uint8_t* out, std::size_t n) {
#ifdef _WIN32
    return BCryptGenRandom(nullptr, out, static_cast<ULONG>(n), BCRYPT_USE_SYSTEM_PREFERRED_RNG) ==
           0;
#else
    std::size_t got = 0;
    while (got < n) {
        const ssize_t r = ::getrandom(out + got, n - got, 0);
        if (r < 0 && errno == EINTR) continue;
        if (r <= 0) return false;
        got += static_cast<std::size_t>(r);
    }
    return true;
#endif
}

std::optional<Nonce> MakeNonce() {
    Nonce nonce{};
    if (!RandomBytes(nonce.data(), nonce.size())) return std::nullopt;
    return nonce;
}

std::optional<std::string> TokenKey(std::string_view token) {
    if (token.size() != 2 * kTokenBytes) return std::nullopt;
    const auto digit = [](char c) -> int {
        if (c >= '0' && c <= '9') return c - '0';
        if (c >= 'a' && c <= 'f') return c - 'a' + 10;
        return -1;
    };
    std::string key;
    for (std::size_t i = 0; i < token.size(); i += 2) {
        const int high = digit(token[i]);
        const int low = digit(token[i + 1]);
        if (high < 0 || low < 0) return std::nullopt;
        key.push_back(static_cast<char>(high * 16 + low));
    }
    return key;
}

std::optional<Digest> Proof(std::string_view key, Role role, const Nonce& melodropNonce,
                            const Nonce& bridgeNonce) {
    std::string message(kMagic.begin(), kMagic.end());
    message.push_back(static_cast<char>(kProtocolVersion & 0xFF));
    message.push_back(static_cast<char>(kProtocolVersion >> 8));
    message += role == Role::Bridge ? "bridge" : "melodrop";
    message.push_back('\0');
    message += AsBytes(melodropNonce);
    message += AsBytes(bridgeNonce);
    return HmacSha256(key, message);
}

bool SameDigest(const Digest& a, const Digest& b) {
    unsigned char diff = 0;
    for (std::size_t i = 0; i < a.size(); ++i) diff |= static_cast<unsigned char>(a[i] ^ b[i]);
    return diff == 0;
}

}  // namespace bridge
