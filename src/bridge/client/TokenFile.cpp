#include "bridge/client/TokenFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "bridge/protocol/BridgeProtocol.h"
#include "bridge/protocol/Handshake.h"
#include "bridge/protocol/TokenPlace.h"

namespace aol {

TokenRead ReadTokenFile(const std::string& path, std::string& token, std::string& error) {
    token.clear();
    const int folder = bridge::OpenPrivateFolder(bridge::FolderOf(path), error);
    if (folder < 0) return TokenRead::Refused;
    // Not through a link, and without waiting on a pipe or a device.
    const int fd = ::openat(folder, bridge::NameOf(path).c_str(),
                            O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    const int openError = errno;
    ::close(folder);
    if (fd < 0) {
        if (openError == ENOENT) return TokenRead::Missing;
        error = "cannot open the token file " + path + " (" + std::strerror(openError) +
                (openError == ELOOP ? ": it is a symbolic link" : "") +
                "): delete it and start melodrop-bridge again";
        return TokenRead::Refused;
    }
    struct stat st {};
    TokenRead result = TokenRead::Refused;
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        error = "the token file " + path +
                " is not a plain file: delete it and start "
                "melodrop-bridge again";
    } else if (st.st_uid != ::geteuid()) {
        error = "the token file " + path + " is not yours (it belongs to user id " +
                std::to_string(st.st_uid) + "): delete it and start melodrop-bridge again";
    } else if ((st.st_mode & 077) != 0) {
        error = "others can read or write the token file " + path + " (mode " +
                bridge::ModeText(st.st_mode) +
                "): melodrop-bridge writes it for you alone (mode 0600); delete it and start "
                "melodrop-bridge again";
    } else {
        char buffer[bridge::kTokenChars + 4] = {};
        const ssize_t got = ::read(fd, buffer, sizeof buffer);
        std::string text(buffer, got > 0 ? static_cast<std::size_t>(got) : 0);
        while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
        if (!bridge::TokenKey(text)) {
            error = "the token file " + path + " holds no token: start melodrop-bridge again";
        } else {
            token = text;
            result = TokenRead::Read;
        }
    }
    ::close(fd);
    return result;
}

std::string DefaultTokenFile(std::string& error) {
    return bridge::DefaultTokenPathFor(std::getenv("XDG_RUNTIME_DIR"), error);
}

}  // namespace aol
