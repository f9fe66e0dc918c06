#pragma once
// This process's resident memory (Linux), for tests that bound what an operation may take:
// reset the peak, run the operation, compare the peak with the memory before.
#include <cstdint>
#include <fstream>
#include <string>

#include "fakes/Sanitizers.h"

namespace melodrop::testing {

// Peaks say nothing about what the code holds under the address sanitizer (its quarantine keeps
// freed memory resident): bounds on them are checked only without it.
inline constexpr bool kPeakMemoryMeaningful = !kUnderAddressSanitizer;

namespace detail {
inline std::int64_t statusKilobytes(const std::string& field) {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind(field + ":", 0) == 0) return std::stoll(line.substr(field.size() + 1));
    return -1;
}
}  // namespace detail

inline std::int64_t residentBytes() {
    return detail::statusKilobytes("VmRSS") * 1024;
}
inline std::int64_t peakResidentBytes() {
    return detail::statusKilobytes("VmHWM") * 1024;
}
// Starts a new peak from the memory resident now.
inline bool resetPeakResident() {
    std::ofstream clear("/proc/self/clear_refs");
    clear << "5";
    return static_cast<bool>(clear.flush());
}

}  // namespace melodrop::testing
