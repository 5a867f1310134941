#include "Numbers.h"

#include <charconv>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <locale.h>
#if defined(__APPLE__)
#include <xlocale.h>
#endif

namespace common {

namespace {

// strtod follows the process locale, which the toolkit takes from the
// environment at start: under a decimal-comma locale "2.5" would read as 2.
// Reading through the C locale keeps strtod's saturation and any length.
double strtodPlain(const char* text)
{
#if defined(_WIN32)
    static const _locale_t plain = _create_locale(LC_NUMERIC, "C");
    return _strtod_l(text, nullptr, plain);
#else
    static const locale_t plain = newlocale(LC_NUMERIC_MASK, "C", locale_t(0));
    return strtod_l(text, nullptr, plain);
#endif
}

} // namespace

double leadingNumber(std::string_view text)
{
    // Gather the characters that may form the number, skipping blanks.
    std::string digits;
    std::size_t i = 0;
    auto skipBlanks = [&] {
        while (i < text.size() && (text[i] == ' ' || text[i] == '\t' || text[i] == '\n'))
            ++i;
    };
    auto takeDigits = [&] {
        bool any = false;
        for (;;) {
            skipBlanks();
            if (i < text.size() && text[i] >= '0' && text[i] <= '9') {
                digits += text[i++];
                any = true;
            } else {
                return any;
            }
        }
    };
    skipBlanks();
    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
        digits += text[i++];
    bool mantissa = takeDigits();
    skipBlanks();
    if (i < text.size() && text[i] == '.') {
        digits += text[i++];
        mantissa = takeDigits() || mantissa;
    }
    if (!mantissa)
        return 0.0;
    skipBlanks();
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E' || text[i] == 'd' || text[i] == 'D')) {
        std::string exponent = "e";
        std::size_t save = i++;
        skipBlanks();
        if (i < text.size() && (text[i] == '+' || text[i] == '-'))
            exponent += text[i++];
        std::size_t before = digits.size();
        std::string saveDigits = digits;
        if (takeDigits()) {
            exponent += digits.substr(before);
            digits = saveDigits + exponent;
        } else {
            digits = saveDigits;
            i = save;
        }
    }
    // strtod saturates to +/-HUGE_VAL on overflow and handles any length.
    return strtodPlain(digits.c_str());
}

double largestIfInfinite(double value)
{
    return std::isinf(value) ? std::copysign(std::numeric_limits<double>::max(), value) : value;
}

std::string formatNumber(double value)
{
    if (!std::isfinite(value))
        return value < 0 ? "-inf" : "inf";
    if (value == 0.0)
        return "0"; // also for -0
    // Shortest fixed form that reads back as the same value, never an
    // exponent; the largest doubles need a little over 300 digits, the
    // smallest about 1080.
    char buffer[1200];
    auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed);
    return std::string(buffer, result.ptr);
}

double roundHalfEven(double value)
{
    return std::nearbyint(value); // default rounding mode is to nearest, ties to even
}

std::string joinNumbers(const std::vector<int>& numbers, std::string_view separator)
{
    std::string text;
    for (int n : numbers)
        text += (text.empty() ? "" : std::string(separator)) + std::to_string(n);
    return text;
}

} // namespace common
