#pragma once
// Reading numbers out of text typed by a person or stored in a file.
#include <QString>
#include <optional>

namespace melodrop {

// A finite decimal number ("40", " 2.5 ", "-3", "1e2"); nullopt for anything else, including
// "", "nan" and "inf".
std::optional<double> parseNumber(const QString& text);

// A colour reference as a skin file writes it: decimal ("255") or hexadecimal with the "&H"
// prefix ("&HFF", "&H00FF00&"); red in the lowest byte. nullopt when it is not such a number.
std::optional<unsigned> parseColorReference(const QString& text);

// Nearest whole number, halves to the even neighbour (50.5 -> 50, 51.5 -> 52).
long long roundHalfEven(double value);

}  // namespace melodrop
