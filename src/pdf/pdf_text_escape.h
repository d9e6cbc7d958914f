#pragma once

#include <string>
#include <string_view>

namespace tarvik::pdf {

// A literal string of a content stream or an annotation: every backslash doubled, then every
// parenthesis preceded by a backslash.
std::string EscapeText(std::string_view text);

// The information texts and bookmark titles are written as given, but a backslash or a
// parenthesis without its partner would end or damage the string, so exactly those are
// escaped; balanced parentheses stay as written.
std::string EscapeUnbalanced(std::string_view text);

// A name object (the part after "/"): characters that would end or break the name are written
// as "#" and two hexadecimal digits.
std::string EscapeName(std::string_view name);

} // namespace tarvik::pdf
