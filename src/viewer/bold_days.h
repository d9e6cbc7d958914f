#pragma once

#include <QCalendarWidget>
#include <set>

namespace tarvik {

// Shows the given days of one month (four-digit year) in bold; every other date plain.
void MarkBoldDays(QCalendarWidget& calendar, int month, int year, const std::set<int>& days);

// The four-digit year of a two-digit one, as the files store years.
inline int FullYear(int twoDigitYear) {
    return 2000 + twoDigitYear;
}

} // namespace tarvik
