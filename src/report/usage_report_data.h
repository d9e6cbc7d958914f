#pragma once

#include "datafile/data_file_reader.h"
#include "report/report_period.h"
#include "selftest/self_test_parse.h"
#include "viewer/record_selection.h"

#include <array>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace tarvik {

inline constexpr int kMinutesPerDay = 24 * 60;
// The timeline's classes of use: the four modes, then any other mode code.
inline constexpr int kOtherMode = 4;
inline constexpr int kNoUse = -1;

// One day with records: its usage, its first and last record time, the self test by the
// lookup's rule over its records, and the records of each minute by mode.
struct DayUsage {
    int day = 0;
    int month = 0;
    int year = 0;         // two digits
    std::string dateText; // "dd/mm/yy" as the day's first record holds it
    std::uint64_t records = 0;
    ModeTally usage;
    std::optional<int> firstTime; // hhmmss of the earliest and latest readable record time
    std::optional<int> lastTime;
    SelfTestJudge selfTest;
    std::vector<std::array<std::uint32_t, 5>> minuteRecords; // empty until a readable time

    // The mode of each minute (the one with most records; a tie goes to the lower mode), or
    // kNoUse for a minute without records.
    std::array<std::int8_t, kMinutesPerDay> MinuteModes() const;
};

// "Pass hh:mm:ss" of the last pass when the lookup would pass that day, "Fail" when it would
// fail, "No test" for a day without a pass or fail record (or whose last verdict is unreadable);
// " *" follows when the day holds letters the lookup calls suspect.
std::string SelfTestText(const DayUsage& day);

struct UsageReportData {
    DataFileSummary summary;
    ReportPeriod period;
    std::uint64_t records = 0; // every record of the period
    ModeTally usage;
    std::vector<DayUsage> days; // in date order
};

// Reads the file once, keeping only the tallies of the period's records.
UsageReportData GatherUsageReport(const std::filesystem::path& file, const ReportPeriod& period);

// "hh:mm:ss" of an hhmmss number.
std::string TimeOfDayText(int hhmmss);

} // namespace tarvik
