#pragma once

#include <string>
#include <string_view>

namespace tarvik::pdf {

// Converts UTF-8 text into the 8-bit Windows-1252 code page that the documents are written
// in (their fonts use WinAnsiEncoding). A character the code page cannot hold, and every byte
// that is not valid UTF-8, becomes "?".
std::string ToWindows1252(std::string_view utf8);

} // namespace tarvik::pdf
