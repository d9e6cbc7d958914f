#include "charts/pie_chart.h"

#include <QChartView>
#include <QHBoxLayout>
#include <QLabel>
#include <QLegend>
#include <QPainter>
#include <QPieSeries>
#include <QPieSlice>
#include <QVBoxLayout>

namespace tarvik {

namespace {

QColor ToQColor(Rgb c) {
    return QColor(c.red, c.green, c.blue);
}

QLabel* TextLabel(const QString& text, bool bold, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, ToQColor(chart_style::kSecondColour));
    label->setPalette(palette);
    if (bold) {
        QFont font = label->font();
        font.setBold(true);
        label->setFont(font);
    }
    return label;
}

// A legend entry's colour box, outlined like the slices.
QPixmap Swatch(Rgb colour, int side) {
    QPixmap swatch(side, side);
    swatch.fill(ToQColor(colour));
    QPainter painter(&swatch);
    painter.setPen(ToQColor(chart_style::kSecondColour));
    painter.drawRect(0, 0, side - 1, side - 1);
    return swatch;
}

QChart* BuildPie(const ChartContent& content) {
    auto* chart = new QChart;
    auto* series = new QPieSeries;
    series->setName(QString::fromLatin1(chart_style::kLegendCaption));
    for (const PieSlice& s : content.slices) {
        auto* slice = new QPieSlice(QString::fromStdString(s.label), static_cast<qreal>(s.seconds));
        slice->setBrush(ToQColor(s.colour));
        slice->setPen(QPen(ToQColor(chart_style::kForeground), 1));
        series->append(slice);
    }
    chart->addSeries(series);
    chart->legend()->setVisible(false); // the widget draws its own, see PieChartWidget
    chart->setBackgroundBrush(ToQColor(chart_style::kBackground));
    chart->setBackgroundRoundness(0);
    return chart;
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

PieChartWidget::PieChartWidget(QWidget* parent) : QWidget(parent) {
    setAutoFillBackground(true);
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, ToQColor(chart_style::kBackground));
    setPalette(palette);

    title = TextLabel({}, true, this);
    title->setObjectName(QStringLiteral("chartTitle"));
    title->setTextFormat(Qt::RichText);
    title->setAlignment(Qt::AlignCenter);
    title->setWordWrap(true);

    view_ = new QChartView(this);
    view_->setRenderHint(QPainter::Antialiasing);
    view_->setFrameShape(QFrame::NoFrame);
    view_->setBackgroundBrush(ToQColor(chart_style::kBackground));
    view_->setChart(BuildPie({}));

    legend_ = new QWidget(this);
    legend_->setObjectName(QStringLiteral("legend"));
    auto* legendLayout = new QVBoxLayout(legend_);
    legendCaption = TextLabel(QString::fromLatin1(chart_style::kLegendCaption), true, legend_);
    legendEntries_ = new QVBoxLayout;
    legendLayout->addStretch(1);
    legendLayout->addWidget(legendCaption);
    legendLayout->addLayout(legendEntries_);
    legendLayout->addStretch(1);

    auto* row = new QHBoxLayout;
    row->addWidget(view_, 1);
    row->addWidget(legend_);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(title);
    layout->addLayout(row, 1);
}

void PieChartWidget::ShowContent(const ChartContent& content) {
    title->setText(ChartTitleHtml(content.title));
    QChart* previous = view_->chart();
    view_->setChart(BuildPie(content));
    delete previous; // the view gives up the old chart without deleting it

    // The entries' rows are layouts (deleted as items); their labels are deleted below.
    while (QLayoutItem* item = legendEntries_->takeAt(0))
        delete item;
    const QObjectList children = legend_->children(); // a copy: deleting changes the list
    for (QObject* child : children)
        if (child != legendCaption && child->isWidgetType())
            delete child;
    const int side = fontMetrics().height() - 2;
    for (const PieSlice& slice : content.slices) {
        auto* swatch = new QLabel(legend_);
        swatch->setPixmap(Swatch(slice.colour, side));
        auto* entry = new QHBoxLayout;
        entry->addWidget(swatch);
        entry->addWidget(TextLabel(QString::fromStdString(slice.label), false, legend_), 1);
        legendEntries_->addLayout(entry);
    }
}

QImage PieChartWidget::Picture() {
    return grab().toImage();
}

QChart* PieChartWidget::chart() const {
    return view_->chart();
}

QStringList PieChartWidget::LegendEntries() const {
    QStringList entries;
    for (int i = 0; i < legendEntries_->count(); ++i)
        if (QLayout* entry = legendEntries_->itemAt(i)->layout())
            if (auto* label = qobject_cast<QLabel*>(entry->itemAt(1)->widget()))
                entries << label->text();
    return entries;
}

QImage RenderPieChart(const ChartContent& content, QSize size) {
    PieChartWidget chart;
    chart.ShowContent(content);
    chart.resize(size);
    return chart.Picture();
}

} // namespace tarvik
