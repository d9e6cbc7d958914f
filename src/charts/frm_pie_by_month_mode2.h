#pragma once

#include "charts/usage_pie_panel.h"
#include "viewer/record_selection.h"
#include "viewer/viewer_context.h"

#include <QCalendarWidget>
#include <QWidget>

namespace tarvik {

class ChartWindows;

// "Analyse Data": the usage per mode of one month as a pie, with the month's days in bold on a
// calendar; a click on a day opens the day window.
class frmPieByMonthMode2 : public QWidget {
    Q_OBJECT
public:
    // Month 1 to 12 and two-digit year; month 0 means the month of the file's first record.
    frmPieByMonthMode2(ViewerContext& context, ChartWindows& windows, int month, int year,
                       QWidget* owner);

    void Form_Load();
    void MarkDaysWithData(int month, int year);
    void DrawMonthPie(int month, int year);

    void MonthView1_DateClick(const QDate& date);
    void MonthView1_PageChanged(int year, int month); // the calendar's click notification
    void cmdSaveAsImage_Click();
    void cmdOpenImageFolder_Click();
    void Close_Click();

    int shownMonth() const { return month_; }
    int shownYear() const { return year_; }

    QCalendarWidget* MonthView1;
    UsagePiePanel* panel;

private:
    ViewerContext& context_;
    ChartWindows& windows_;
    int month_;
    int year_;
    SelectionTally records_;
};

} // namespace tarvik
