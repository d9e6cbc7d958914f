#include "report/report_period.h"

#include <cstdio>

namespace tarvik {

namespace {

int DateKey(int day, int month, int year) {
    return (year * 100 + month) * 100 + day;
}

std::string TwoDigits(int value) {
    char text[8];
    std::snprintf(text, sizeof text, "%02d", value % 100);
    return text;
}

std::string DateText(const ReportPeriod::Date& date, const char* separator) {
    return TwoDigits(date.day) + separator + TwoDigits(date.month) + separator +
           TwoDigits(date.year);
}

std::string Describe(const ReportPeriod& period, const char* separator) {
    switch (period.kind) {
    case ReportPeriod::Kind::All:
        return "All";
    case ReportPeriod::Kind::Month:
        return "Month " + TwoDigits(period.from.month) + separator + TwoDigits(period.from.year);
    case ReportPeriod::Kind::Day:
        return "Day " + DateText(period.from, separator);
    case ReportPeriod::Kind::Range:
        return "From " + DateText(period.from, separator) + " to " + DateText(period.to, separator);
    }
    return {};
}

} // namespace

ReportPeriod ReportPeriod::Of(const RecordSelection& selection) {
    if (selection.day == 0)
        return All();
    if (selection.day == RecordSelection::kWholeMonth)
        return Month(selection.month, selection.year);
    return Day({selection.day, selection.month, selection.year});
}

bool ReportPeriod::Matches(const DataRecord& record) const {
    switch (kind) {
    case Kind::All:
        return true;
    case Kind::Month:
        return record.TwoDigitYear() == from.year && record.MonthNumber() == from.month;
    case Kind::Day:
    case Kind::Range: {
        const int key = DateKey(record.DayNumber(), record.MonthNumber(), record.TwoDigitYear());
        return key >= DateKey(from.day, from.month, from.year) &&
               key <= DateKey(to.day, to.month, to.year);
    }
    }
    return false;
}

std::string ReportPeriod::Text() const {
    return kind == Kind::All ? "All records" : Describe(*this, "/");
}

std::string ReportPeriod::Label() const {
    return Describe(*this, "-");
}

} // namespace tarvik
