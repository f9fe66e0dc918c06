#pragma once
// HMAC-SHA256 (RFC 2104 over FIPS 180-4) from the platform's own well-kept implementation: Windows
// CNG (bcrypt) in the Windows builds, OpenSSL's libcrypto elsewhere. Both ends of the bridge
// prove with it that they know the token; tests check it against the RFC 4231 vectors.
#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

namespace bridge {

using Digest = std::array<std::uint8_t, 32>;

// The MAC of `message` under `key`; nothing when the platform's implementation failed.
std::optional<Digest> HmacSha256(std::string_view key, std::string_view message);

}  // namespace bridge
