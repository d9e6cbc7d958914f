#pragma once

#include "charts/chart_content.h"

#include <QChartView>
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

    // Draws the content. Without data only the status text shows, in place of the pie; the
    // usage time keeps its earlier text.
    void ShowContent(const ChartContent& content);

    // The chart as drawn, at the pie's size.
    QImage Picture() const;

    QChartView* pie;
    QLabel* lblPieStatus;
    QLabel* lblUsageTime;
    QPushButton* cmdSaveAsImage;
    QPushButton* cmdOpenImageFolder;
    QPushButton* Close;
};

} // namespace tarvik
