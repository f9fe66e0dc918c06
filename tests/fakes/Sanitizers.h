#pragma once
// Whether the tests run built with the address sanitizer: the code then runs several times
// slower, and freed memory stays resident for a while (the sanitizer's quarantine).

namespace melodrop::testing {

#if defined(__SANITIZE_ADDRESS__)
inline constexpr bool kUnderAddressSanitizer = true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
inline constexpr bool kUnderAddressSanitizer = true;
#else
inline constexpr bool kUnderAddressSanitizer = false;
#endif
#else
inline constexpr bool kUnderAddressSanitizer = false;
#endif

}  // namespace melodrop::testing
