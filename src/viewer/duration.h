#pragma once

#include <cstdint>
#include <string>

namespace tarvik {

// A usage time split into whole hours, minutes and seconds (one record is one second).
struct Duration {
    std::uint64_t hours = 0;
    unsigned minutes = 0;
    unsigned seconds = 0;
};

Duration SplitDuration(std::uint64_t totalSeconds);

// "1 Hrs,2 Mins,5 Secs,": the viewer splits it at "," into its hours, minutes and seconds labels.
std::string FormatDuration(std::uint64_t totalSeconds);

// The three parts of FormatDuration: "1 Hrs", "2 Mins", "5 Secs".
std::string HoursText(const Duration& d);
std::string MinutesText(const Duration& d);
std::string SecondsText(const Duration& d);

// "1 Hrs 2 Mins 5 Secs", the form of the charts' total usage label and of `tarvik summary`.
std::string UsageTimeText(std::uint64_t totalSeconds);

} // namespace tarvik
