#include "bridge/service/Token.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "bridge/protocol/BridgeProtocol.h"
#include "bridge/protocol/Handshake.h"

#ifdef _WIN32
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
// windows.h first
#include <aclapi.h>
#include <sddl.h>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#endif

namespace bridge {
namespace {

constexpr std::size_t kTokenRandomBytes = 32;

std::string Hex(const std::uint8_t* bytes, std::size_t n) {
    static const char* const kHex = "0123456789abcdef";
    std::string text;
    for (std::size_t i = 0; i < n; ++i) {
        text += kHex[bytes[i] >> 4];
        text += kHex[bytes[i] & 0x0F];
    }
    return text;
}

// A name no one can have planted in advance: the token file's, with random letters after it.
std::string TemporaryName(const std::string& name) {
    std::uint8_t random[8];
    if (!RandomBytes(random, sizeof random)) return {};
    return "." + name + "." + Hex(random, sizeof random);
}

#ifdef _WIN32

bool UnderWine() {
    return GetProcAddress(GetModuleHandleA("ntdll.dll"), "wine_get_version") != nullptr;
}

std::string FolderOf(const std::string& path) {
    const std::size_t slash = path.find_last_of("\\/");
    return slash == std::string::npos ? "." : path.substr(0, slash);
}

std::string NameOf(const std::string& path) {
    const std::size_t slash = path.find_last_of("\\/");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// The current user's security identifier, as its bytes (empty when unknown).
std::vector<std::uint8_t> UserSid() {
    HANDLE token = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) return {};
    DWORD size = 0;
    GetTokenInformation(token, TokenUser, nullptr, 0, &size);
    std::vector<std::uint8_t> buffer(size);
    std::vector<std::uint8_t> sid;
    if (size > 0 && GetTokenInformation(token, TokenUser, buffer.data(), size, &size)) {
        PSID user = reinterpret_cast<TOKEN_USER*>(buffer.data())->User.Sid;
        const auto* bytes = static_cast<const std::uint8_t*>(user);
        sid.assign(bytes, bytes + GetLengthSid(user));
    }
    CloseHandle(token);
    return sid;
}

std::string SidText(PSID sid) {
    char* text = nullptr;
    if (!ConvertSidToStringSidA(sid, &text)) return "?";
    std::string out = text;
    LocalFree(text);
    return out;
}

bool IsWellKnown(PSID sid, WELL_KNOWN_SID_TYPE type) {
    return IsWellKnownSid(sid, type) != FALSE;
}

// Whether the folder belongs to the user and grants nobody else anything but the system and
// the administrators (who can read everything on Windows anyway). Under Wine the owner is the
// Unix owner (another user shows as the anonymous logon) and the Unix "others" bits show as an
// entry for Everyone; the group's bits do not show at all (melodrop checks them).
bool FolderIsPrivate(const std::string& folder, std::string& error) {
    PSID owner = nullptr;
    PACL dacl = nullptr;
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (GetNamedSecurityInfoA(folder.c_str(), SE_FILE_OBJECT,
                              OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION, &owner,
                              nullptr, &dacl, nullptr, &descriptor) != ERROR_SUCCESS) {
        error = "cannot look at the folder " + folder + ": " + kPrivateFolderAdvice;
        return false;
    }
    std::vector<std::uint8_t> user = UserSid();
    bool ok = true;
    if (user.empty() || !owner || !EqualSid(owner, user.data())) {
        error = "the folder " + folder + " is not yours (its owner is " +
                (owner ? SidText(owner) : std::string("nobody")) + "): " + kPrivateFolderAdvice;
        ok = false;
    } else if (!dacl) {
        error = "everybody may use the folder " + folder + ": " + kPrivateFolderAdvice;
        ok = false;
    } else {
        for (DWORD i = 0; ok && i < dacl->AceCount; ++i) {
            ACE_HEADER* header = nullptr;
            if (!GetAce(dacl, i, reinterpret_cast<void**>(&header))) continue;
            if (header->AceType != ACCESS_ALLOWED_ACE_TYPE) continue;
            auto* ace = reinterpret_cast<ACCESS_ALLOWED_ACE*>(header);
            PSID sid = &ace->SidStart;
            if (ace->Mask == 0 || EqualSid(sid, user.data()) ||
                IsWellKnown(sid, WinLocalSystemSid) ||
                IsWellKnown(sid, WinBuiltinAdministratorsSid))
                continue;
            error = "others (" + SidText(sid) + ") may use the folder " + folder +
                    ": make it private (chmod 700), or " + kPrivateFolderAdvice;
            ok = false;
        }
    }
    LocalFree(descriptor);
    return ok;
}

// The security descriptor of the token file. Natively: the user alone may use it. Under Wine,
// which turns a descriptor into the file's Unix mode, an entry for a security identifier of the
// process's own token gives the owner and the group the same bits (mode 0640 at best); an entry
// for the descriptor's owner when that is not in the token gives the owner alone. So the file
// is described as the system's, readable and writable by the system alone: Wine makes it mode
// 0600, owned by the Unix user (the owner that counts on Linux, and all that melodrop reads).
struct FileDescriptor {
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    FileDescriptor() {
        std::string sddl;
        if (UnderWine()) {
            sddl = "O:SYD:P(A;;FRFW;;;SY)";
        } else {
            std::vector<std::uint8_t> user = UserSid();
            if (user.empty()) return;
            sddl = "D:P(A;;FA;;;" + SidText(user.data()) + ")";
        }
        ConvertStringSecurityDescriptorToSecurityDescriptorA(sddl.c_str(), SDDL_REVISION_1,
                                                             &descriptor, nullptr);
    }
    ~FileDescriptor() {
        if (descriptor) LocalFree(descriptor);
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
};

#endif

}  // namespace

std::string MakeToken() {
    std::uint8_t bytes[kTokenRandomBytes];
    if (!RandomBytes(bytes, sizeof bytes)) return {};
    return Hex(bytes, sizeof bytes);
}

#ifdef _WIN32

bool WriteTokenFile(const std::string& path, const std::string& token, std::string& error) {
    const std::string folder = FolderOf(path);
    if (!FolderIsPrivate(folder, error)) return false;
    const std::string temporaryName = TemporaryName(NameOf(path));
    if (temporaryName.empty()) {
        error = "no randomness for a temporary name";
        return false;
    }
    const std::string temporary = folder + "\\" + temporaryName;
    FileDescriptor described;
    if (!described.descriptor) {
        error = "cannot describe who may read the token file";
        return false;
    }
    SECURITY_ATTRIBUTES attributes{sizeof attributes, described.descriptor, FALSE};
    // CREATE_NEW: never an existing file, nor what a planted link points at.
    const HANDLE file = CreateFileA(temporary.c_str(), GENERIC_WRITE, 0, &attributes, CREATE_NEW,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        error = "cannot create " + temporary + " (error " + std::to_string(GetLastError()) + ")";
        return false;
    }
    DWORD written = 0;
    const bool ok =
        WriteFile(file, token.data(), static_cast<DWORD>(token.size()), &written, nullptr) &&
        written == token.size() && FlushFileBuffers(file);
    CloseHandle(file);
    if (!ok || !MoveFileExA(temporary.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING)) {
        DeleteFileA(temporary.c_str());
        error = "cannot write " + path + " (error " + std::to_string(GetLastError()) + ")";
        return false;
    }
    return true;
}

void RemoveTokenFile(const std::string& path, const std::string& token) {
    const HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return;
    char buffer[kTokenChars + 2] = {};
    DWORD got = 0;
    const bool read = ReadFile(file, buffer, sizeof buffer, &got, nullptr) != FALSE;
    CloseHandle(file);
    if (read && std::string(buffer, got) == token) DeleteFileA(path.c_str());
}

std::string DefaultTokenPath(std::string& error) {
    if (UnderWine()) {
        // Wine shows the Linux environment, and "Z:" is the Linux root.
        std::string path = DefaultTokenPathFor(std::getenv("XDG_RUNTIME_DIR"), error);
        if (path.empty()) return {};
        path = "Z:" + path;
        for (char& c : path) {
            if (c == '/') c = '\\';
        }
        return path;
    }
    const char* local = std::getenv("LOCALAPPDATA");
    if (!local || !*local) {
        error =
            "LOCALAPPDATA is not set, so the token file has no default place: give "
            "--token-file";
        return {};
    }
    const std::string folder = std::string(local) + "\\melodrop";
    FileDescriptor described;  // natively: the user alone
    SECURITY_ATTRIBUTES attributes{sizeof attributes, described.descriptor, FALSE};
    CreateDirectoryA(folder.c_str(), described.descriptor ? &attributes : nullptr);
    return folder + "\\" + kTokenFileName;
}

#else

bool WriteTokenFile(const std::string& path, const std::string& token, std::string& error) {
    const int folder = OpenPrivateFolder(FolderOf(path), error);
    if (folder < 0) return false;
    const std::string name = NameOf(path);
    const std::string temporary = TemporaryName(name);
    bool ok = false;
    // O_EXCL and O_NOFOLLOW: never an existing file, nor what a planted link points at.
    const int fd = temporary.empty()
                       ? -1
                       : ::openat(folder, temporary.c_str(),
                                  O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd < 0) {
        error = "cannot create a temporary file in " + FolderOf(path) + ": " + std::strerror(errno);
    } else {
        ok = ::fchmod(fd, 0600) == 0;
        ok = ok && ::write(fd, token.data(), token.size()) == static_cast<ssize_t>(token.size());
        ok = ::fsync(fd) == 0 && ok;
        ::close(fd);
        // A link planted under the final name is replaced, not followed.
        if (!ok || ::renameat(folder, temporary.c_str(), folder, name.c_str()) != 0) {
            error = "cannot write " + path + ": " + std::strerror(errno);
            ::unlinkat(folder, temporary.c_str(), 0);
            ok = false;
        }
    }
    ::close(folder);
    return ok;
}

void RemoveTokenFile(const std::string& path, const std::string& token) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return;
    char buffer[kTokenChars + 2] = {};
    const ssize_t got = ::read(fd, buffer, sizeof buffer);
    ::close(fd);
    if (got > 0 && std::string(buffer, static_cast<std::size_t>(got)) == token)
        ::unlink(path.c_str());
}

std::string DefaultTokenPath(std::string& error) {
    return DefaultTokenPathFor(std::getenv("XDG_RUNTIME_DIR"), error);
}

#endif

}  // namespace bridge
