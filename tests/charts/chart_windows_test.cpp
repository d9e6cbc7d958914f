#include "charts/chart_windows.h"
#include "charts/frm_pie_by_day_mode.h"
#include "charts/frm_pie_by_month_mode2.h"
#include "charts/pie_chart.h"
#include "datafile/file_label.h"
#include "support/scripted_prompts.h"
#include "support/temp_dir.h"
#include "viewer/record_fixtures.h"

#include <QApplication>
#include <QLabel>
#include <QPieSeries>
#include <QTextCharFormat>
#include <cstdlib>
#include <gtest/gtest.h>

using namespace tarvik;
using tarvik::test::RecordsOnDay;

namespace {

class ChartWindowTest : public ::testing::Test {
protected:
    ChartWindowTest() {
        context.desktop.chooseImageFile = [this](const std::filesystem::path& suggested) {
            suggestions.push_back(suggested);
            return chosen ? chosen : std::optional<std::filesystem::path>(suggested);
        };
        context.desktop.openFolder = [this](const std::filesystem::path& folder) {
            opened.push_back(folder);
            return true;
        };
    }
    ~ChartWindowTest() override {
        delete windows.dayWindow();
        delete windows.monthWindow();
    }

    void Write(std::initializer_list<std::vector<std::string>> groups) {
        std::vector<std::string> lines;
        for (const auto& group : groups)
            lines.insert(lines.end(), group.begin(), group.end());
        test::WriteDataFile(dir / "data" / "log.lgd", "Bob,KVZ3,1234", lines);
    }

    static QPieSeries* Series(const UsagePiePanel& panel) {
        return qobject_cast<QPieSeries*>(panel.pie->chart()->series().value(0));
    }

    test::TempDir dir;
    test::ScriptedPrompts prompts;
    FixedClock clock{{2026, 12, 5, 10, 20, 30}};
    ViewerContext context{{dir / "data", "log.lgd"}, {dir / "docs", dir / "app"}, prompts, clock};
    ChartWindows windows{context};
    std::optional<std::filesystem::path> chosen;
    std::vector<std::filesystem::path> suggestions;
    std::vector<std::filesystem::path> opened;
};

// Decodes a JPEG with the system's own decoder; its size, or an empty size when it fails.
QSize DecodedWithDjpeg(const std::filesystem::path& jpeg, const std::filesystem::path& ppm) {
    const std::string command =
        "djpeg -pnm -outfile '" + ppm.string() + "' '" + jpeg.string() + "' 2>/dev/null";
    if (std::system(command.c_str()) != 0)
        return {};
    return QImage(QString::fromStdString(ppm.string())).size();
}

} // namespace

TEST_F(ChartWindowTest, MonthChartHasTheModeSlicesTitleAndTotal) {
    Write({RecordsOnDay("051226", '0', 3000), RecordsOnDay("061226", '2', 600),
           RecordsOnDay("061226", '7', 50)});
    frmPieByMonthMode2* month = windows.ShowMonth(12, 26, nullptr);
    EXPECT_EQ(month->windowTitle(), "Analyse Data");
    EXPECT_EQ(month->panel->lblUsageTime->text(), "1 Hrs 0 Mins 0 Secs");
    EXPECT_TRUE(month->panel->pie->isVisible());
    QChart* chart = month->panel->pie->chart();
    const QString title = month->panel->pie->title->text();
    EXPECT_TRUE(title.contains("Usage by Mode for 05/12/26 to 06/12/26"));
    EXPECT_TRUE(title.contains("<br>")); // the title's two lines
    EXPECT_EQ(chart->backgroundBrush().color(), QColor(255, 239, 213));
    QPieSeries* series = Series(*month->panel);
    ASSERT_NE(series, nullptr);
    ASSERT_EQ(series->count(), 2);
    EXPECT_EQ(series->slices()[0]->label(), "Power");
    EXPECT_EQ(series->slices()[0]->value(), 3000);
    EXPECT_EQ(series->slices()[0]->brush().color(), QColor(175, 216, 248));
    EXPECT_EQ(series->slices()[1]->label(), "Generator");
    EXPECT_EQ(series->slices()[1]->brush().color(), QColor(139, 186, 0));
    EXPECT_TRUE(month->MonthView1->dateTextFormat(QDate(2026, 12, 6)).fontWeight() == QFont::Bold);
    // The legend has an entry per slice only, under its caption.
    EXPECT_EQ(month->panel->pie->LegendEntries(), (QStringList{"Power", "Generator"}));
    EXPECT_EQ(month->panel->pie->legendCaption->text(), "Mode");
}

