#include "bridge/protocol/TokenPlace.h"

#ifndef _WIN32
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#endif

namespace bridge {

std::string DefaultTokenPathFor(const char* runtimeDir, std::string& error) {
    if (!runtimeDir || !*runtimeDir) {
        error = std::string(
                    "XDG_RUNTIME_DIR is not set, so the token file has no default "
                    "place: ") +
                kPrivateFolderAdvice;
        return {};
    }
    const std::string folder = runtimeDir;
    if (folder[0] != '/') {
        error = "XDG_RUNTIME_DIR (" + folder + ") is not an absolute path: " + kPrivateFolderAdvice;
        return {};
    }
    return folder + (folder.back() == '/' ? "" : "/") + kTokenFileName;
}

#ifndef _WIN32

std::string FolderOf(const std::string& path) {
    const std::size_t slash = path.find_last_of('/');
    if (slash == std::string::npos) return ".";
    if (slash == 0) return "/";
    return path.substr(0, slash);
}

std::string NameOf(const std::string& path) {
    const std::size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string ModeText(unsigned mode) {
    char text[8];
    std::snprintf(text, sizeof text, "%04o", mode & 07777u);
    return text;
}

int OpenPrivateFolder(const std::string& folder, std::string& error) {
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) {
        error = "cannot open the folder " + folder + " (" + std::strerror(errno) +
                "): " + kPrivateFolderAdvice;
        return -1;
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0) {
        error = "cannot look at the folder " + folder + ": " + std::strerror(errno);
    } else if (st.st_uid != ::geteuid()) {
        error = "the folder " + folder + " is not yours (it belongs to user id " +
                std::to_string(st.st_uid) + "): " + kPrivateFolderAdvice;
    } else if ((st.st_mode & 077) != 0) {
        error = "others can enter or write the folder " + folder + " (mode " +
                ModeText(st.st_mode) + "): make it private (chmod 700 " + folder + "), or " +
                kPrivateFolderAdvice;
    } else {
        return fd;
    }
    ::close(fd);
    return -1;
}

#endif

}  // namespace bridge
