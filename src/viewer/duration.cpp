#include "viewer/duration.h"

namespace tarvik {

Duration SplitDuration(std::uint64_t totalSeconds) {
    Duration d;
    const std::uint64_t minutes = totalSeconds / 60;
    d.seconds = static_cast<unsigned>(totalSeconds % 60);
    d.minutes = static_cast<unsigned>(minutes % 60);
    d.hours = minutes / 60;
    return d;
}

std::string HoursText(const Duration& d) {
    return std::to_string(d.hours) + " Hrs";
}
std::string MinutesText(const Duration& d) {
    return std::to_string(d.minutes) + " Mins";
}
std::string SecondsText(const Duration& d) {
    return std::to_string(d.seconds) + " Secs";
}

std::string FormatDuration(std::uint64_t totalSeconds) {
    const Duration d = SplitDuration(totalSeconds);
    return HoursText(d) + "," + MinutesText(d) + "," + SecondsText(d) + ",";
}

std::string UsageTimeText(std::uint64_t totalSeconds) {
    const Duration d = SplitDuration(totalSeconds);
    return HoursText(d) + " " + MinutesText(d) + " " + SecondsText(d);
}

} // namespace tarvik
