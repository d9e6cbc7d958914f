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

class ChartWindowTest : public ::testing::Test {
protected:
    ChartWindowTest() {
        context.desktop.chooseImageFile = [this](const std::filesystem::path& suggested) {
            suggestions.push_back(suggested);
            return chosen.value_or(suggested);
        };
        context.desktop.openFolder = [this](const auto& folder) {
            opened.push_back(folder);
            return true;
        };
    }
    ~ChartWindowTest() override {
        delete windows.dayWindow();
        delete windows.monthWindow();
    }

    void Write(std::initializer_list<std::vector<std::string>> groups) {
        test::WriteDataFile(dir / "data" / "log.lgd", "Bob,KVZ3,1234", test::Concatenated(groups));
    }

    // The labels of the pie's slices with their values and colours.
    static QStringList Slices(const UsagePiePanel& panel) {
        QStringList slices;
        if (auto* series = qobject_cast<QPieSeries*>(panel.pie->chart()->series().value(0)))
            for (const QPieSlice* s : series->slices())
                slices << QStringLiteral("%1 %2 %3")
                              .arg(s->label())
                              .arg(s->value())
                              .arg(s->brush().color().name());
        return slices;
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

} // namespace

TEST_F(ChartWindowTest, TheMonthShowsItsPieLegendAndTotalAndOnlyThatIsSaved) {
    Write({RecordsOnDay("051226", '0', 3000), RecordsOnDay("061226", '2', 600),
           RecordsOnDay("061226", '7', 50)});
    frmPieByMonthMode2* month = windows.ShowMonth(0, 0, nullptr); // the first record's month
    EXPECT_EQ(month->shownMonth(), 12);
    EXPECT_EQ(month->windowTitle(), "Analyse Data");
    EXPECT_EQ(month->panel->lblUsageTime->text(), "1 Hrs 0 Mins 0 Secs");
    EXPECT_EQ(month->panel->pie->title->text(),
              "Locator KVZ3, Serial no. 1234. User: Bob<br>Usage by Mode for 05/12/26 to 06/12/26");
    EXPECT_EQ(month->panel->pie->chart()->backgroundBrush().color(), QColor(255, 239, 213));
    EXPECT_EQ(Slices(*month->panel), (QStringList{"Power 3000 #afd8f8", "Generator 600 #8bba00"}));
    EXPECT_EQ(month->MonthView1->dateTextFormat(QDate(2026, 12, 6)).fontWeight(), QFont::Bold);
    // The legend has an entry per slice only, under its caption.
    EXPECT_EQ(month->panel->pie->LegendEntries(), (QStringList{"Power", "Generator"}));
    EXPECT_EQ(month->panel->pie->legendCaption->text(), "Mode");

    // Paged to an empty month: the December pie is still in the panel, hidden, and must not
    // be saved for February.
    const QSize size = month->size(); // neither grows nor moves its buttons
    month->MonthView1->setCurrentPage(2027, 2);
    EXPECT_EQ(month->size(), size);
    EXPECT_EQ(month->panel->lblPieStatus->text(), "No data for February 2027");
    EXPECT_FALSE(month->panel->pie->isVisible());
    EXPECT_EQ(month->panel->lblUsageTime->text(), "");
    EXPECT_FALSE(month->panel->cmdSaveAsImage->isEnabled());
    month->cmdSaveAsImage_Click();
    EXPECT_TRUE(suggestions.empty());

    // Back on December, Save writes a real JPEG of the pie into a new images folder.
    month->MonthView1->setCurrentPage(2026, 12);
    EXPECT_TRUE(month->panel->pie->isVisible());
    EXPECT_EQ(month->panel->lblPieStatus->text(), "");
    ASSERT_FALSE(std::filesystem::exists(context.folders.ImagesFolder()));
    month->cmdSaveAsImage_Click();
    const std::string name =
        BuildFileLabel(FileLabelKind::DA, {"Bob", "KVZ3", "1234"}, clock.Now()) + ".jpg";
    EXPECT_EQ(suggestions, std::vector{context.folders.ImagesFolder() / name});
    EXPECT_TRUE(prompts.shown().empty());
    const QImage saved(QString::fromStdString(suggestions.at(0).string()), "JPEG");
    EXPECT_EQ(saved.size(), month->panel->pie->size());
    const auto ppm = dir / "check.ppm";
    ASSERT_EQ(test::RunCommand("djpeg -pnm -outfile " + test::ShellQuoted(ppm) + " " +
                               test::ShellQuoted(suggestions[0]))
                  .exitCode,
              0);
    EXPECT_EQ(QImage(QString::fromStdString(ppm.string())).size(), month->panel->pie->size());
    month->cmdOpenImageFolder_Click();
    EXPECT_EQ(opened, std::vector{context.folders.ImagesFolder()});
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
    EXPECT_EQ(Slices(*day->panel), QStringList{"Transmitter 61 #8bba00"});
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
        for (const QLabel* entry : window->panel->pie->findChildren<QLabel*>()) {
            if (entry == caption || entry->text().isEmpty() || entry->parent() != caption->parent())
                continue;
            // Right under the caption, not half a window away.
            EXPECT_LT(entry->y() - caption->geometry().bottom(), 3 * caption->height())
                << entry->text().toStdString();
        }
        delete window;
    }
}

TEST_F(ChartWindowTest, TheDaysImageIsNamedAfterTheDayAndFailuresAreTold) {
    Write({RecordsOnDay("051226", '1', 30)});
    frmPieByDayMode* empty = windows.ShowDay(7, 12, 2026, nullptr);
    EXPECT_EQ(empty->panel->lblPieStatus->text(), "No data for chosen day");
    EXPECT_FALSE(empty->panel->pie->isVisible());
    EXPECT_FALSE(empty->panel->cmdSaveAsImage->isEnabled());
    delete empty;

    frmPieByDayMode* day = windows.ShowDay(5, 12, 2026, nullptr);
    EXPECT_EQ(day->dayText() + day->yearText(), "0526");
    day->cmdSaveAsImage_Click();
    ASSERT_EQ(suggestions.size(), 1u);
    EXPECT_NE(suggestions[0].filename().string().find("[on 05-12-26]"), std::string::npos);
    EXPECT_TRUE(std::filesystem::exists(suggestions[0]));

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
    day->cmdSaveAsImage_Click();
    EXPECT_EQ(prompts.shown().size(), 1u);
}
