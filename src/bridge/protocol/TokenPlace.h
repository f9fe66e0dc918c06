#pragma once
// Where the bridge's token file is kept, by one rule for both programs: unless told otherwise
// (melodrop --bridge-token-file, melodrop-bridge --token-file), the file is
// "$XDG_RUNTIME_DIR/melodrop-bridge.token". XDG_RUNTIME_DIR must be an absolute path; there is
// no other default and no relative one. The folder must belong to the user and nobody else may
// enter or write it (on Linux mode 0700, as the desktop's runtime folder is): whoever could
// write there could swap the file. (The bridge under Wine reads the same variable from the
// Linux environment; natively on Windows it keeps the file in %LOCALAPPDATA%\melodrop.)
#include <string>

namespace bridge {

inline constexpr const char* kTokenFileName = "melodrop-bridge.token";

// The default token file for the given value of XDG_RUNTIME_DIR (nullptr when unset); "" and
// `error` (what is wrong and what to do) when there is no default.
std::string DefaultTokenPathFor(const char* runtimeDir, std::string& error);

// What to tell the user when the folder is not private: what to do about it.
inline constexpr const char* kPrivateFolderAdvice =
    "keep the token in a folder only you can enter (mode 0700): set XDG_RUNTIME_DIR to one, or "
    "give the token file's path (melodrop --bridge-token-file, melodrop-bridge --token-file)";

#ifndef _WIN32
// The folder of a file path ("." for a bare name), and its last part.
std::string FolderOf(const std::string& path);
std::string NameOf(const std::string& path);

// Opens `folder` (a descriptor for the *at calls) when it is a folder of this user that nobody
// else can enter or write; -1 and `error` (what is wrong and what to do) when not.
int OpenPrivateFolder(const std::string& folder, std::string& error);

// "0755" for the permission bits of a mode.
std::string ModeText(unsigned mode);
#endif

}  // namespace bridge
