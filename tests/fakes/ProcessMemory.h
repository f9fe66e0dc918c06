#pragma once
// This process's resident memory (Linux), for tests that bound what an operation may take:
// reset the peak, run the operation, compare the peak with the memory before.
#include <cstdint>
#include <fstream>
#include <string>

namespace melodrop::testing {

// Under the address sanitizer freed memory stays resident for a while (its quarantine), so
// peaks say nothing about what the code holds: bounds on them are checked only without it.
#if defined(__SANITIZE_ADDRESS__)
inline constexpr bool kPeakMemoryMeaningful = false;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
inline constexpr bool kPeakMemoryMeaningful = false;
#else
inline constexpr bool kPeakMemoryMeaningful = true;
#endif
#else
inline constexpr bool kPeakMemoryMeaningful = true;
#endif

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
