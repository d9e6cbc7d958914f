#include "charts/chart_windows.h"
#include "charts/frm_pie_by_day_mode.h"
#include "charts/frm_pie_by_month_mode2.h"
#include "charts/pie_chart.h"
#include "datafile/file_label.h"
#include "support/run_command.h"
#include "support/scripted_prompts.h"
#include "support/temp_dir.h"
#include "viewer/record_fixtures.h"

#include <QApplication>
#include <QLabel>
#include <QPieSeries>
#include <QTextCharFormat>
#include <gtest/gtest.h>

using namespace tarvik;
using tarvik::test::RecordsOnDay;

namespace {

// What a chart panel shows: "usage time|status|the slices with their values and colours",
// or "usage time|status|hidden" when its pie is hidden.
std::string Shown(const UsagePiePanel& panel) {
    QStringList shown{panel.lblUsageTime->text(), panel.lblPieStatus->text()};
    if (!panel.pie->isVisibleTo(panel.pie->parentWidget()))
        shown << "hidden";
    else if (auto* series = qobject_cast<QPieSeries*>(panel.pie->chart()->series().value(0)))
        for (const QPieSlice* s : series->slices())
            shown << QStringLiteral("%1 %2 %3")
                         .arg(s->label())
                         .arg(s->value())
                         .arg(s->brush().color().name());
    return shown.join('|').toStdString();
}

// The legend's caption is never cut and sits right on its entries, if there are any.
void ExpectLegendInPlace(const PieChartWidget& pie) {
    QApplication::processEvents();
    const QLabel* caption = pie.legendCaption;
    EXPECT_TRUE(caption->isVisible() && caption->text() == "Mode");
    EXPECT_GE(caption->size().width(), caption->sizeHint().width());
    EXPECT_GE(caption->size().height(), caption->sizeHint().height());
    for (const QLabel* entry : pie.findChildren<QLabel*>())
        EXPECT_TRUE(entry == caption || entry->parent() != caption->parent() ||
                    entry->y() - caption->geometry().bottom() < 3 * caption->height());
}

} // namespace

