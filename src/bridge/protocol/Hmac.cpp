#include "bridge/protocol/Hmac.h"

#ifdef _WIN32
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
// windows.h first
#include <bcrypt.h>
#else
#include <openssl/evp.h>
#include <openssl/hmac.h>
#endif

namespace bridge {

#ifdef _WIN32

std::optional<Digest> HmacSha256(std::string_view key, std::string_view message) {
    // The provider is opened once: opening it is the expensive part.
    static BCRYPT_ALG_HANDLE algorithm = [] {
        BCRYPT_ALG_HANDLE handle = nullptr;
        if (BCryptOpenAlgorithmProvider(&handle, BCRYPT_SHA256_ALGORITHM, nullptr,
                                        BCRYPT_ALG_HANDLE_HMAC_FLAG) != 0)
            handle = nullptr;
        return handle;
    }();
    if (!algorithm) return std::nullopt;
    BCRYPT_HASH_HANDLE hash = nullptr;
    // CNG takes non-const buffers; it does not write to them.
    auto* keyBytes = reinterpret_cast<PUCHAR>(const_cast<char*>(key.data()));
    auto* messageBytes = reinterpret_cast<PUCHAR>(const_cast<char*>(message.data()));
    if (BCryptCreateHash(algorithm, &hash, nullptr, 0, keyBytes, static_cast<ULONG>(key.size()),
                         0) != 0)
        return std::nullopt;
    Digest digest{};
    const bool ok =
        BCryptHashData(hash, messageBytes, static_cast<ULONG>(message.size()), 0) == 0 &&
        BCryptFinishHash(hash, digest.data(), static_cast<ULONG>(digest.size()), 0) == 0;
    BCryptDestroyHash(hash);
    if (!ok) return std::nullopt;
    return digest;
}

#else

std::optional<Digest> HmacSha256(std::string_view key, std::string_view message) {
    Digest digest{};
    unsigned int length = 0;
    if (!HMAC(EVP_sha256(), key.data(), static_cast<int>(key.size()),
              reinterpret_cast<const unsigned char*>(message.data()), message.size(), digest.data(),
              &length) ||
        length != digest.size())
        return std::nullopt;
    return digest;
}

#endif

}  // namespace bridge
