#include <gtest/gtest.h>

#include "base/NumberText.h"

using namespace melodrop;

TEST(NumberText, NumbersAsPeopleTypeThem) {
    EXPECT_EQ(parseNumber("40"), 40.0);
    EXPECT_EQ(parseNumber(" 2.5 "), 2.5);
    EXPECT_EQ(parseNumber("-3"), -3.0);
    EXPECT_EQ(parseNumber("1e2"), 100.0);
    for (const char* bad : {"", " ", "abc", "4 0", "nan", "inf", "-inf", "1e999", "0x10", "40%"})
        EXPECT_FALSE(parseNumber(bad).has_value()) << bad;
}

TEST(NumberText, ColourReferencesDecimalAndHexadecimal) {
    EXPECT_EQ(parseColorReference("255"), 255u);
    EXPECT_EQ(parseColorReference("&HFF"), 255u);
    EXPECT_EQ(parseColorReference("&hff&"), 255u);
    EXPECT_EQ(parseColorReference("&H00FF00&"), 0xFF00u);
    EXPECT_EQ(parseColorReference("16777215"), 0xFFFFFFu);
    for (const char* bad : {"", "red", "&H", "&HXYZ", "-1", "&H123456789", "99999999999", "1.5"})
        EXPECT_FALSE(parseColorReference(bad).has_value()) << bad;
}

TEST(NumberText, HalvesRoundToEven) {
    EXPECT_EQ(roundHalfEven(50.5), 50);
    EXPECT_EQ(roundHalfEven(51.5), 52);
    EXPECT_EQ(roundHalfEven(-1237.5), -1238);
    EXPECT_EQ(roundHalfEven(0.49), 0);
}
