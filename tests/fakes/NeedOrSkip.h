#pragma once
// Ends a test whose tool or facility is missing (a program, a session bus, a mount): under CI a
// failure, so that a green run always means the test ran; elsewhere a skip.
// Plain C++, so that tests without Qt use it too.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>

inline bool melodropUnderCi() {
    const char* ci = std::getenv("CI");
    return ci && std::strcmp(ci, "true") == 0;
}

#define MELODROP_NEED(available, why)  \
    do {                               \
        if (!(available)) {            \
            if (melodropUnderCi())     \
                FAIL() << (why);       \
            else                       \
                GTEST_SKIP() << (why); \
        }                              \
    } while (false)
