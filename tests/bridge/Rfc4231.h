#pragma once
// The HMAC-SHA256 test vectors of RFC 4231 (cases 1 to 7; case 5 is checked on its first 16
// bytes, as the RFC truncates it), for checking each platform's implementation.
#include <string>
#include <vector>

namespace bridge::testing {

struct HmacVector {
    std::string key;
    std::string data;
    std::string macHex;  // lower-case hex; shorter than 64 digits: a truncated MAC
};

inline std::vector<HmacVector> Rfc4231Vectors() {
    std::string key4;
    for (int i = 1; i <= 25; ++i) key4.push_back(static_cast<char>(i));
    const std::string big(131, '\xaa');
    return {
        {std::string(20, '\x0b'), "Hi There",
         "b0344c61d8db38535ca8afceaf0bf12b881dc200c9833da726e9376c2e32cff7"},
        {"Jefe", "what do ya want for nothing?",
         "5bdcc146bf60754e6a042426089575c75a003f089d2739839dec58b964ec3843"},
        {std::string(20, '\xaa'), std::string(50, '\xdd'),
         "773ea91e36800e46854db8ebd09181a72959098b3ef8c122d9635514ced565fe"},
        {key4, std::string(50, '\xcd'),
         "82558a389a443c0ea4cc819899f2083a85f0faa3e578f8077a2e3ff46729665b"},
        {std::string(20, '\x0c'), "Test With Truncation", "a3b6167473100ee06e0c796c2955552b"},
        {big, "Test Using Larger Than Block-Size Key - Hash Key First",
         "60e431591ee0b67f0d8a26aacbf5b77f8e0bc6213728c5140546040f0ee37f54"},
        {big,
         "This is a test using a larger than block-size key and a larger than block-size data. "
         "The key needs to be hashed before being used by the HMAC algorithm.",
         "9b09ffa71b942fcb27635fbcd5b0e944bfdc63644f0713938a7f51535c3a35e2"},
    };
}

inline std::string ToHex(const unsigned char* bytes, std::size_t n) {
    static const char* const kHex = "0123456789abcdef";
    std::string text;
    for (std::size_t i = 0; i < n; ++i) {
        text += kHex[bytes[i] >> 4];
        text += kHex[bytes[i] & 0x0F];
    }
    return text;
}

}  // namespace bridge::testing
