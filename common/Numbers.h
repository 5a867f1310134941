#pragma once
// How a text becomes a number and a number becomes text, for every command.
#include <string>
#include <string_view>
#include <vector>

namespace common {

// The text's leading decimal number: blanks, tabs and line feeds are skipped
// wherever they stand ("1 2" is 12); sign, digits, decimal point and exponent
// are read up to the first other character; no number gives 0. Overflow gives
// +/-infinity rather than a failure, so callers clamp it.
double leadingNumber(std::string_view text);

// Infinity, which no plain decimal can show, as the largest number of its
// sign; any other value as it is.
double largestIfInfinite(double value);

// Plain decimal: 3, not 3.0; 2.5; 1e20 in full digits; no leading blank.
std::string formatNumber(double value);

// Rounds to the nearest whole number, halves to the even neighbour.
double roundHalfEven(double value);

// Whole numbers in a row: "1, 2, 3", or with another separator "4+12".
std::string joinNumbers(const std::vector<int>& numbers, std::string_view separator = ", ");

} // namespace common
