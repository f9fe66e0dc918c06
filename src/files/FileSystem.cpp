#include "files/FileSystem.h"

#include <atomic>
#include <chrono>
#include <cstdio>

namespace files {

namespace {

class ProblemCategory : public std::error_category {
public:
    const char* name() const noexcept override { return "files"; }
    std::string message(int value) const override {
        switch (static_cast<FileProblem>(value)) {
            case FileProblem::NotARegularFile:
                return "not a regular file (a folder, a pipe or a device)";
            case FileProblem::TooLarge:
                return "the file is too large";
        }
        return "unknown file problem";
    }
};

FileSystem* current = nullptr;

constexpr std::size_t kChunk = 64 * 1024;
constexpr int kTemporaryNameAttempts = 16;

// A name for the temporary file beside the target that no other writer picks at the same time.
std::string temporaryName(const std::string& path) {
    static std::atomic<unsigned> counter{0};
    const auto tick = static_cast<unsigned long long>(
        std::chrono::steady_clock::now().time_since_epoch().count());
    char suffix[40];
    std::snprintf(suffix, sizeof suffix, ".new-%llx-%x", tick & 0xFFFFFFFFFFull,
                  counter.fetch_add(1));
    return path + suffix;
}

}  // namespace

const std::error_category& fileProblemCategory() {
    static const ProblemCategory category;
    return category;
}

std::error_code make_error_code(FileProblem problem) {
    return {static_cast<int>(problem), fileProblemCategory()};
}

FileSystem& fileSystem() {
    return current ? *current : realFileSystem();
}

FileSystemOverride::FileSystemOverride(FileSystem& replacement) : previous_(current) {
    current = &replacement;
}

FileSystemOverride::~FileSystemOverride() {
    current = previous_;
}

ReadResult readWholeFile(const std::string& path, std::size_t maxBytes) {
    FileSystem& fs = fileSystem();
    ReadResult result;
    const FileSystem::Handle handle = fs.openRead(path, result.error);
    if (result.error) return result;
    const FileInfo info = fs.info(handle, result.error);
    if (!result.error && !info.regular) result.error = FileProblem::NotARegularFile;
    if (!result.error && info.size > maxBytes) result.error = FileProblem::TooLarge;
    if (!result.error) {
        // The size said is only a hint (files of /proc say 0, a file may grow meanwhile): the
        // bound is checked again on what arrives.
        result.bytes.reserve(static_cast<std::size_t>(info.size));
        std::string chunk(kChunk, '\0');
        for (;;) {
            const std::size_t got = fs.read(handle, chunk.data(), chunk.size(), result.error);
            if (result.error || got == 0) break;
            if (result.bytes.size() + got > maxBytes) {
                result.error = FileProblem::TooLarge;
                break;
            }
            result.bytes.append(chunk.data(), got);
        }
    }
    std::error_code closing;
    fs.close(handle, closing);
    if (result.error) result.bytes.clear();
    return result;
}

std::error_code writeWholeFile(const std::string& path, std::string_view bytes) {
    FileSystem& fs = fileSystem();
    std::error_code error;
    std::string temporary;
    FileSystem::Handle handle = -1;
    for (int attempt = 0; attempt < kTemporaryNameAttempts; ++attempt) {
        error.clear();
        temporary = temporaryName(path);
        handle = fs.createNew(temporary, path, error);
        if (error != std::errc::file_exists) break;
    }
    if (error) return error;

    std::size_t done = 0;
    while (done < bytes.size()) {
        const std::size_t wrote = fs.write(handle, bytes.data() + done, bytes.size() - done, error);
        if (error) break;
        if (wrote == 0) {
            error = std::make_error_code(std::errc::io_error);
            break;
        }
        done += wrote;
    }
    if (!error) fs.sync(handle, error);
    std::error_code closing;
    fs.close(handle, closing);
    if (!error) error = closing;
    if (!error) fs.rename(temporary, path, error);
    if (error) {
        std::error_code ignored;
        fs.remove(temporary, ignored);
    }
    return error;
}

std::string describe(const std::string& path, std::error_code error) {
    return path + ": " + error.message();
}

}  // namespace files
