#include "charts/chart_windows.h"

#include "charts/frm_pie_by_day_mode.h"
#include "charts/frm_pie_by_month_mode2.h"

#include <QGuiApplication>
#include <QScreen>

namespace tarvik {

void BringToFront(QWidget& window) {
    window.show();
    window.setWindowState(window.windowState() & ~Qt::WindowMinimized);
    window.raise();
    window.activateWindow();
}

void ShowOwnedWindow(QWidget& window) {
    window.setWindowFlag(Qt::Window, true);
    window.setAttribute(Qt::WA_DeleteOnClose);
    window.adjustSize();
    if (const QScreen* screen =
            window.screen() ? window.screen() : QGuiApplication::primaryScreen())
        window.move(screen->availableGeometry().center() - window.rect().center());
    window.show();
}

frmPieByMonthMode2* ChartWindows::monthWindow() const {
    return month_;
}

frmPieByDayMode* ChartWindows::dayWindow() const {
    return day_;
}

frmPieByMonthMode2* ChartWindows::ShowMonth(int month, int year, QWidget* owner) {
    if (month_) {
        BringToFront(*month_);
        return month_;
    }
    month_ = new frmPieByMonthMode2(context_, *this, month, year, owner);
    month_->Form_Load();
    return month_;
}

frmPieByDayMode* ChartWindows::ShowDay(int day, int month, int year, QWidget* owner) {
    if (day_) {
        BringToFront(*day_);
        return day_;
    }
    day_ = new frmPieByDayMode(context_, day, month, year, owner);
    day_->Form_Load();
    return day_;
}

} // namespace tarvik
