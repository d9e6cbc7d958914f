#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace tarvik {

// How a column of the record table sorts; the column's tag names it ("DATE", "NUMBER",
// anything else is text), compared in upper case.
enum class SortType { Date, Number, Text };

SortType SortTypeFromTag(std::string_view tag);

// The table control can only compare texts, so dates and numbers sort through keys whose text
// order is their value order. Cells that cannot be converted get an empty key, which sorts
// before every other key.

// "YYYYMMDDhhmmss" for a valid day-first date and time ("05/06/13   14:02:09"); a two-digit year
// is 2000 plus its digits. Empty when the text is no valid date.
std::string DateKey(std::string_view text);

// The same order as a number: YYYYMMDDhhmmss for a valid date and time, 0 for no date, so that
// a sort need not build and compare key texts.
std::uint64_t DateKeyNumber(std::string_view text);

// YYYYMMDDhhmmss of a date and time; 0 when it is no valid date and time.
std::uint64_t DateTimeNumber(int year, int month, int day, int hours, int minutes, int seconds);

// The number with exactly 30 digits before and 30 after the point; a negative number is "&"
// followed by the inverted digits of its absolute value's key, so that it sorts before every
// non-negative one and a larger absolute value sorts first. Empty when the text is not a number
// (or has more than 30 whole digits).
std::string NumberKey(std::string_view text);

// Every digit d becomes 9 - d and every "-" a space; other characters stay.
std::string InvertDigits(std::string_view text);

// The key of a cell for its column's sort type; a text column's key is the text itself.
std::string SortKey(SortType type, std::string_view cellText);

// Text order of the table control: letters compare without regard to case, then by byte.
int CompareAsText(std::string_view a, std::string_view b);

} // namespace tarvik
