#include "charts/frm_pie_by_day_mode.h"

#include "charts/chart_image.h"
#include "charts/chart_windows.h"

#include <QVBoxLayout>
#include <cstdio>

namespace tarvik {

frmPieByDayMode::frmPieByDayMode(ViewerContext& context, int day, int month, int year,
                                 QWidget* owner)
    : QWidget(owner, Qt::Window), context_(context), day_(day), month_(month), year_(year) {
    setObjectName(QStringLiteral("frmPieByDayMode"));
    setWindowTitle(QStringLiteral("Analyse Day"));
    panel = new UsagePiePanel(this);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(panel);
    connect(panel->cmdSaveAsImage, &QPushButton::clicked, this,
            &frmPieByDayMode::cmdSaveAsImage_Click);
    connect(panel->cmdOpenImageFolder, &QPushButton::clicked, this,
            &frmPieByDayMode::cmdOpenImageFolder_Click);
    connect(panel->Close, &QPushButton::clicked, this, &frmPieByDayMode::Close_Click);
}

void frmPieByDayMode::Form_Load() {
    ShowOwnedWindow(*this);
    DrawDayPie(day_, month_, year_);
}

void frmPieByDayMode::DrawDayPie(int day, int month, int year) {
    char text[16];
    std::snprintf(text, sizeof text, "%02d", day);
    dayText_ = text;
    monthText_ = std::to_string(month);
    std::snprintf(text, sizeof text, "%02d", year % 100);
    yearText_ = text;
    records_ = TallyDay(context_.ReadablePath(), day, month, year % 100);
    panel->ShowContent(DayChart(records_));
}

void frmPieByDayMode::cmdSaveAsImage_Click() {
    if (!panel->ShowsChart())
        return; // only the chart on show is saved, and "No data for ..." is none
    FileLabelDetails details;
    details.day = dayText_;
    details.month = monthText_;
    details.year = yearText_;
    const std::string name = BuildFileLabel(FileLabelKind::DAY, records_.summary.identity,
                                            context_.clock.Now(), details) +
                             ".jpg";
    SaveChartImage(context_, panel->Picture(), name, this);
}

void frmPieByDayMode::cmdOpenImageFolder_Click() {
    OpenImagesFolder(context_);
}

void frmPieByDayMode::Close_Click() {
    close();
}

} // namespace tarvik
