#include "charts/frm_pie_by_month_mode2.h"

#include "charts/chart_image.h"
#include "charts/chart_windows.h"
#include "viewer/bold_days.h"

#include <QApplication>
#include <QHBoxLayout>

namespace tarvik {

frmPieByMonthMode2::frmPieByMonthMode2(ViewerContext& context, ChartWindows& windows, int month,
                                       int year, QWidget* owner)
    : QWidget(owner, Qt::Window), context_(context), windows_(windows), month_(month), year_(year) {
    setObjectName(QStringLiteral("frmPieByMonthMode2"));
    setWindowTitle(QStringLiteral("Analyse Data"));
    panel = new UsagePiePanel(this);
    MonthView1 = new QCalendarWidget(this);
    MonthView1->setObjectName(QStringLiteral("MonthView1"));
    MonthView1->setVerticalHeaderFormat(QCalendarWidget::NoVerticalHeader);
    auto* layout = new QHBoxLayout(this);
    layout->addWidget(panel, 1);
    layout->addWidget(MonthView1, 0, Qt::AlignTop);

    connect(MonthView1, &QCalendarWidget::clicked, this, &frmPieByMonthMode2::MonthView1_DateClick);
    connect(MonthView1, &QCalendarWidget::currentPageChanged, this,
            &frmPieByMonthMode2::MonthView1_PageChanged);
    connect(panel->cmdSaveAsImage, &QPushButton::clicked, this,
            &frmPieByMonthMode2::cmdSaveAsImage_Click);
    connect(panel->cmdOpenImageFolder, &QPushButton::clicked, this,
            &frmPieByMonthMode2::cmdOpenImageFolder_Click);
    connect(panel->Close, &QPushButton::clicked, this, &frmPieByMonthMode2::Close_Click);
}

void frmPieByMonthMode2::Form_Load() {
    if (month_ == 0) {
        const MonthOfYear opening = OpeningMonth(context_.ReadablePath(), context_.clock.Now());
        month_ = opening.month;
        year_ = opening.year;
    }
    {
        const QSignalBlocker quiet(MonthView1);
        MonthView1->setSelectedDate(QDate(FullYear(year_), month_, 1));
        MonthView1->setCurrentPage(FullYear(year_), month_);
    }
    ShowOwnedWindow(*this);
    MarkDaysWithData(month_, year_);
    DrawMonthPie(month_, year_);
}

void frmPieByMonthMode2::MarkDaysWithData(int month, int year) {
    records_ = TallyMonth(context_.ReadablePath(), month, year);
    // The window paints before the marks appear; clicks wait, so that no other selection runs
    // inside this one.
    QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    MarkBoldDays(*MonthView1, month, FullYear(year), records_.Days());
}

void frmPieByMonthMode2::DrawMonthPie(int month, int year) {
    month_ = month;
    year_ = year;
    panel->ShowContent(MonthChart(records_, month, year));
}

void frmPieByMonthMode2::MonthView1_DateClick(const QDate& date) {
    windows_.ShowDay(date.day(), date.month(), date.year(), this);
}

void frmPieByMonthMode2::MonthView1_PageChanged(int year, int month) {
    panel->lblUsageTime->clear();
    MarkDaysWithData(month, year % 100);
    DrawMonthPie(month, year % 100);
}

void frmPieByMonthMode2::cmdSaveAsImage_Click() {
    if (!panel->ShowsChart())
        return; // only the chart on show is saved, and "No data for ..." is none
    const std::string name =
        BuildFileLabel(FileLabelKind::DA, records_.summary.identity, context_.clock.Now()) + ".jpg";
    SaveChartImage(context_, panel->Picture(), name, this);
}

void frmPieByMonthMode2::cmdOpenImageFolder_Click() {
    OpenImagesFolder(context_);
}

void frmPieByMonthMode2::Close_Click() {
    close();
}

} // namespace tarvik
