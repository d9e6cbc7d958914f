#include "viewer/selection_option.h"

#include <cstdio>
#include <vector>

namespace tarvik {

namespace {

// Two-digit fields separated by "/"; nothing unless every field is exactly two digits.
std::optional<std::vector<int>> TwoDigitFields(std::string_view text, std::size_t count) {
    if (text.size() != count * 3 - 1)
        return std::nullopt;
    std::vector<int> fields;
    for (std::size_t i = 0; i < count; ++i) {
        const std::size_t at = i * 3;
        const char a = text[at], b = text[at + 1];
        if (a < '0' || a > '9' || b < '0' || b > '9' || (i + 1 < count && text[at + 2] != '/'))
            return std::nullopt;
        fields.push_back((a - '0') * 10 + (b - '0'));
    }
    return fields;
}

int DaysInMonth(int month, int year) {
    static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && year % 4 == 0 ? 29 : kDays[month - 1]; // 2000-2099: every 4th is leap
}

} // namespace

std::optional<RecordSelection> ParseMonthOption(std::string_view text) {
    const auto fields = TwoDigitFields(text, 2);
    if (!fields || (*fields)[0] < 1 || (*fields)[0] > 12)
        return std::nullopt;
    return RecordSelection::Month((*fields)[0], (*fields)[1]);
}

std::optional<RecordSelection> ParseDayOption(std::string_view text) {
    const auto fields = TwoDigitFields(text, 3);
    if (!fields)
        return std::nullopt;
    const int day = (*fields)[0], month = (*fields)[1], year = (*fields)[2];
    if (month < 1 || month > 12 || day < 1 || day > DaysInMonth(month, year))
        return std::nullopt;
    return RecordSelection::Day(day, month, year);
}

std::string SelectionOptionText(const RecordSelection& s) {
    char text[32];
    if (s.day == 0)
        return {};
    if (s.day == RecordSelection::kWholeMonth)
        std::snprintf(text, sizeof text, "%02d/%02d", s.month % 100, s.year % 100);
    else
        std::snprintf(text, sizeof text, "%02d/%02d/%02d", s.day % 100, s.month % 100,
                      s.year % 100);
    return text;
}

} // namespace tarvik
