#include "aol/Ansi.h"

#include <gtest/gtest.h>

namespace aol {
namespace {

TEST(Ansi, ChatLineMarkersBecomeTheirWindows1252Bytes) {
    EXPECT_EQ(Utf8ToAnsi("\u00B7\u00B7\u00F7\u2022"), "\xB7\xB7\xF7\x95");
}

TEST(Ansi, CharactersWithoutAWindows1252FormBecomeQuestionMarks) {
    EXPECT_EQ(Utf8ToAnsi("a\u0101b\u4E2Dc\U0001F600d"), "a?b?c?d");
}

TEST(Ansi, MalformedUtf8BecomesQuestionMarks) {
    EXPECT_EQ(Utf8ToAnsi("a\xFF"
                         "b\xC3"),
              "a?b?");
    EXPECT_EQ(Utf8ToAnsi("\xC0\x80"), "??");       // overlong NUL
    EXPECT_EQ(Utf8ToAnsi("\xED\xA0\x80"), "???");  // a surrogate
}

TEST(Ansi, EveryByteSurvivesARoundTrip) {
    std::string all;
    for (int b = 1; b < 256; ++b) all += static_cast<char>(b);
    EXPECT_EQ(Utf8ToAnsi(AnsiToUtf8(all)), all);
}

TEST(Ansi, DecodesTheWindows1252Block) {
    EXPECT_EQ(AnsiToUtf8("\x80\x95\x99\xE9"), "\u20AC\u2022\u2122\u00E9");
    EXPECT_EQ(AnsiToUtf8("plain"), "plain");
}

TEST(Ansi, LowerCasesWindows1252Letters) {
    EXPECT_EQ(AnsiLowerCase("Bob SMITH \xC9\x8A\x9F\xD7"), "bob smith \xE9\x9A\xFF\xD7");
    EXPECT_EQ(Utf8LowerAnsi("Zo\u00CB \u0100X"), "zo\u00EB \u0100x");  // U+0100 has no form
}

}  // namespace
}  // namespace aol
