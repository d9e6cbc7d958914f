#include "viewer/record_selection.h"

#include <algorithm>

namespace tarvik {

namespace {
// Day "/" month "/" year from the first six characters of a record line, cut short as the
// line is.
std::string DateText(std::string_view line) {
    const auto field = [&](std::size_t start) {
        return start < line.size() ? line.substr(start, 2) : std::string_view();
    };
    std::string text(field(0));
    text.append("/").append(field(2)).append("/").append(field(4));
    return text;
}
} // namespace

bool RecordSelection::Matches(const RecordDay& recordDay) const {
    if (day == 0)
        return true;
    return recordDay.year == year && recordDay.month == month &&
           (day == kWholeMonth || recordDay.day == day);
}

bool RecordSelection::Matches(const DataRecord& record) const {
    return Matches(RecordDay{record.DayNumber(), record.MonthNumber(), record.TwoDigitYear()});
}

void ModeTally::Add(char modeCode) {
    if (modeCode >= '0' && modeCode <= '3')
        ++seconds[static_cast<std::size_t>(modeCode - '0')];
}

std::uint64_t ModeTally::Total() const {
    return seconds[0] + seconds[1] + seconds[2] + seconds[3];
}

void SelectionTally::Add(std::string_view line, const RecordDay& day) {
    usage.Add(ModeCodeOf(line));
    if (recordCount == 0)
        firstDate_ = DateText(line);
    ++recordCount;
    lastDayLength_ = static_cast<std::uint8_t>(std::min(line.size(), lastDay_.size()));
    std::copy_n(line.begin(), lastDayLength_, lastDay_.begin());
    days_.set(static_cast<std::size_t>(day.day));
    if (day.month >= 1 && day.month <= 12 && day.day >= 1 && day.day <= 31)
        daysOfMonths_.set(MonthDayBit(day.day, day.month, day.year));
}

std::size_t SelectionTally::MonthDayBit(int day, int month, int year) {
    return static_cast<std::size_t>((year * 12 + month - 1) * 32 + day);
}

std::string SelectionTally::FirstDate() const {
    return firstDate_;
}

std::string SelectionTally::LastDate() const {
    return recordCount == 0 ? std::string()
                            : DateText(std::string_view(lastDay_.data(), lastDayLength_));
}

std::set<int> SelectionTally::Days() const {
    std::set<int> days;
    for (std::size_t day = 0; day < days_.size(); ++day)
        if (days_.test(day))
            days.insert(static_cast<int>(day));
    return days;
}

std::set<int> SelectionTally::DaysOf(int month, int year) const {
    std::set<int> days;
    if (month < 1 || month > 12 || year < 0 || year > 99)
        return days;
    for (int day = 1; day <= 31; ++day)
        if (daysOfMonths_.test(MonthDayBit(day, month, year)))
            days.insert(day);
    return days;
}

SelectedRecords ReadSelection(const std::filesystem::path& file, RecordSelection selection) {
    SelectedRecords selected;
    selected.summary = ReadDataFile(file, [&](std::string_view line) {
        const RecordDay day = ReadRecordDay(line);
        if (selection.Matches(day)) {
            selected.Add(line, day);
            selected.records.push_back(ParseRecordLine(line));
        }
        return true;
    });
    return selected;
}

SelectionTally TallySelection(const std::filesystem::path& file, RecordSelection selection) {
    SelectionTally tally;
    tally.summary = ReadDataFile(file, [&](std::string_view line) {
        const RecordDay day = ReadRecordDay(line);
        if (selection.Matches(day))
            tally.Add(line, day);
        return true;
    });
    return tally;
}

SelectedRecords LoadMonthRecords(const std::filesystem::path& file, int month, int year) {
    return ReadSelection(file, RecordSelection::Month(month, year));
}

SelectedRecords LoadDayRecords(const std::filesystem::path& file, int day, int month, int year) {
    return ReadSelection(file, RecordSelection::Day(day, month, year));
}

SelectionTally TallyMonth(const std::filesystem::path& file, int month, int year) {
    return TallySelection(file, RecordSelection::Month(month, year));
}

SelectionTally TallyDay(const std::filesystem::path& file, int day, int month, int year) {
    return TallySelection(file, RecordSelection::Day(day, month, year));
}

std::optional<MonthOfYear> ReadFirstRecordMonth(const std::filesystem::path& file) {
    std::optional<MonthOfYear> first;
    ReadDataFile(file, [&](std::string_view line) {
        const RecordDay day = ReadRecordDay(line);
        first = MonthOfYear{day.month, day.year};
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
