#pragma once
// The bridge's shared secret: made fresh at every start from the system's random source, and
// written to a file that only the user can read, where melodrop picks it up.
#include <string>

namespace bridge {

// 32 random bytes as 64 lower-case hex digits; "" when the system gives no randomness.
std::string MakeToken();

// Writes the token whole (a temporary file renamed over the old one), readable and writable by
// the user alone. On failure returns false and says why in `error`.
bool WriteTokenFile(const std::string& path, const std::string& token, std::string& error);

// Where the bridge writes its token unless told otherwise: under Wine the Linux user's runtime
// folder ($XDG_RUNTIME_DIR, which only the user can enter), on Windows the user's local
// application data; melodrop looks in the same place. "" when neither is known.
std::string DefaultTokenPath();

inline constexpr const char* kTokenFileName = "melodrop-bridge.token";

}  // namespace bridge
