#include "bridge/service/Token.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <vector>

#ifdef _WIN32
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
// windows.h first
#include <bcrypt.h>
#include <sddl.h>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace bridge {
namespace {

constexpr std::size_t kTokenBytes = 32;

bool RandomBytes(std::uint8_t* out, std::size_t n) {
#ifdef _WIN32
    return BCryptGenRandom(nullptr, out, static_cast<ULONG>(n), BCRYPT_USE_SYSTEM_PREFERRED_RNG) ==
           0;
#else
    const int fd = ::open("/dev/urandom", O_RDONLY | O_CLOEXEC);
    if (fd < 0) return false;
    std::size_t got = 0;
    while (got < n) {
        const ssize_t r = ::read(fd, out + got, n - got);
        if (r <= 0) break;
        got += static_cast<std::size_t>(r);
    }
    ::close(fd);
    return got == n;
#endif
}

#ifdef _WIN32
// A security descriptor granting the current user, and nobody else, full access.
struct OwnerOnly {
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    OwnerOnly() {
        HANDLE token = nullptr;
        if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) return;
        DWORD size = 0;
        GetTokenInformation(token, TokenUser, nullptr, 0, &size);
        std::vector<std::uint8_t> buffer(size);
        char* sid = nullptr;
        if (size > 0 && GetTokenInformation(token, TokenUser, buffer.data(), size, &size) &&
            ConvertSidToStringSidA(reinterpret_cast<TOKEN_USER*>(buffer.data())->User.Sid, &sid)) {
            const std::string sddl = std::string("D:P(A;;FA;;;") + sid + ")";
            ConvertStringSecurityDescriptorToSecurityDescriptorA(sddl.c_str(), SDDL_REVISION_1,
                                                                 &descriptor, nullptr);
            LocalFree(sid);
        }
        CloseHandle(token);
    }
    ~OwnerOnly() {
        if (descriptor) LocalFree(descriptor);
    }
};
#endif

}  // namespace

std::string MakeToken() {
    std::uint8_t bytes[kTokenBytes];
    if (!RandomBytes(bytes, sizeof bytes)) return {};
    static const char* const kHex = "0123456789abcdef";
    std::string token;
    for (const std::uint8_t b : bytes) {
        token += kHex[b >> 4];
        token += kHex[b & 0x0F];
    }
    return token;
}

bool WriteTokenFile(const std::string& path, const std::string& token, std::string& error) {
    const std::string temporary = path + ".new";
#ifdef _WIN32
    OwnerOnly owner;
    SECURITY_ATTRIBUTES attributes{sizeof attributes, owner.descriptor, FALSE};
    const HANDLE file =
        CreateFileA(temporary.c_str(), GENERIC_WRITE, 0, owner.descriptor ? &attributes : nullptr,
                    CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        error = "cannot create " + temporary;
        return false;
    }
    DWORD written = 0;
    const bool ok =
        WriteFile(file, token.data(), static_cast<DWORD>(token.size()), &written, nullptr) &&
        written == token.size() && FlushFileBuffers(file);
    CloseHandle(file);
    if (!ok || !MoveFileExA(temporary.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING)) {
        DeleteFileA(temporary.c_str());
        error = "cannot write " + path;
        return false;
    }
    return true;
#else
    const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    if (fd < 0) {
        error = "cannot create " + temporary;
        return false;
    }
    bool ok = ::fchmod(fd, 0600) == 0;
    ok = ok && ::write(fd, token.data(), token.size()) == static_cast<ssize_t>(token.size());
    ok = ::fsync(fd) == 0 && ok;
    ::close(fd);
    if (!ok || ::rename(temporary.c_str(), path.c_str()) != 0) {
        ::unlink(temporary.c_str());
        error = "cannot write " + path;
        return false;
    }
    return true;
#endif
}

std::string DefaultTokenPath() {
#ifdef _WIN32
    // Under Wine the Linux environment shows through, and "Z:" is the Linux root.
    const bool underWine =
        GetProcAddress(GetModuleHandleA("ntdll.dll"), "wine_get_version") != nullptr;
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    if (underWine && runtime && runtime[0] == '/') {
        std::string path = std::string("Z:") + runtime + "/" + kTokenFileName;
        for (char& c : path) {
            if (c == '/') c = '\\';
        }
        return path;
    }
    const char* local = std::getenv("LOCALAPPDATA");
    if (!local || !*local) return {};
    const std::string folder = std::string(local) + "\\melodrop";
    CreateDirectoryA(folder.c_str(), nullptr);
    return folder + "\\" + kTokenFileName;
#else
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    if (!runtime || !*runtime) return {};
    return std::string(runtime) + "/" + kTokenFileName;
#endif
}

}  // namespace bridge
