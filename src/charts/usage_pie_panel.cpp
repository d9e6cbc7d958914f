#include "charts/usage_pie_panel.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QVBoxLayout>

namespace tarvik {

UsagePiePanel::UsagePiePanel(QWidget* parent) : QWidget(parent) {
    pie = new PieChartWidget(this);
    pie->setObjectName(QStringLiteral("pie"));
    pie->setMinimumSize(kChartWidth, kChartHeight);
    lblPieStatus = new QLabel(this);
    lblPieStatus->setObjectName(QStringLiteral("lblPieStatus"));
    lblPieStatus->setAlignment(Qt::AlignCenter);
    QFont statusFont = lblPieStatus->font();
    statusFont.setPointSize(statusFont.pointSize() + 4);
    lblPieStatus->setFont(statusFont);

    auto* usageCaption = new QLabel(QStringLiteral("Total usage time for this period:"), this);
    lblUsageTime = new QLabel(this);
    lblUsageTime->setObjectName(QStringLiteral("lblUsageTime"));
    auto* usageRow = new QHBoxLayout;
    usageRow->addWidget(usageCaption);
    usageRow->addWidget(lblUsageTime, 1);

    auto* imageFrame = new QGroupBox(QStringLiteral("Image"), this);
    cmdSaveAsImage = new QPushButton(QStringLiteral("Save"), imageFrame);
    cmdSaveAsImage->setObjectName(QStringLiteral("cmdSaveAsImage"));
    cmdSaveAsImage->setToolTip(QStringLiteral("Save as Image"));
    cmdOpenImageFolder = new QPushButton(QStringLiteral("Open Folder"), imageFrame);
    cmdOpenImageFolder->setObjectName(QStringLiteral("cmdOpenImageFolder"));
    Close = new QPushButton(QStringLiteral("Close"), imageFrame);
    Close->setObjectName(QStringLiteral("Close"));
    auto* buttons = new QHBoxLayout(imageFrame);
    buttons->addWidget(cmdSaveAsImage);
    buttons->addWidget(cmdOpenImageFolder);
    buttons->addWidget(Close);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(pie, 1);
    layout->addWidget(lblPieStatus, 1);
    layout->addLayout(usageRow);
    layout->addWidget(imageFrame);
    lblPieStatus->hide();
    cmdSaveAsImage->setEnabled(false);
}

void UsagePiePanel::ShowContent(const ChartContent& content) {
    // The one shown goes away before the other appears: showing a widget lays its window out
    // at once, and with both on show the window grew and never shrank back.
    if (!content.hasData) {
        lblPieStatus->setText(QString::fromStdString(content.status));
        pie->hide();
        lblPieStatus->show();
        showsChart_ = false;
        cmdSaveAsImage->setEnabled(false);
        return;
    }
    lblPieStatus->clear();
    lblPieStatus->hide();
    pie->ShowContent(content);
    pie->show();
    showsChart_ = true;
    cmdSaveAsImage->setEnabled(true);
    lblUsageTime->setText(QString::fromStdString(content.usageTime));
}

QImage UsagePiePanel::Picture() const {
    return showsChart_ ? pie->Picture() : QImage();
}

} // namespace tarvik
