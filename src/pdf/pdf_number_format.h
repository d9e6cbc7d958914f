#pragma once

#include <string>

namespace tarvik::pdf {

// Rounds to the nearest whole number, a tie going to the even neighbour (2.5 -> 2, 3.5 -> 4),
// the rounding the writer applies to margins, orientations and positions.
long long RoundHalfEven(double value);

// A number with a fixed count of decimals and a point as separator whatever the locale:
// 2 decimals give "12.50", 0 decimals give "12." (the pattern ends in its point). Ties round
// away from zero on the decimal value; a negative value keeps its sign (-0.001 gives "-0.00").
std::string FormatFixed(double value, int decimals);

// The plain decimal form of a number: 15 significant digits at most, no trailing zeros, no
// exponent (842, 595.28, 771.89).
std::string FormatPlain(double value);

// Left-pads with "0" to ten characters: the offsets of the cross-reference table.
std::string PadOffset(const std::string& digits);

} // namespace tarvik::pdf
