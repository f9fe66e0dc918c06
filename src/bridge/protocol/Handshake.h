#pragma once
// How melodrop and the bridge prove to each other that they know the token, without sending it.
//
// Each side sends a fresh random nonce: melodrop first (Hello), then the bridge (its answer to
// Hello). The bridge proves first: its answer carries HMAC-SHA256, under the token's 32 bytes, of
// the protocol's name and version, the role "bridge" and both nonces. melodrop checks that proof
// before it sends its own, the same MAC for the role "melodrop" (Prove). A proof answers one
// pair of nonces only: a peer that replays or reflects one, or asks the bridge to prove for a
// nonce of its choosing, learns nothing that a later connection would accept.
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "bridge/protocol/Hmac.h"

namespace bridge {

inline constexpr std::size_t kNonceBytes = 32;
inline constexpr std::size_t kTokenBytes = 32;

using Nonce = std::array<std::uint8_t, kNonceBytes>;

// Fills `out` from the system's random source (BCryptGenRandom on Windows, getrandom on
// Linux); false when it gives nothing.
bool RandomBytes(std::uint8_t* out, std::size_t n);
std::optional<Nonce> MakeNonce();

// The HMAC key of a token as the bridge writes it (64 hex digits): its 32 bytes; nothing when
// the text is not such a token.
std::optional<std::string> TokenKey(std::string_view token);

enum class Role { Bridge, Melodrop };

// What `role` sends to prove that it knows the key, for this pair of nonces.
std::optional<Digest> Proof(std::string_view key, Role role, const Nonce& melodropNonce,
                            const Nonce& bridgeNonce);

// Whether two digests are equal, in a time that does not depend on where they differ.
bool SameDigest(const Digest& a, const Digest& b);

// Bytes and back: the wire carries nonces and proofs as plain bytes.
template <std::size_t N>
std::string AsBytes(const std::array<std::uint8_t, N>& a) {
    return std::string(reinterpret_cast<const char*>(a.data()), a.size());
}
template <std::size_t N>
std::optional<std::array<std::uint8_t, N>> FromBytes(std::string_view bytes) {
    if (bytes.size() != N) return std::nullopt;
    std::array<std::uint8_t, N> a{};
    for (std::size_t i = 0; i < N; ++i) a[i] = static_cast<std::uint8_t>(bytes[i]);
    return a;
}

}  // namespace bridge
