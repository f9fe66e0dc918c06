#pragma once
// The bridge's shared secret: made fresh at every start from the system's random source, and
// written to a file that only the user can read, where melodrop picks it up. The token itself
// never crosses the connection: both ends prove that they know it (Handshake.h).
#include <string>

#include "bridge/protocol/TokenPlace.h"

namespace bridge {

// 32 random bytes as 64 lower-case hex digits; "" when the system gives no randomness.
std::string MakeToken();

// Writes the token whole: created exclusively under a random temporary name beside `path`,
// readable by the user alone, then renamed over `path` (which may be a stale token, or a
// symbolic link that someone planted: the link is replaced, never followed). The folder must be
// the user's and nobody else's: on Linux mode 0700, on Windows an access list granting nobody
// else (under Wine: the Unix folder's owner and "others" bits, as Wine shows them). On failure
// returns false and says in `error` what is wrong and what to do.
bool WriteTokenFile(const std::string& path, const std::string& token, std::string& error);

// Removes the token file if it still holds `token` (a bridge started since keeps its own).
void RemoveTokenFile(const std::string& path, const std::string& token);

// Where the bridge writes its token unless told otherwise (TokenPlace.h): under Wine the Linux
// user's runtime folder ($XDG_RUNTIME_DIR, read from the Linux environment, as a Z: path), on
// Windows the user's local application data. "" and `error` when there is none.
std::string DefaultTokenPath(std::string& error);

}  // namespace bridge
