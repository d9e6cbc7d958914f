#include "pdf/pdf_number_format.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>

namespace tarvik::pdf {

long long RoundHalfEven(double value) {
    // Beyond this every double is whole already; the bound keeps the conversion defined.
    constexpr double kLimit = 9.0e18;
    if (!std::isfinite(value)) {
        return 0;
    }
    value = std::clamp(value, -kLimit, kLimit);
    const double lower = std::floor(value);
    const double fraction = value - lower;
    double result = lower;
    if (fraction > 0.5 || (fraction == 0.5 && std::fmod(lower, 2.0) != 0.0)) {
        result = lower + 1.0;
    }
    return static_cast<long long>(result);
}

namespace {

// Adds one unit in the last place of a string of decimal digits (with an optional point).
void IncrementDigits(std::string& digits) {
    for (auto i = static_cast<long>(digits.size()) - 1; i >= 0; --i) {
        char& c = digits[static_cast<size_t>(i)];
        if (c == '.') {
            continue;
        }
        if (c != '9') {
            ++c;
            return;
        }
        c = '0';
    }
    digits.insert(digits.begin(), '1');
}

} // namespace

std::string FormatFixed(double value, int decimals) {
    if (!std::isfinite(value)) {
        value = 0.0;
    }
    // Round on the number's 15-digit decimal value, so 0.125 gives 0.13 as a person expects
    // rather than 0.12 from its binary neighbour.
    decimals = decimals < 0 ? 0 : (decimals > 15 ? 15 : decimals);
    char shortest[64];
    std::snprintf(shortest, sizeof shortest, "%.15g", std::fabs(value));
    const double decimalValue = std::strtod(shortest, nullptr);
    char exact[512];
    std::snprintf(exact, sizeof exact, "%.*f", decimals + 6, decimalValue);
    std::string text = exact;
    const auto point = text.find('.');
    std::string kept = text.substr(0, point + 1 + static_cast<size_t>(decimals));
    const char firstDropped = text[point + 1 + static_cast<size_t>(decimals)];
    if (firstDropped >= '5') {
        IncrementDigits(kept);
    }
    // Like the number pattern it follows, a negative value keeps its sign even when it rounds
    // to zero ("-0.00"); a zero, negative or not, has none.
    if (value < 0) {
        kept.insert(kept.begin(), '-');
    }
    return kept;
}

std::string FormatPlain(double value) {
    if (!std::isfinite(value)) {
        return "0";
    }
    char buffer[512];
    std::snprintf(buffer, sizeof buffer, "%.15g", value);
    std::string text = buffer;
    if (text.find('e') == std::string::npos) {
        return text == "-0" ? "0" : text;
    }
    // Very large or small numbers: fixed notation, then the zeros after the point dropped.
    const double rounded = std::strtod(buffer, nullptr);
    std::snprintf(buffer, sizeof buffer, "%.20f", rounded);
    text = buffer;
    while (!text.empty() && text.back() == '0') {
        text.pop_back();
    }
    if (!text.empty() && text.back() == '.') {
        text.pop_back();
    }
    return text == "-0" ? "0" : text;
}

std::string PadOffset(const std::string& digits) {
    if (digits.size() >= 10) {
        return digits;
    }
    return std::string(10 - digits.size(), '0') + digits;
}

} // namespace tarvik::pdf