TEST_F(ChartWindowTest, TheLegendCaptionSitsOnItsEntriesAndIsNeverCut) {
    // Records of unknown modes only: a pie without slices, and so a legend without entries.
    Write({RecordsOnDay("051226", '1', 20), RecordsOnDay("061226", '7', 20)});
    for (const QDate day : {QDate(2026, 12, 5), QDate(2026, 12, 6)}) {
        frmPieByDayMode* window = windows.ShowDay(day.day(), day.month(), day.year(), nullptr);
        QApplication::processEvents();
        const QLabel* caption = window->panel->pie->legendCaption;
        EXPECT_TRUE(caption->isVisible());
        EXPECT_GE(caption->width(), caption->sizeHint().width()) << "cut";
        EXPECT_GE(caption->height(), caption->sizeHint().height()) << "cut";
        const auto entries = window->panel->pie->findChildren<QLabel*>();
        for (const QLabel* entry : entries) {
            if (entry == caption || entry->text().isEmpty() || entry->parent() != caption->parent())
                continue;
            // Right under the caption, not half a window away.
            EXPECT_LT(entry->y() - caption->geometry().bottom(), 3 * caption->height())
                << entry->text().toStdString();
        }
        window->close();
        delete window;
    }
}

TEST_F(ChartWindowTest, PagingToAnEmptyMonthShowsNoDataInsteadOfThePie) {
    Write({RecordsOnDay("051226", '1', 10)});
    frmPieByMonthMode2* month = windows.ShowMonth(0, 0, nullptr); // the first record's month
    EXPECT_EQ(month->shownMonth(), 12);
    month->MonthView1->setCurrentPage(2027, 2);
    EXPECT_EQ(month->panel->lblPieStatus->text(), "No data for February 2027");
    EXPECT_FALSE(month->panel->pie->isVisible());
    EXPECT_EQ(month->panel->lblUsageTime->text(), "");
    // The December pie is still in the panel, hidden: it must not be saved for February.
    EXPECT_FALSE(month->panel->cmdSaveAsImage->isEnabled());
    month->cmdSaveAsImage_Click();
    EXPECT_TRUE(suggestions.empty());
    month->MonthView1->setCurrentPage(2026, 12);
    EXPECT_TRUE(month->panel->pie->isVisible());
    EXPECT_EQ(month->panel->lblPieStatus->text(), "");
    EXPECT_TRUE(month->panel->cmdSaveAsImage->isEnabled());
}

TEST_F(ChartWindowTest, ADateClickOpensOneDayWindowThatIsOnlyBroughtForward) {
    Write({RecordsOnDay("051226", '2', 61), RecordsOnDay("061226", '0', 5)});
    frmPieByMonthMode2* month = windows.ShowMonth(12, 26, nullptr);
    month->MonthView1_DateClick(QDate(2026, 12, 5));
    frmPieByDayMode* day = windows.dayWindow();
    ASSERT_NE(day, nullptr);
    EXPECT_EQ(day->windowTitle(), "Analyse Day");
    EXPECT_EQ(day->parentWidget(), month);
    EXPECT_EQ(day->panel->lblUsageTime->text(), "0 Hrs 1 Mins 1 Secs");
    ASSERT_EQ(Series(*day->panel)->count(), 1);
    EXPECT_EQ(Series(*day->panel)->slices()[0]->label(), "Transmitter");
    EXPECT_TRUE(day->panel->pie->title->text().endsWith("Usage by Mode for 05/12/26"));

    month->MonthView1_DateClick(QDate(2026, 12, 6));
    EXPECT_EQ(windows.dayWindow(), day);
    EXPECT_EQ(day->panel->lblUsageTime->text(), "0 Hrs 1 Mins 1 Secs"); // still the first day

    // Closed, the next request loads afresh.
    day->close();
    delete day;
    month->MonthView1_DateClick(QDate(2026, 12, 6));
    ASSERT_NE(windows.dayWindow(), nullptr);
    EXPECT_EQ(windows.dayWindow()->panel->lblUsageTime->text(), "0 Hrs 0 Mins 5 Secs");
}

