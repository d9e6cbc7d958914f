#include "report/usage_report_data.h"

#include <algorithm>
#include <cstdio>
#include <map>

namespace tarvik {

namespace {

// A two-digit field's value; nothing unless it is two digits.
std::optional<int> TwoDigitValue(std::string_view field) {
    if (field.size() != 2 || field[0] < '0' || field[0] > '9' || field[1] < '0' || field[1] > '9')
        return std::nullopt;
    return (field[0] - '0') * 10 + (field[1] - '0');
}

// The record's time as hhmmss; nothing when it is not a time of day.
std::optional<int> TimeOfDay(const DataRecord& record) {
    const auto h = TwoDigitValue(record.Hours());
    const auto m = TwoDigitValue(record.Minutes());
    const auto s = TwoDigitValue(record.Seconds());
    if (!h || !m || !s || *h > 23 || *m > 59 || *s > 59)
        return std::nullopt;
    return (*h * 100 + *m) * 100 + *s;
}

int ModeClass(char modeCode) {
    return modeCode >= '0' && modeCode <= '3' ? modeCode - '0' : kOtherMode;
}

void AddRecord(DayUsage& day, const DataRecord& record, std::string_view line) {
    ++day.records;
    day.usage.Add(record.ModeCode());
    day.selfTest.AddLine(line);
    const auto time = TimeOfDay(record);
    if (!time)
        return;
    day.firstTime = std::min(day.firstTime.value_or(*time), *time);
    day.lastTime = std::max(day.lastTime.value_or(*time), *time);
    if (day.minuteRecords.empty())
        day.minuteRecords.resize(kMinutesPerDay);
    const int minute = *time / 10000 * 60 + *time / 100 % 100;
    ++day.minuteRecords[static_cast<std::size_t>(minute)]
                       [static_cast<std::size_t>(ModeClass(record.ModeCode()))];
}

} // namespace

std::array<std::int8_t, kMinutesPerDay> DayUsage::MinuteModes() const {
    std::array<std::int8_t, kMinutesPerDay> modes;
    modes.fill(kNoUse);
    for (std::size_t minute = 0; minute < minuteRecords.size(); ++minute) {
        const auto& counts = minuteRecords[minute];
        const auto most = std::max_element(counts.begin(), counts.end());
        if (*most > 0)
            modes[minute] = static_cast<std::int8_t>(most - counts.begin());
    }
    return modes;
}

std::string TimeOfDayText(int hhmmss) {
    char text[16];
    std::snprintf(text, sizeof text, "%02d:%02d:%02d", hhmmss / 10000, hhmmss / 100 % 100,
                  hhmmss % 100);
    return text;
}

std::string SelfTestText(const DayUsage& day) {
    const SelfTestOutcome outcome = day.selfTest.Outcome();
    std::string text;
    if (outcome.result == SelfTestOutcome::Result::Pass)
        text = "Pass " + outcome.passTime;
    else if (outcome.result == SelfTestOutcome::Result::Fail && day.selfTest.SawTestRecord())
        text = "Fail";
    else
        text = "No test";
    if (outcome.note == SelfTestOutcome::Note::SuspectData)
        text += " *";
    return text;
}

UsageReportData GatherUsageReport(const std::filesystem::path& file, const ReportPeriod& period) {
    UsageReportData data;
    data.period = period;
    std::map<int, DayUsage> days;
    int lastKey = -1;
    DayUsage* lastDay = nullptr;
    data.summary = ReadDataFile(file, [&](std::string_view line) {
        const DataRecord record = ParseRecordLine(line);
        if (!period.Matches(record))
            return true;
        ++data.records;
        data.usage.Add(record.ModeCode());
        const int key =
            (record.TwoDigitYear() * 100 + record.MonthNumber()) * 100 + record.DayNumber();
        if (key != lastKey || lastDay == nullptr) {
            const auto [at, added] = days.try_emplace(key);
            if (added) {
                at->second.day = record.DayNumber();
                at->second.month = record.MonthNumber();
                at->second.year = record.TwoDigitYear();
                at->second.dateText = std::string(record.Day()) + "/" +
                                      std::string(record.Month()) + "/" +
                                      std::string(record.Year());
            }
            lastKey = key;
            lastDay = &at->second;
        }
        AddRecord(*lastDay, record, line);
        return true;
    });
    data.days.reserve(days.size());
    for (auto& [key, day] : days)
        data.days.push_back(std::move(day));
    return data;
}

} // namespace tarvik
