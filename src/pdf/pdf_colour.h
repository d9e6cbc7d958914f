#pragma once

#include <array>
#include <string>
#include <type_traits>
#include <variant>

namespace tarvik {

// A colour as the writer's callers give it: a number with red in the low byte (255 is red,
// 16711680 blue), a text "#RRGGBB", or three components from 0 to 255.
class PdfColour {
public:
    using Components = std::array<int, 3>;

    template <typename Number>
    requires std::is_arithmetic_v<Number> PdfColour(Number packed)
        : value_(static_cast<double>(packed)) {}
    PdfColour(const char* html) : value_(std::string(html != nullptr ? html : "")) {}
    PdfColour(std::string html) : value_(std::move(html)) {}
    PdfColour(int red, int green, int blue) : value_(Components{red, green, blue}) {}
    PdfColour(Components components) : value_(components) {}

    const std::variant<double, std::string, Components>& value() const { return value_; }

private:
    std::variant<double, std::string, Components> value_;
};

namespace pdf {

// Red, green, blue of a number in the 0x00BBGGRR packing (whole part of the number).
PdfColour::Components SplitColourValue(double packed);

// Red, green, blue of "#RRGGBB"; pairs that are not hexadecimal count as far as their digits
// go (so "#GG0000" is black). Shorter texts are padded with "0" in front.
PdfColour::Components ParseHtmlColour(const std::string& html);

enum class ColourTarget { Fill, Stroke };

// The colour operator "r g b rg" (fill) or "r g b RG" (stroke), each component over 255 with
// three decimals.
std::string ColourOperator(const PdfColour::Components& rgb, ColourTarget target);

} // namespace pdf
} // namespace tarvik
