#include "common/clock.h"

#include <cstdio>
#include <ctime>

namespace tarvik {

namespace {
std::string TwoDigits(int value) {
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "%02d", value % 100 < 0 ? -(value % 100) : value % 100);
    return buffer;
}
} // namespace

std::string FormatWireDate(const DateTime& t) {
    return TwoDigits(t.day) + "/" + TwoDigits(t.month) + "/" + TwoDigits(t.year);
}

std::string FormatWireTime(const DateTime& t) {
    return TwoDigits(t.hour) + ":" + TwoDigits(t.minute) + ":" + TwoDigits(t.second);
}

std::optional<DateTime> ParseWireDate(std::string_view text) {
    if (text.size() != 8 || text[2] != '/' || text[5] != '/')
        return std::nullopt;
    for (std::size_t i : {0u, 1u, 3u, 4u, 6u, 7u})
        if (text[i] < '0' || text[i] > '9')
            return std::nullopt;
    auto number = [&](std::size_t at) { return (text[at] - '0') * 10 + (text[at + 1] - '0'); };
    const DateTime date{2000 + number(6), number(3), number(0)};
    if (date.month < 1 || date.month > 12 || date.day < 1 || date.day > 31)
        return std::nullopt;
    return date;
}

DateTime SystemClock::Now() const {
    std::time_t now = std::time(nullptr);
    std::tm local{};
#ifdef _WIN32
    localtime_s(&local, &now);
#else
    localtime_r(&now, &local);
#endif
    return DateTime{local.tm_year + 1900, local.tm_mon + 1, local.tm_mday,
                    local.tm_hour,        local.tm_min,     local.tm_sec};
}

} // namespace tarvik
