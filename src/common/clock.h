#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace tarvik {

// A local calendar date and time of day, as the PC shows it.
struct DateTime {
    int year = 2000;
    int month = 1;
    int day = 1;
    int hour = 0;
    int minute = 0;
    int second = 0;

    bool operator==(const DateTime&) const = default;
};

// "dd/mm/yy" and "hh:mm:ss", the forms used on the wire and in the files.
std::string FormatWireDate(const DateTime& t);
std::string FormatWireTime(const DateTime& t);
// A "dd/mm/yy" text as a date of 2000-2099; nothing when it is not one.
std::optional<DateTime> ParseWireDate(std::string_view text);

// The source of "now" for everything that stamps, names or compares times.
class Clock {
public:
    virtual ~Clock() = default;
    virtual DateTime Now() const = 0;
};

class SystemClock final : public Clock {
public:
    DateTime Now() const override;
};

// A clock that stands still until told otherwise (tests, reproducible documents).
class FixedClock final : public Clock {
public:
    explicit FixedClock(DateTime now) : now_(now) {}
    DateTime Now() const override { return now_; }
    void Set(DateTime now) { now_ = now; }

private:
    DateTime now_;
};

} // namespace tarvik
