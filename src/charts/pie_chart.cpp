#include "charts/pie_chart.h"

#include <QChartView>
#include <QGraphicsSimpleTextItem>
#include <QLegend>
#include <QPieSeries>
#include <QPieSlice>

namespace tarvik {

namespace {

QColor ToQColor(Rgb c) {
    return QColor(c.red, c.green, c.blue);
}

// Qt's legend has no caption of its own: a text item sits in the room its top margin leaves.
void AddLegendCaption(QLegend* legend) {
    auto* caption =
        new QGraphicsSimpleTextItem(QString::fromLatin1(chart_style::kLegendCaption), legend);
    QFont font = legend->font();
    font.setBold(true);
    caption->setFont(font);
    caption->setBrush(ToQColor(chart_style::kSecondColour));
    const qreal height = caption->boundingRect().height();
    legend->setContentsMargins(0, height + 4, 0, 0);
    caption->setPos(4, 2);
}

} // namespace

QString ChartTitleHtml(const std::string& title) {
    QString html;
    std::size_t start = 0;
    while (true) {
        const std::size_t end = title.find("\r\n", start);
        html += QString::fromLatin1(title.substr(start, end - start)).toHtmlEscaped();
        if (end == std::string::npos)
            break;
        html += QStringLiteral("<br>");
        start = end + 2;
    }
    return html;
}

QChart* BuildPieChart(const ChartContent& content) {
    auto* chart = new QChart;
    chart->setTitle(ChartTitleHtml(content.title));
    chart->setTitleBrush(ToQColor(chart_style::kSecondColour));
    QFont titleFont = chart->titleFont();
    titleFont.setBold(true);
    chart->setTitleFont(titleFont);

    auto* series = new QPieSeries;
    series->setName(QString::fromLatin1(chart_style::kLegendCaption));
    for (const PieSlice& s : content.slices) {
        auto* slice = new QPieSlice(QString::fromStdString(s.label), static_cast<qreal>(s.seconds));
        slice->setBrush(ToQColor(s.colour));
        slice->setPen(QPen(ToQColor(chart_style::kForeground), 1));
        series->append(slice);
    }
    chart->addSeries(series);

    QLegend* legend = chart->legend();
    legend->setVisible(true);
    legend->setAlignment(Qt::AlignRight);
    legend->setLabelColor(ToQColor(chart_style::kSecondColour));
    AddLegendCaption(legend);

    chart->setBackgroundBrush(ToQColor(chart_style::kBackground));
    chart->setBackgroundRoundness(0);
    return chart;
}

QImage RenderPieChart(const ChartContent& content, QSize size) {
    QChartView view(BuildPieChart(content));
    view.setRenderHint(QPainter::Antialiasing);
    view.resize(size);
    return view.grab().toImage();
}

} // namespace tarvik
