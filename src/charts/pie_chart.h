#pragma once

#include "charts/chart_content.h"

#include <QChart>
#include <QImage>
#include <QSize>
#include <QString>

namespace tarvik {

// The usage pie in the chart style: the title (its line break kept), a slice per entry in its
// colour, and the legend captioned "Mode".
QChart* BuildPieChart(const ChartContent& content);

// The title as the chart shows it: escaped text with CR LF turned into a line break.
QString ChartTitleHtml(const std::string& title);

// The chart drawn offscreen at the given size, as the window would show it.
QImage RenderPieChart(const ChartContent& content, QSize size);

inline constexpr int kChartWidth = 640;
inline constexpr int kChartHeight = 480;

} // namespace tarvik
