#include "pdf/pdf_colour.h"

#include "pdf/pdf_number_format.h"

#include <algorithm>
#include <cmath>

namespace tarvik::pdf {

PdfColour::Components SplitColourValue(double packed) {
    constexpr double kLimit = 1e15; // far beyond any colour; keeps the conversion defined
    const auto v = static_cast<long long>(
        std::isfinite(packed) ? std::trunc(std::clamp(packed, -kLimit, kLimit)) : 0.0);
    const long long high = v / 65536;
    const long long middle = (v - high * 65536) / 256;
    const long long low = v - high * 65536 - middle * 256;
    return {static_cast<int>(low), static_cast<int>(middle), static_cast<int>(high)};
}

namespace {

int HexDigit(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

// The value of the leading hexadecimal digits of a pair; 0 when it starts with none.
int HexPairValue(char first, char second) {
    const int high = HexDigit(first);
    if (high < 0) {
        return 0;
    }
    const int low = HexDigit(second);
    return low < 0 ? high : high * 16 + low;
}

} // namespace

PdfColour::Components ParseHtmlColour(const std::string& html) {
    const std::string padded = "000000" + html;
    const std::string s = padded.substr(padded.size() - 6);
    return {HexPairValue(s[0], s[1]), HexPairValue(s[2], s[3]), HexPairValue(s[4], s[5])};
}

std::string ColourOperator(const PdfColour::Components& rgb, ColourTarget target) {
    return FormatFixed(rgb[0] / 255.0, 3) + " " + FormatFixed(rgb[1] / 255.0, 3) + " " +
           FormatFixed(rgb[2] / 255.0, 3) + (target == ColourTarget::Fill ? " rg" : " RG");
}

} // namespace tarvik::pdf
