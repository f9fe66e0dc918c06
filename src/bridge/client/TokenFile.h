#pragma once
// melodrop's reading of the bridge's token file, which must be the user's own and private: a
// regular file (not a link), owned by the user, that nobody else can read or write, in a folder
// that belongs to the user and that nobody else can enter or write (TokenPlace.h). Anything else
// is refused with a message that says what is wrong and what to do. Plain C++ and POSIX.
#include <string>

namespace aol {

enum class TokenRead {
    Read,     // the token is in `token`
    Missing,  // no token file (yet): the bridge has not started
    Refused,  // not the user's private file, or not a token: `error` says why
};

TokenRead ReadTokenFile(const std::string& path, std::string& token, std::string& error);

// The default token file by the rule both programs follow; "" and `error` when there is none.
std::string DefaultTokenFile(std::string& error);

}  // namespace aol