TEST(ChartWindows, TheMonthAndItsDaysShowTheirPiesAndSaveOnlyWhatTheyShow) {
    test::TempDir dir;
    test::WriteDataFile(
        dir / "data" / "log.lgd", "Bob,KVZ3,1234",
        test::Concatenated({RecordsOnDay("051226", '0', 3000), RecordsOnDay("061226", '2', 600),
                            RecordsOnDay("061226", '7', 50), RecordsOnDay("071226", '7', 20)}));
    test::ScriptedPrompts prompts;
    FixedClock clock{{2026, 12, 5, 10, 20, 30}};
    ViewerContext context{{dir / "data", "log.lgd"}, {dir / "docs", dir / "app"}, prompts, clock};
    std::optional<std::filesystem::path> chosen;
    std::vector<std::filesystem::path> suggestions, opened;
    context.desktop.chooseImageFile = [&](const std::filesystem::path& suggested) {
        suggestions.push_back(suggested);
        return chosen.value_or(suggested);
    };
    context.desktop.openFolder = [&](const auto& folder) {
        opened.push_back(folder);
        return true;
    };
    ChartWindows windows{context};
    frmPieByMonthMode2* month = windows.ShowMonth(0, 0, nullptr); // the first record's month
    EXPECT_EQ(month->windowTitle() + "|" + month->panel->pie->title->text(),
              "Analyse Data|Locator KVZ3, Serial no. 1234. User: Bob<br>Usage by Mode for "
              "05/12/26 to 07/12/26");
    const std::string december = "1 Hrs 0 Mins 0 Secs||Power 3000 #afd8f8|Generator 600 #8bba00";
    EXPECT_EQ(Shown(*month->panel), december);
    EXPECT_EQ(month->panel->pie->chart()->backgroundBrush().color(), QColor(255, 239, 213));
    EXPECT_EQ(month->MonthView1->dateTextFormat(QDate(2026, 12, 6)).fontWeight(), QFont::Bold);
    EXPECT_EQ(month->panel->pie->LegendEntries(), (QStringList{"Power", "Generator"}));

    // Paged to an empty month, the hidden December pie must not be saved for February.
    const QSize size = month->size(); // neither grows nor moves its buttons
    month->MonthView1->setCurrentPage(2027, 2);
    EXPECT_EQ(month->size(), size);
    EXPECT_EQ(Shown(*month->panel), "|No data for February 2027|hidden");
    EXPECT_FALSE(month->panel->cmdSaveAsImage->isEnabled());
    month->cmdSaveAsImage_Click();
    EXPECT_TRUE(suggestions.empty());

    // Back on December, Save writes a real JPEG of the pie into a new images folder.
    month->MonthView1->setCurrentPage(2026, 12);
    EXPECT_EQ(Shown(*month->panel), december);
    month->cmdSaveAsImage_Click();
    const std::string name =
        BuildFileLabel(FileLabelKind::DA, {"Bob", "KVZ3", "1234"}, clock.Now()) + ".jpg";
    EXPECT_EQ(suggestions, std::vector{context.folders.ImagesFolder() / name});
    const auto ppm = dir / "check.ppm";
    ASSERT_EQ(test::RunCommand("djpeg -pnm -outfile " + test::ShellQuoted(ppm) + " " +
                               test::ShellQuoted(suggestions[0]))
                  .exitCode,
              0);
    EXPECT_EQ(QImage(QString::fromStdString(ppm.string())).size(), month->panel->pie->size());
    month->cmdOpenImageFolder_Click();
    EXPECT_EQ(opened, std::vector{context.folders.ImagesFolder()});

    month->MonthView1_DateClick(QDate(2026, 12, 6));
    frmPieByDayMode* day = windows.dayWindow();
    ASSERT_NE(day, nullptr);
    EXPECT_EQ(day->windowTitle() + "|" + day->panel->pie->title->text().right(26),
              "Analyse Day|Usage by Mode for 06/12/26");
    EXPECT_EQ(day->parentWidget(), month);
    EXPECT_EQ(Shown(*day->panel), "0 Hrs 10 Mins 0 Secs||Transmitter 600 #8bba00");
    ExpectLegendInPlace(*day->panel->pie);
    month->MonthView1_DateClick(QDate(2026, 12, 5));
    EXPECT_EQ(windows.dayWindow(), day);
    EXPECT_EQ(Shown(*day->panel), "0 Hrs 10 Mins 0 Secs||Transmitter 600 #8bba00");

    day->cmdSaveAsImage_Click();
    ASSERT_EQ(suggestions.size(), 2u);
    EXPECT_NE(suggestions[1].filename().string().find("[on 06-12-26]"), std::string::npos);
    EXPECT_TRUE(std::filesystem::exists(suggestions[1]));
    test::WriteBytes(dir / "blocker", "a file where a folder should be");
    chosen = dir / "blocker" / "chart.jpg";
    day->cmdSaveAsImage_Click();
    ASSERT_EQ(prompts.shown().size(), 1u);
    EXPECT_NE(prompts.shown()[0].text.find("chart.jpg"), std::string::npos);
    EXPECT_EQ(prompts.shown()[0].icon, PromptIcon::Warning);

    // Closed, the next request loads afresh: unknown modes only make a pie without slices.
    delete day;
    month->MonthView1_DateClick(QDate(2026, 12, 7));
    EXPECT_EQ(Shown(*windows.dayWindow()->panel), "0 Hrs 0 Mins 0 Secs|");
    ExpectLegendInPlace(*windows.dayWindow()->panel->pie);
    delete windows.dayWindow();
    month->MonthView1_DateClick(QDate(2026, 12, 8));
    EXPECT_EQ(Shown(*windows.dayWindow()->panel), "|No data for chosen day|hidden");
    EXPECT_FALSE(windows.dayWindow()->panel->cmdSaveAsImage->isEnabled());
    delete windows.dayWindow();
    delete month;
}
