#pragma once

#include "charts/chart_content.h"

#include "charts/pie_chart.h"

#include <QImage>
#include <QLabel>
#include <QPushButton>
#include <QWidget>

namespace tarvik {

// What the month and the day window share: the pie, its status text, the total usage time and
// the "Image" frame with Save, Open Folder and Close.
class UsagePiePanel : public QWidget {
    Q_OBJECT
public:
    explicit UsagePiePanel(QWidget* parent = nullptr);

    // Draws the content. Without data only the status text shows, in place of the pie, and
    // there is nothing to save; the usage time keeps its earlier text.
    void ShowContent(const ChartContent& content);

    // True while a chart is on show (and so can be saved).
    bool ShowsChart() const { return showsChart_; }

    // The chart on show, as drawn.
    QImage Picture() const;

    PieChartWidget* pie;
    QLabel* lblPieStatus;
    QLabel* lblUsageTime;
    QPushButton* cmdSaveAsImage;
    QPushButton* cmdOpenImageFolder;
    QPushButton* Close;

private:
    bool showsChart_ = false;
};

} // namespace tarvik
