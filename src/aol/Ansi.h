#pragma once
// Text crossing to the chat client: the program's UTF-8 on one side, the client's single-byte
// Windows-1252 text on the other.
//
// - Utf8ToAnsi: every character with a Windows-1252 form becomes that byte (the chat line
//   markers U+00B7 U+00F7 U+2022 become B7 F7 95); every other character, and every byte of
//   malformed UTF-8, becomes '?'.
// - AnsiToUtf8: every byte decodes; the five bytes Windows-1252 leaves undefined (81 8D 8F 90 9D)
//   decode to the control characters of the same value, as Windows itself does, so they survive
//   a round trip.
// - AnsiLowerCase: lower-cases the letters of Windows-1252 text (A-Z, the accented capitals
//   C0-DE except D7, and 8A 8C 8E 9F), as the client's own case folding does.
#include <string>
#include <string_view>

namespace aol {

std::string Utf8ToAnsi(std::string_view utf8);
// Whether a character has a Windows-1252 form (Utf8ToAnsi keeps it rather than writing '?').
bool HasAnsiForm(char32_t codePoint);
std::string AnsiToUtf8(std::string_view ansi);
std::string AnsiLowerCase(std::string_view ansi);
// Lower-cases UTF-8 text the way the client would: through Windows-1252 and back. Characters
// without a Windows-1252 form are kept as they are.
std::string Utf8LowerAnsi(std::string_view utf8);

}  // namespace aol