TEST_F(ChartWindowTest, ADayWithoutRecordsSaysSo) {
    Write({RecordsOnDay("051226", '2', 3)});
    frmPieByDayMode* day = windows.ShowDay(7, 12, 2026, nullptr);
    EXPECT_EQ(day->panel->lblPieStatus->text(), "No data for chosen day");
    EXPECT_FALSE(day->panel->pie->isVisible());
    EXPECT_FALSE(day->panel->cmdSaveAsImage->isEnabled());
}

TEST_F(ChartWindowTest, SaveAsImageWritesARealJpegIntoANewImagesFolder) {
    Write({RecordsOnDay("051226", '0', 30), RecordsOnDay("051226", '3', 30)});
    frmPieByMonthMode2* month = windows.ShowMonth(12, 26, nullptr);
    ASSERT_FALSE(std::filesystem::exists(context.folders.ImagesFolder()));
    month->cmdSaveAsImage_Click();
    const std::string name =
        BuildFileLabel(FileLabelKind::DA, {"Bob", "KVZ3", "1234"}, clock.Now()) + ".jpg";
    ASSERT_EQ(suggestions.size(), 1u);
    EXPECT_EQ(suggestions[0], context.folders.ImagesFolder() / name);
    EXPECT_TRUE(prompts.shown().empty());
    const QImage saved(QString::fromStdString(suggestions[0].string()), "JPEG");
    ASSERT_FALSE(saved.isNull());
    EXPECT_EQ(saved.size(), month->panel->pie->size());
    EXPECT_EQ(DecodedWithDjpeg(suggestions[0], dir / "check.ppm"), month->panel->pie->size());

    month->cmdOpenImageFolder_Click();
    EXPECT_EQ(opened, std::vector<std::filesystem::path>{context.folders.ImagesFolder()});
}

TEST_F(ChartWindowTest, TheDayImageIsNamedAfterTheDay) {
    Write({RecordsOnDay("051226", '1', 30)});
    frmPieByDayMode* day = windows.ShowDay(5, 12, 2026, nullptr);
    EXPECT_EQ(day->dayText(), "05");
    EXPECT_EQ(day->yearText(), "26");
    day->cmdSaveAsImage_Click();
    ASSERT_EQ(suggestions.size(), 1u);
    EXPECT_NE(suggestions[0].filename().string().find("[on 05-12-26]"), std::string::npos);
    EXPECT_TRUE(std::filesystem::exists(suggestions[0]));
}

TEST_F(ChartWindowTest, AChartThatCannotBeWrittenIsReportedWithItsName) {
    Write({RecordsOnDay("051226", '1', 30)});
    frmPieByDayMode* day = windows.ShowDay(5, 12, 2026, nullptr);
    test::WriteBytes(dir / "blocker", "a file where a folder should be");
    chosen = dir / "blocker" / "chart.jpg";
    day->cmdSaveAsImage_Click();
    ASSERT_EQ(prompts.shown().size(), 1u);
    EXPECT_NE(prompts.shown()[0].text.find("chart.jpg"), std::string::npos);
    EXPECT_EQ(prompts.shown()[0].icon, PromptIcon::Warning);
    // Cancelling the dialog writes nothing and says nothing.
    context.desktop.chooseImageFile = [](const std::filesystem::path&) {
        return std::optional<std::filesystem::path>();
    };
    prompts.Clear();
    day->cmdSaveAsImage_Click();
    EXPECT_TRUE(prompts.shown().empty());
}

TEST(PieChart, RendersOffscreenAtTheAskedSize) {
    ChartContent content;
    content.hasData = true;
    content.title = "Locator <KVZ3>\r\nUsage by Mode for December 2026";
    content.slices = {{"Power", 10, {175, 216, 248}}};
    EXPECT_EQ(ChartTitleHtml(content.title),
              "Locator &lt;KVZ3&gt;<br>Usage by Mode for December 2026");
    const QImage image = RenderPieChart(content, QSize(kChartWidth, kChartHeight));
    ASSERT_EQ(image.size(), QSize(kChartWidth, kChartHeight));
    // The slice colour is drawn somewhere in the middle of the chart.
    bool found = false;
    for (int y = 0; y < image.height() && !found; y += 2)
        for (int x = 0; x < image.width() && !found; x += 2)
            found = image.pixelColor(x, y) == QColor(175, 216, 248);
    EXPECT_TRUE(found);
}
