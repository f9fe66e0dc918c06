#pragma once
// The one way melodrop and skinfetch reach the files they read or write whole: list files, INI
// files, the settings file, skin pictures, downloads. Plain C++20 without Qt, so that the
// chat-client module (which also builds for Windows) can use it.
//
// `FileSystem` is the seam: the few primitive calls, each reporting failure as an error code.
// The real one calls the operating system; tests put a faulty one in its place (a full disk, a
// read-only disk, short reads, failing syncs) with FileSystemOverride. On top of the seam:
// - readWholeFile: the whole content of a regular file of bounded size. A folder, a pipe, a
//   device or a socket is refused without blocking on it (a pipe is opened without waiting for a
//   writer), and so is a file larger than the bound, before anything is read.
// - writeWholeFile: a file replaced whole or not at all. The bytes go to a new temporary file
//   beside the target, are flushed to the disk, and only then renamed over the target; on any
//   failure the temporary file is removed and the target keeps its old content.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <system_error>

namespace files {

// Failures of our own, beside the operating system's.
enum class FileProblem {
    NotARegularFile = 1,  // a folder, a pipe, a device, a socket
    TooLarge,             // larger than the reader's bound
};
const std::error_category& fileProblemCategory();
std::error_code make_error_code(FileProblem problem);

struct FileInfo {
    bool regular = false;
    bool folder = false;
    std::uint64_t size = 0;
};

class FileSystem {
public:
    using Handle = int;
    virtual ~FileSystem() = default;

    // Opens an existing file for reading without blocking (a pipe without a writer opens at once).
    virtual Handle openRead(const std::string& path, std::error_code& error) = 0;
    virtual FileInfo info(Handle handle, std::error_code& error) = 0;
    // Reads up to `size` bytes; 0 at the end of the file. May return fewer bytes than asked.
    virtual std::size_t read(Handle handle, char* buffer, std::size_t size,
                             std::error_code& error) = 0;
    // Creates a file that does not exist yet (with the permissions of `like` when that file
    // exists), for writing.
    virtual Handle createNew(const std::string& path, const std::string& like,
                             std::error_code& error) = 0;
    // Writes up to `size` bytes; may write fewer.
    virtual std::size_t write(Handle handle, const char* data, std::size_t size,
                              std::error_code& error) = 0;
    // Flushes what was written to the disk.
    virtual void sync(Handle handle, std::error_code& error) = 0;
    virtual void close(Handle handle, std::error_code& error) = 0;
    // Renames `from` over `to` in one step, replacing an existing `to`.
    virtual void rename(const std::string& from, const std::string& to, std::error_code& error) = 0;
    virtual void remove(const std::string& path, std::error_code& error) = 0;
};

// The operating system's files.
FileSystem& realFileSystem();
// The file system in use: the real one unless a FileSystemOverride is alive.
FileSystem& fileSystem();

// Puts another file system in place for as long as it lives (tests).
class FileSystemOverride {
public:
    explicit FileSystemOverride(FileSystem& replacement);
    ~FileSystemOverride();
    FileSystemOverride(const FileSystemOverride&) = delete;
    FileSystemOverride& operator=(const FileSystemOverride&) = delete;

private:
    FileSystem* previous_;
};

struct ReadResult {
    std::string bytes;      // the whole content when ok
    std::error_code error;  // why not
    bool ok() const { return !error; }
};

// The content of the regular file at `path` (UTF-8), if it is at most maxBytes long.
ReadResult readWholeFile(const std::string& path, std::size_t maxBytes);

// Replaces the file at `path` with `bytes`, whole or not at all; the error when not.
std::error_code writeWholeFile(const std::string& path, std::string_view bytes);

// "path: what went wrong", for messages.
std::string describe(const std::string& path, std::error_code error);

}  // namespace files

template <>
struct std::is_error_code_enum<files::FileProblem> : std::true_type {};
