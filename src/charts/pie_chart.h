#pragma once

#include "charts/chart_content.h"

#include <QChart>
#include <QImage>
#include <QSize>
#include <QString>
#include <QWidget>

class QChartView;
class QLabel;
class QVBoxLayout;

namespace tarvik {

// The usage pie in the chart style: the title over the whole picture (its line break kept), the
// pie with a slice per entry in its colour, and beside it the legend, its caption "Mode" right
// above its entries. The legend is laid out like any row of controls, so the caption stays with
// the entries and is never cut, also when the pie has no slice.
class PieChartWidget : public QWidget {
    Q_OBJECT
public:
    explicit PieChartWidget(QWidget* parent = nullptr);

    void ShowContent(const ChartContent& content);

    // The picture as drawn: title, pie and legend.
    QImage Picture();

    QChart* chart() const;
    QStringList LegendEntries() const;

    QLabel* title;
    QLabel* legendCaption;

private:
    QChartView* view_;
    QWidget* legend_;
    QVBoxLayout* legendEntries_;
};

// The title as the chart shows it: escaped text with CR LF turned into a line break.
QString ChartTitleHtml(const std::string& title);

// The chart drawn offscreen at the given size, as the window would show it.
QImage RenderPieChart(const ChartContent& content, QSize size);

inline constexpr int kChartWidth = 640;
inline constexpr int kChartHeight = 480;

} // namespace tarvik
