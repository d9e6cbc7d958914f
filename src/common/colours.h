#pragma once

#include <cstdint>

namespace tarvik::colours {

// Window colours are 24-bit numbers with red in the low byte.
inline constexpr std::uint32_t kRed = 0xFF;
inline constexpr std::uint32_t kDarkGrey = 0x404040;
inline constexpr std::uint32_t kGreen = 0x8000;
inline constexpr std::uint32_t kDarkRed = 0xC0;
inline constexpr std::uint32_t kYellow = 0xFFFF;

} // namespace tarvik::colours
