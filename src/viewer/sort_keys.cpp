#include "viewer/sort_keys.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <optional>

namespace tarvik {

namespace {

constexpr std::size_t kNumberDigits = 30;

char UpperAscii(char c) {
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

std::string_view TrimBlanks(std::string_view text) {
    while (!text.empty() && IsBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back()))
        text.remove_suffix(1);
    return text;
}

// Reads one to `maxDigits` digits at `pos`; nothing when there is none.
std::optional<int> ReadNumber(std::string_view text, std::size_t& pos, std::size_t maxDigits) {
    const std::size_t start = pos;
    int value = 0;
    while (pos < text.size() && IsDigit(text[pos]) && pos - start < maxDigits) {
        value = value * 10 + (text[pos] - '0');
        ++pos;
    }
    if (pos == start || (pos < text.size() && IsDigit(text[pos])))
        return std::nullopt;
    return value;
}

bool Expect(std::string_view text, std::size_t& pos, char c) {
    if (pos < text.size() && text[pos] == c) {
        ++pos;
        return true;
    }
    return false;
}

bool IsLeapYear(int year) {
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int DaysInMonth(int month, int year) {
    static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && IsLeapYear(year) ? 29 : kDays[month - 1];
}

} // namespace

SortType SortTypeFromTag(std::string_view tag) {
    std::string upper(tag);
    std::transform(upper.begin(), upper.end(), upper.begin(), UpperAscii);
    if (upper == "DATE")
        return SortType::Date;
    if (upper == "NUMBER")
        return SortType::Number;
    return SortType::Text;
}

std::uint64_t DateTimeNumber(int year, int month, int day, int hours, int minutes, int seconds) {
    if (year < 0 || year > 9999 || month < 1 || month > 12 || day < 1 ||
        day > DaysInMonth(month, year) || hours < 0 || hours > 23 || minutes < 0 || minutes > 59 ||
        seconds < 0 || seconds > 59)
        return 0;
    std::uint64_t number = static_cast<std::uint64_t>(year);
    for (int part : {month, day, hours, minutes, seconds})
        number = number * 100 + static_cast<std::uint64_t>(part);
    return number;
}

std::uint64_t DateKeyNumber(std::string_view text) {
    text = TrimBlanks(text);
    std::size_t pos = 0;
    const auto day = ReadNumber(text, pos, 2);
    if (!day || !Expect(text, pos, '/'))
        return 0;
    const auto month = ReadNumber(text, pos, 2);
    if (!month || !Expect(text, pos, '/'))
        return 0;
    const std::size_t yearStart = pos;
    auto year = ReadNumber(text, pos, 4);
    if (!year || (pos - yearStart != 2 && pos - yearStart != 4))
        return 0;
    if (pos - yearStart == 2)
        *year += 2000;
    int hours = 0, minutes = 0, seconds = 0;
    if (pos < text.size()) {
        // A time follows after at least one blank: h:mm or h:mm:ss.
        if (!IsBlank(text[pos]))
            return 0;
        while (pos < text.size() && IsBlank(text[pos]))
            ++pos;
        const auto h = ReadNumber(text, pos, 2);
        if (!h || !Expect(text, pos, ':'))
            return 0;
        const auto m = ReadNumber(text, pos, 2);
        if (!m)
            return 0;
        std::optional<int> s = 0;
        if (Expect(text, pos, ':'))
            s = ReadNumber(text, pos, 2);
        if (!s || pos != text.size())
            return 0;
        hours = *h;
        minutes = *m;
        seconds = *s;
    }
    return DateTimeNumber(*year, *month, *day, hours, minutes, seconds);
}

std::string DateKey(std::string_view text) {
    const std::uint64_t number = DateKeyNumber(text);
    if (number == 0)
        return {};
    char key[32];
    std::snprintf(key, sizeof key, "%014llu", static_cast<unsigned long long>(number));
    return key;
}

std::string InvertDigits(std::string_view text) {
    std::string out(text);
    for (char& c : out) {
        if (IsDigit(c))
            c = static_cast<char>('9' - (c - '0'));
        else if (c == '-')
            c = ' ';
    }
    return out;
}

std::string NumberKey(std::string_view text) {
    text = TrimBlanks(text);
    bool negative = false;
    if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    const std::size_t point = text.find('.');
    std::string_view whole = text.substr(0, point);
    std::string_view fraction =
        point == std::string_view::npos ? std::string_view{} : text.substr(point + 1);
    const auto allDigits = [](std::string_view part) {
        return std::all_of(part.begin(), part.end(), IsDigit);
    };
    if ((whole.empty() && fraction.empty()) || !allDigits(whole) || !allDigits(fraction))
        return {};
    while (whole.size() > 1 && whole.front() == '0')
        whole.remove_prefix(1);
    if (whole.size() > kNumberDigits)
        return {};
    fraction = fraction.substr(0, kNumberDigits);
    std::string key(kNumberDigits - whole.size(), '0');
    key.append(whole);
    key.push_back('.');
    key.append(fraction);
    key.append(kNumberDigits - fraction.size(), '0');
    const bool isZero =
        std::all_of(key.begin(), key.end(), [](char c) { return c == '.' || c == '0'; });
    if (negative && !isZero)
        return "&" + InvertDigits(key);
    return key;
}

std::string SortKey(SortType type, std::string_view cellText) {
    switch (type) {
    case SortType::Date:
        return DateKey(cellText);
    case SortType::Number:
        return NumberKey(cellText);
    case SortType::Text:
        break;
    }
    return std::string(cellText);
}

int CompareAsText(std::string_view a, std::string_view b) {
    const std::size_t n = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < n; ++i) {
        const char ua = UpperAscii(a[i]);
        const char ub = UpperAscii(b[i]);
        if (ua != ub)
            return static_cast<unsigned char>(ua) < static_cast<unsigned char>(ub) ? -1 : 1;
    }
    if (a.size() != b.size())
        return a.size() < b.size() ? -1 : 1;
    return a.compare(b) < 0 ? -1 : (a == b ? 0 : 1);
}

} // namespace tarvik
