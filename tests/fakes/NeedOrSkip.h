#pragma once
// Ends a test whose tool or facility is missing (a program, a session bus, a mount): under CI a
// failure, so that a green run always means the test ran; elsewhere a skip.
#include <gtest/gtest.h>

#include <QString>
#include <QtGlobal>

#define MELODROP_NEED(available, why)                                \
    do {                                                             \
        if (!(available)) {                                          \
            if (qEnvironmentVariable("CI") == QLatin1String("true")) \
                FAIL() << (why);                                     \
            else                                                     \
                GTEST_SKIP() << (why);                               \
        }                                                            \
    } while (false)
