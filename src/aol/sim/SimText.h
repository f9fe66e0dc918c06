#pragma once
// Text helpers of the simulated client: how the client compares and cleans single-byte text.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "aol/Ansi.h"

namespace aol::sim::detail {

inline constexpr std::size_t kNameBytes = 16;
inline constexpr const char* kPrivateRoomPrefix = "aol://2719:2-2-";
inline constexpr const char* kSendImPrefix = "aol://9293:";

inline bool SameText(const char* a, const std::string& b) {
    return AnsiLowerCase(a) == AnsiLowerCase(b);
}

inline std::string NoLineBreaks(std::string text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' || text[i] == '\n') {
            out += ' ';
            if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
        } else {
            out += text[i];
        }
    }
    return out;
}

// Screen names as the client compares them: letter case and blanks do not count.
inline std::string Normalised(const std::string& ansi) {
    std::string out;
    for (const char c : AnsiLowerCase(ansi)) {
        if (c != ' ') out += c;
    }
    return out;
}

inline bool StartsWithIgnoringCase(const std::string& text, const std::string& prefix) {
    return text.size() >= prefix.size() && AnsiLowerCase(text.substr(0, prefix.size())) == prefix;
}

inline void PutLe32(std::vector<std::uint8_t>& bytes, std::size_t at, std::uint64_t value) {
    for (int i = 0; i < 4; ++i) bytes[at + i] = static_cast<std::uint8_t>(value >> (8 * i));
}

}  // namespace aol::sim::detail
