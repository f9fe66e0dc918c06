// The operating system's files behind the FileSystem seam: POSIX calls, or the C runtime's and
// MoveFileExW on Windows. Kept apart because <windows.h> brings macros that clash with names
// elsewhere.
#include <algorithm>
#include <cerrno>

#include "files/FileSystem.h"

#ifdef _WIN32
#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>
#include <windows.h>

#include <filesystem>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace files {

namespace {

std::error_code lastError() {
    return {errno, std::generic_category()};
}

#ifdef _WIN32

std::wstring wide(const std::string& utf8) {
    return std::filesystem::path(
               std::u8string(reinterpret_cast<const char8_t*>(utf8.data()), utf8.size()))
        .wstring();
}

class RealFileSystem : public FileSystem {
public:
    Handle openRead(const std::string& path, std::error_code& error) override {
        const int fd = _wopen(wide(path).c_str(), _O_RDONLY | _O_BINARY | _O_NOINHERIT);
        if (fd < 0) error = lastError();
        return fd;
    }
    FileInfo info(Handle handle, std::error_code& error) override {
        struct _stat64 st {};
        if (_fstat64(handle, &st) != 0) {
            error = lastError();
            return {};
        }
        return {(st.st_mode & _S_IFMT) == _S_IFREG, (st.st_mode & _S_IFMT) == _S_IFDIR,
                static_cast<std::uint64_t>(st.st_size)};
    }
    std::size_t read(Handle handle, char* buffer, std::size_t size,
                     std::error_code& error) override {
        const int got =
            _read(handle, buffer, static_cast<unsigned>(std::min<std::size_t>(size, 1u << 30)));
        if (got < 0) {
            error = lastError();
            return 0;
        }
        return static_cast<std::size_t>(got);
    }
    Handle createNew(const std::string& path, const std::string&, std::error_code& error) override {
        const int fd =
            _wopen(wide(path).c_str(), _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY | _O_NOINHERIT,
                   _S_IREAD | _S_IWRITE);
        if (fd < 0) error = lastError();
        return fd;
    }
    std::size_t write(Handle handle, const char* data, std::size_t size,
                      std::error_code& error) override {
        const int wrote =
            _write(handle, data, static_cast<unsigned>(std::min<std::size_t>(size, 1u << 30)));
        if (wrote < 0) {
            error = lastError();
            return 0;
        }
        return static_cast<std::size_t>(wrote);
    }
    void sync(Handle handle, std::error_code& error) override {
        if (_commit(handle) != 0) error = lastError();
    }
    void close(Handle handle, std::error_code& error) override {
        if (_close(handle) != 0) error = lastError();
    }
    void rename(const std::string& from, const std::string& to, std::error_code& error) override {
        if (!MoveFileExW(wide(from).c_str(), wide(to).c_str(),
                         MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
            error = std::error_code(static_cast<int>(GetLastError()), std::system_category());
    }
    void remove(const std::string& path, std::error_code& error) override {
        if (_wunlink(wide(path).c_str()) != 0) error = lastError();
    }
};

#else

class RealFileSystem : public FileSystem {
public:
    Handle openRead(const std::string& path, std::error_code& error) override {
        // Without O_NONBLOCK, opening a pipe waits for a writer, maybe for ever.
        int fd;
        do {
            fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
        } while (fd < 0 && errno == EINTR);
        if (fd < 0) error = lastError();
        return fd;
    }
    FileInfo info(Handle handle, std::error_code& error) override {
        struct stat st {};
        if (::fstat(handle, &st) != 0) {
            error = lastError();
            return {};
        }
        return {S_ISREG(st.st_mode), S_ISDIR(st.st_mode), static_cast<std::uint64_t>(st.st_size)};
    }
    std::size_t read(Handle handle, char* buffer, std::size_t size,
                     std::error_code& error) override {
        ssize_t got;
        do {
            got = ::read(handle, buffer, size);
        } while (got < 0 && errno == EINTR);
        if (got < 0) {
            error = lastError();
            return 0;
        }
        return static_cast<std::size_t>(got);
    }
    Handle createNew(const std::string& path, const std::string& like,
                     std::error_code& error) override {
        int fd;
        do {
            fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOCTTY, 0666);
        } while (fd < 0 && errno == EINTR);
        if (fd < 0) {
            error = lastError();
            return fd;
        }
        // A replaced file keeps its permissions.
        struct stat st {};
        if (::stat(like.c_str(), &st) == 0 && S_ISREG(st.st_mode))
            (void)::fchmod(fd, st.st_mode & 07777);
        return fd;
    }
    std::size_t write(Handle handle, const char* data, std::size_t size,
                      std::error_code& error) override {
        ssize_t wrote;
        do {
            wrote = ::write(handle, data, size);
        } while (wrote < 0 && errno == EINTR);
        if (wrote < 0) {
            error = lastError();
            return 0;
        }
        return static_cast<std::size_t>(wrote);
    }
    void sync(Handle handle, std::error_code& error) override {
        if (::fsync(handle) != 0) error = lastError();
    }
    void close(Handle handle, std::error_code& error) override {
        if (::close(handle) != 0 && errno != EINTR) error = lastError();
    }
    void rename(const std::string& from, const std::string& to, std::error_code& error) override {
        if (::rename(from.c_str(), to.c_str()) != 0) error = lastError();
    }
    void remove(const std::string& path, std::error_code& error) override {
        if (::unlink(path.c_str()) != 0) error = lastError();
    }
};

#endif

}  // namespace

FileSystem& realFileSystem() {
    static RealFileSystem real;
    return real;
}

}  // namespace files
