#pragma once

#include "viewer/viewer_context.h"

#include <QPointer>

class QWidget;

namespace tarvik {

class frmPieByMonthMode2;
class frmPieByDayMode;

// The one month window and the one day window of a viewer. Asking for a window that is open
// only brings it to the front; it keeps what it shows.
class ChartWindows {
public:
    explicit ChartWindows(ViewerContext& context) : context_(context) {}

    // Month 1 to 12 and two-digit year; month 0 opens on the month of the file's first record.
    frmPieByMonthMode2* ShowMonth(int month, int year, QWidget* owner);
    // Day, month and four-digit year.
    frmPieByDayMode* ShowDay(int day, int month, int year, QWidget* owner);

    frmPieByMonthMode2* monthWindow() const;
    frmPieByDayMode* dayWindow() const;

private:
    ViewerContext& context_;
    QPointer<frmPieByMonthMode2> month_;
    QPointer<frmPieByDayMode> day_;
};

// A window owned by `owner` but of its own: centred on the screen, deleted when closed.
void ShowOwnedWindow(QWidget& window);
void BringToFront(QWidget& window);

} // namespace tarvik
