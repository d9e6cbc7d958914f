#include "viewer/bold_days.h"

#include <QTextCharFormat>

namespace tarvik {

void MarkBoldDays(QCalendarWidget& calendar, int month, int year, const std::set<int>& days) {
    calendar.setDateTextFormat(QDate(), QTextCharFormat()); // clears every earlier mark
    QTextCharFormat bold;
    bold.setFontWeight(QFont::Bold);
    for (int day : days) {
        const QDate date(year, month, day);
        if (date.isValid())
            calendar.setDateTextFormat(date, bold);
    }
}

} // namespace tarvik
