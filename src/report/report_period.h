#pragma once

#include "datafile/data_record.h"
#include "viewer/record_selection.h"

#include <string>

namespace tarvik {

// The days a usage report covers: every record, one month, one day, or the days from one date
// to another (both included). Years are their last two digits, as in the records.
struct ReportPeriod {
    enum class Kind { All, Month, Day, Range };
    struct Date {
        int day = 0;
        int month = 0;
        int year = 0;
    };

    Kind kind = Kind::All;
    Date from; // Month: its month and year; Day: the day; Range: the first day
    Date to;   // Range: the last day

    static ReportPeriod All() { return {}; }
    static ReportPeriod Month(int month, int year) { return {Kind::Month, {0, month, year}, {}}; }
    static ReportPeriod Day(Date day) { return {Kind::Day, day, day}; }
    static ReportPeriod Range(Date from, Date to) { return {Kind::Range, from, to}; }
    // The records a viewer selection shows: all, a month or a day.
    static ReportPeriod Of(const RecordSelection& selection);

    bool Matches(const DataRecord& record) const;
    // "All records", "Month 12/26", "Day 05/12/26", "From 05/12/26 to 20/12/26".
    std::string Text() const;
    // The same for a file name: "All", "Month 12-26", "Day 05-12-26", "From 05-12-26 to 20-12-26".
    std::string Label() const;
};

} // namespace tarvik
