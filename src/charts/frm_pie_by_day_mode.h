#pragma once

#include "charts/usage_pie_panel.h"
#include "viewer/record_selection.h"
#include "viewer/viewer_context.h"

#include <QWidget>
#include <string>

namespace tarvik {

// "Analyse Day": the usage per mode of one day as a pie.
class frmPieByDayMode : public QWidget {
    Q_OBJECT
public:
    // Day, month and four-digit year of the day to show.
    frmPieByDayMode(ViewerContext& context, int day, int month, int year, QWidget* owner);

    void Form_Load();
    void DrawDayPie(int day, int month, int year);

    void cmdSaveAsImage_Click();
    void cmdOpenImageFolder_Click();
    void Close_Click();

    // The day as the image name shows it: "05", "12", "26".
    const std::string& dayText() const { return dayText_; }
    const std::string& monthText() const { return monthText_; }
    const std::string& yearText() const { return yearText_; }

    UsagePiePanel* panel;

private:
    ViewerContext& context_;
    int day_;
    int month_;
    int year_;
    std::string dayText_;
    std::string monthText_;
    std::string yearText_;
    SelectionTally records_;
};

} // namespace tarvik
