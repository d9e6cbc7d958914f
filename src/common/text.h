#pragma once

#include <string>
#include <string_view>

namespace tarvik {

// Leading and trailing spaces (and tabs) removed, as the locator's padded texts need.
std::string Trim(std::string_view text);

// The whole-number value of the leading digits of a text; 0 when there are none.
// Fields of damaged records are compared this way.
int LeadingNumber(std::string_view text);

// 8-bit text read as Latin-1 (as the windows show the files' texts), in UTF-8.
std::string Latin1ToUtf8(std::string_view text);

bool StartsWith(std::string_view text, std::string_view prefix);
bool Contains(std::string_view text, std::string_view part);

} // namespace tarvik
