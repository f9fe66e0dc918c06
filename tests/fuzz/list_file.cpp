// LoadList on any bytes: no crash, and the entries saved again and loaded back are the same
// entries (SaveList's form is the one LoadList reads).
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "aol/QuartzlineFiles.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::vector<std::string> list;
    aol::LoadListBytes(list, std::string_view(reinterpret_cast<const char*>(data), size));
    // Entries hold no line end. Those without a comma and not starting with a quote (a quoted
    // entry loses its quotes, a comma splits an entry) survive a save and a load unchanged.
    std::vector<std::string> plain;
    for (const std::string& entry : list)
        if (entry.find(',') == std::string::npos && (entry.empty() || entry.front() != '"'))
            plain.push_back(entry);
    std::vector<std::string> again;
    aol::LoadListBytes(again, aol::SaveListBytes(plain));
    if (again != plain) std::abort();
    return 0;
}
