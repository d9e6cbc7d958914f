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
