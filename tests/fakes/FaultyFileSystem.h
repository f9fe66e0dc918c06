#pragma once
// The real file system with faults a test switches on: a disk that fills up (ENOSPC), a
// read-only disk (EROFS), reads that deliver a few bytes at a time or fail half-way, a sync or a
// rename that fails. Put in place with files::FileSystemOverride. Plain C++, no Qt.
#include <algorithm>
#include <cerrno>
#include <optional>
#include <string>
#include <vector>

#include "files/FileSystem.h"

namespace files::testing {

class FaultyFileSystem : public FileSystem {
public:
    // Writes succeed for `room` more bytes in all, then fail with ENOSPC (the last one short).
    void fillDiskAfter(std::size_t room) { room_ = room; }
    // Creating, renaming and removing files fail with EROFS.
    void makeReadOnly() { readOnly_ = true; }
    // Every read delivers at most `most` bytes.
    void shortReads(std::size_t most) { readChunk_ = most; }
    // Reads fail with EIO once `bytes` bytes were read from one file.
    void failReadsAfter(std::size_t bytes) { readFailsAfter_ = bytes; }
    void failSync() { syncFails_ = true; }
    void failRename() { renameFails_ = true; }

    std::vector<std::string> created;  // every file created, in order
    std::vector<std::string> renamed;  // "from -> to"
    int opened = 0;
    int closed = 0;

    Handle openRead(const std::string& path, std::error_code& error) override {
        const Handle h = real().openRead(path, error);
        if (!error) {
            ++opened;
            readSoFar_ = 0;
        }
        return h;
    }
    FileInfo info(Handle handle, std::error_code& error) override {
        return real().info(handle, error);
    }
    std::size_t read(Handle handle, char* buffer, std::size_t size,
                     std::error_code& error) override {
        if (readFailsAfter_ && readSoFar_ >= *readFailsAfter_) {
            error = std::error_code(EIO, std::generic_category());
            return 0;
        }
        if (readChunk_) size = std::min(size, *readChunk_);
        if (readFailsAfter_) size = std::min(size, *readFailsAfter_ - readSoFar_);
        const std::size_t got = real().read(handle, buffer, size, error);
        readSoFar_ += got;
        return got;
    }
    Handle createNew(const std::string& path, const std::string& like,
                     std::error_code& error) override {
        if (readOnly_) {
            error = std::error_code(EROFS, std::generic_category());
            return -1;
        }
        const Handle h = real().createNew(path, like, error);
        if (!error) {
            created.push_back(path);
            ++opened;
        }
        return h;
    }
    std::size_t write(Handle handle, const char* data, std::size_t size,
                      std::error_code& error) override {
        if (room_) {
            if (*room_ == 0) {
                error = std::error_code(ENOSPC, std::generic_category());
                return 0;
            }
            size = std::min(size, *room_);
        }
        const std::size_t wrote = real().write(handle, data, size, error);
        if (room_) *room_ -= wrote;
        return wrote;
    }
    void sync(Handle handle, std::error_code& error) override {
        if (syncFails_) {
            error = std::error_code(EIO, std::generic_category());
            return;
        }
        real().sync(handle, error);
    }
    void close(Handle handle, std::error_code& error) override {
        ++closed;
        real().close(handle, error);
    }
    void rename(const std::string& from, const std::string& to, std::error_code& error) override {
        if (readOnly_ || renameFails_) {
            error = std::error_code(readOnly_ ? EROFS : EXDEV, std::generic_category());
            return;
        }
        renamed.push_back(from + " -> " + to);
        real().rename(from, to, error);
    }
    void remove(const std::string& path, std::error_code& error) override {
        if (readOnly_) {
            error = std::error_code(EROFS, std::generic_category());
            return;
        }
        real().remove(path, error);
    }

private:
    static FileSystem& real() { return realFileSystem(); }

    std::optional<std::size_t> room_;
    bool readOnly_ = false;
    std::optional<std::size_t> readChunk_;
    std::optional<std::size_t> readFailsAfter_;
    std::size_t readSoFar_ = 0;
    bool syncFails_ = false;
    bool renameFails_ = false;
};

}  // namespace files::testing
