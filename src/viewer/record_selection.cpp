#include "viewer/record_selection.h"

namespace tarvik {

namespace {
std::string DateText(const DataRecord& r) {
    std::string text(r.Day());
    text.append("/").append(r.Month()).append("/").append(r.Year());
    return text;
}
} // namespace

bool RecordSelection::Matches(const DataRecord& record) const {
    if (day == 0)
        return true;
    return record.TwoDigitYear() == year && record.MonthNumber() == month &&
           (day == kWholeMonth || record.DayNumber() == day);
}

void ModeTally::Add(char modeCode) {
    if (modeCode >= '0' && modeCode <= '3')
        ++seconds[static_cast<std::size_t>(modeCode - '0')];
}

std::uint64_t ModeTally::Total() const {
    return seconds[0] + seconds[1] + seconds[2] + seconds[3];
}

std::string SelectedRecords::FirstDate() const {
    return records.empty() ? std::string() : DateText(records.front());
}

std::string SelectedRecords::LastDate() const {
    return records.empty() ? std::string() : DateText(records.back());
}

std::set<int> SelectedRecords::Days() const {
    std::set<int> days;
    for (const DataRecord& r : records)
        days.insert(r.DayNumber());
    return days;
}

SelectedRecords ReadSelection(const std::filesystem::path& file, RecordSelection selection) {
    SelectedRecords selected;
    if (selection.day == 0) {
        selected.records = ReadAllRecords(file, &selected.summary);
    } else {
        selected.summary = ReadDataFile(file, [&](std::string_view line) {
            DataRecord record = ParseRecordLine(line);
            if (selection.Matches(record))
                selected.records.push_back(record);
            return true;
        });
    }
    for (const DataRecord& r : selected.records)
        selected.usage.Add(r.ModeCode());
    return selected;
}

SelectedRecords LoadMonthRecords(const std::filesystem::path& file, int month, int year) {
    return ReadSelection(file, RecordSelection::Month(month, year));
}

SelectedRecords LoadDayRecords(const std::filesystem::path& file, int day, int month, int year) {
    return ReadSelection(file, RecordSelection::Day(day, month, year));
}

std::optional<MonthOfYear> ReadFirstRecordMonth(const std::filesystem::path& file) {
    std::optional<MonthOfYear> first;
    ReadDataFile(file, [&](std::string_view line) {
        const DataRecord record = ParseRecordLine(line);
        first = MonthOfYear{record.MonthNumber(), record.TwoDigitYear()};
        return false;
    });
    return first;
}

MonthOfYear OpeningMonth(const std::filesystem::path& file, const DateTime& today) {
    const auto first = ReadFirstRecordMonth(file);
    if (first && first->month >= 1 && first->month <= 12)
        return *first;
    return {today.month, today.year % 100};
}

} // namespace tarvik
