#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace tarvik {

// The SHA-256 digest of a byte string (FIPS 180-4).
std::array<std::uint8_t, 32> Sha256(std::string_view bytes);

// The digest as 64 lower-case hexadecimal digits.
std::string Sha256Hex(std::string_view bytes);

} // namespace tarvik
