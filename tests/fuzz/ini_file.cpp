// ReadINI on any bytes, for the keys a skin and any other section and key taken from the
// input: no crash, never more than 749 characters.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "aol/QuartzlineFiles.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    for (const char* key : {"image", "backcolor", "forecolor", "skinname"}) {
        const std::string value = aol::ReadINIBytes("melodrop", key, bytes);
        if (value.size() > 749 * 3) std::abort();
    }
    // The first line names a section and a key to look up in the rest.
    const std::size_t newline = bytes.find('\n');
    if (newline != std::string_view::npos) {
        const std::string_view first = bytes.substr(0, newline);
        const std::size_t equals = first.find('=');
        const std::string section(first.substr(0, equals));
        const std::string key(equals == std::string_view::npos ? "" : first.substr(equals + 1));
        aol::ReadINIBytes(section, key, bytes.substr(newline + 1));
    }
    return 0;
}
