#pragma once

#include "common/clock.h"
#include "datafile/data_file_reader.h"
#include "datafile/data_record.h"
#include "viewer/large_allocator.h"

#include <array>
#include <bitset>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace tarvik {

// Which records a view shows: day 0 is every record of the file, day 32 every record of the
// month, 1 to 31 the records of that day. The year is its last two digits.
struct RecordSelection {
    static constexpr int kWholeMonth = 32;

    int day = 0;
    int month = 0;
    int year = 0;

    static RecordSelection All() { return {}; }
    static RecordSelection Month(int month, int year) { return {kWholeMonth, month, year}; }
    static RecordSelection Day(int day, int month, int year) { return {day, month, year}; }

    bool Matches(const DataRecord& record) const;
    bool Matches(const RecordDay& day) const;
};

// Seconds of use per mode; index 0 Power, 1 Radio, 2 Generator or Transmitter, 3 Sweep.
// Records with any other mode code count nowhere.
struct ModeTally {
    std::array<std::uint64_t, 4> seconds{};

    void Add(char modeCode);
    std::uint64_t Total() const;
};

// What a selection holds, found in one pass without keeping its records: the file's identity,
// the usage per mode, the count, the first and last date and the days with records.
struct SelectionTally {
    DataFileSummary summary;
    ModeTally usage;
    std::uint64_t recordCount = 0;

    // Counts one selected record line (whose date the caller may already have read).
    void Add(std::string_view line) { Add(line, ReadRecordDay(line)); }
    void Add(std::string_view line, const RecordDay& day);

    // Day "/" month "/" year of the first and the last record ("05/12/26"); empty when none.
    std::string FirstDate() const;
    std::string LastDate() const;
    // The day numbers that have records (for bold days on a calendar).
    std::set<int> Days() const;
    // The days of one month (1 to 12, two-digit year) that have records, so that a reading of
    // every record also gives the bold days of the month a calendar shows.
    std::set<int> DaysOf(int month, int year) const;

private:
    std::string firstDate_;
    std::array<char, 6> lastDay_{}; // the first six characters of the last record
    std::uint8_t lastDayLength_ = 0;
    std::bitset<100> days_; // a day field reads as 0 to 99
    // Day d (1 to 31) of month m (1 to 12) of year y (0 to 99) at (y * 12 + m - 1) * 32 + d.
    static std::size_t MonthDayBit(int day, int month, int year);
    std::bitset<100 * 12 * 32> daysOfMonths_;
};

// Decoded records in file order; a million of them fill in large pages.
using RecordList = LargeVector<DataRecord>;

// The records of one selection, in file order, with their tally.
struct SelectedRecords : SelectionTally {
    RecordList records;
};

// Reads the whole file once and keeps the records of the selection. There is no limit on how
// many records one month or day holds.
SelectedRecords ReadSelection(const std::filesystem::path& file, RecordSelection selection);

// The same pass without keeping the records: memory does not grow with the file.
SelectionTally TallySelection(const std::filesystem::path& file, RecordSelection selection);

// The records of one month: the table that the viewer's calendar and the month chart use.
SelectedRecords LoadMonthRecords(const std::filesystem::path& file, int month, int year);
SelectedRecords LoadDayRecords(const std::filesystem::path& file, int day, int month, int year);
SelectionTally TallyMonth(const std::filesystem::path& file, int month, int year);
SelectionTally TallyDay(const std::filesystem::path& file, int day, int month, int year);

// Month and two-digit year of the file's first record; nothing when it has no record.
struct MonthOfYear {
    int month = 0;
    int year = 0;
};
std::optional<MonthOfYear> ReadFirstRecordMonth(const std::filesystem::path& file);

// The month a calendar opens on: the file's first record's, or today's when the file has no
// record or its first record's month is damaged (not 1 to 12).
MonthOfYear OpeningMonth(const std::filesystem::path& file, const DateTime& today);

} // namespace tarvik
