#include "charts/frm_pie_by_day_mode.h"
#include "charts/frm_pie_by_month_mode2.h"
#include "support/scripted_prompts.h"
#include "support/temp_dir.h"
#include "support/test_environment.h"
#include "viewer/frm_view_data.h"
#include "viewer/record_fixtures.h"

#include <QHeaderView>
#include <QRegularExpression>
#include <QTextCharFormat>
#include <gtest/gtest.h>

using namespace tarvik;
using tarvik::test::RecordLine;
using tarvik::test::RecordsOnDay;

namespace {

class ViewerWindowTest : public ::testing::Test {
protected:
    void Write(std::initializer_list<std::vector<std::string>> groups,
               const std::string& identity = "Bob,KVZ3,1234") {
        test::WriteDataFile(dir / "log.lgd", identity, test::Concatenated(groups));
    }

    frmViewData& Open() {
        ViewerContext context{{dir.path(), "log.lgd"}, {dir.path(), dir.path()}, prompts, clock};
        context.releaseCurrentFile = [this] { ++releases; };
        context.desktop.openDocument = [this](const std::filesystem::path& document) {
            documents.push_back(document);
            return viewerOpens;
        };
        context.desktop.fontsFolder = test::ProgramsFolder() / "Fonts";
        viewer = OpenDataViewer(std::move(context), nullptr);
        return *viewer;
    }

    void TearDown() override { delete viewer.data(); }

    // The rows listed (or "hidden" for the no-data text), then "1 Hrs", "2 Mins", "5 Secs" as
    // "1:2:5" for Power, Radio, Generator or Transmitter, Sweep and the total.
    std::string Shown() {
        static const QRegularExpression kParts("^(\\d+) Hrs:(\\d+) Mins:(\\d+) Secs$");
        std::string shown =
            viewer->TableShown() ? std::to_string(viewer->records().rowCount()) : "hidden";
        for (const auto& row :
             {viewer->lblPowerTotal, viewer->lblRadioTotal, viewer->lblTransmitterTotal,
              viewer->lblSweepTotal, viewer->lblUsageTime}) {
            QString text =
                row.hours->text() + ":" + row.minutes->text() + ":" + row.seconds->text();
            shown += " " + text.replace(kParts, "\\1:\\2:\\3").toStdString();
        }
        return shown;
    }

    std::vector<std::string> Column(int column) {
        std::vector<std::string> texts;
        for (int row = 0; row < viewer->records().rowCount(); ++row)
            texts.push_back(viewer->records().CellTextAt(row, column));
        return texts;
    }

    bool IsBold(int year, int month, int day) {
        const QTextCharFormat format = viewer->MonthView1->dateTextFormat(QDate(year, month, day));
        return format.fontWeight() == QFont::Bold;
    }

    test::TempDir dir;
    test::ScriptedPrompts prompts;
    FixedClock clock{{2026, 12, 5, 10, 0, 0}};
    QPointer<frmViewData> viewer;
    int releases = 0;
    std::vector<std::filesystem::path> documents; // shown in the PDF viewer
    bool viewerOpens = true;
};

using Texts = std::vector<std::string>;

} // namespace

TEST_F(ViewerWindowTest, OpensOnAllRecordsThenDaysAndMonthsAreChosenOnTheCalendar) {
    Write({RecordsOnDay("171113", '2', 3725), RecordsOnDay("031213", '1', 5),
           RecordsOnDay("100114", '3', 7)},
          "Ann,NVZ3,77");
    frmViewData& v = Open();
    // The calendar opens on the first record's month with its days bold.
    EXPECT_EQ(v.MonthView1->monthShown() * 10000 + v.MonthView1->yearShown(), 112013);
    EXPECT_TRUE(IsBold(2013, 11, 17));
    EXPECT_FALSE(IsBold(2013, 11, 18));
    EXPECT_GT(releases, 0); // file #1 is released before every reading
    EXPECT_EQ(Shown(), "3737 0:0:0 0:0:5 1:2:5 0:0:7 1:2:17");
    EXPECT_EQ((v.txtUser->text() + v.txtModel->text() + v.txtSerial->text()), "AnnNVZ377");
    EXPECT_EQ(v.lblModeKeyGenLetter->text() + v.lblModeKeyGenWord->text(), "TTransmitter");
    EXPECT_EQ(Column(kModeColumn).front(), "T");

    EXPECT_FALSE(v.MonthView1->isEnabled());
    v.optView[1]->click();
    EXPECT_TRUE(v.MonthView1->isEnabled());
    EXPECT_EQ(v.lblNoData->text(), "No Data for this Selection");
    EXPECT_EQ(Shown(), "hidden 0:0:0 0:0:5 1:2:5 0:0:7 1:2:17"); // the earlier totals stay
    v.MonthView1_DateClick(QDate(2013, 11, 17));
    EXPECT_EQ(Shown(), "3725 0:0:0 0:0:0 1:2:5 0:0:0 1:2:5");
    v.MonthView1_DateClick(QDate(2013, 11, 18));
    EXPECT_EQ(Shown(), "hidden 0:0:0 0:0:0 0:0:0 0:0:0 0:0:0");
    EXPECT_EQ(v.records().rowCount(), 0);

    // Paging to a month of another year lists that month and marks its days.
    v.MonthView1->setCurrentPage(2014, 1);
    EXPECT_EQ(Shown(), "7 0:0:0 0:0:0 0:0:0 0:0:7 0:0:7");
    EXPECT_TRUE(IsBold(2014, 1, 10));
    EXPECT_FALSE(IsBold(2013, 11, 17));
    v.MonthView1->setCurrentPage(2013, 12);
    EXPECT_EQ(Shown(), "5 0:0:0 0:0:5 0:0:0 0:0:0 0:0:5");
    EXPECT_TRUE(IsBold(2013, 12, 3));

    v.optView[0]->click();
    EXPECT_FALSE(v.MonthView1->isEnabled());
    EXPECT_EQ(v.records().rowCount(), 3737);
}

TEST_F(ViewerWindowTest, RowsInModeColoursAndHeaderClicksSortThatRefillsKeep) {
    Write({{RecordLine({.date = "311213", .mode = '1', .depth = "100", .selfTest = 'P'}),
            RecordLine({.date = "010114", .mode = '8', .depth = "007"}),
            RecordLine({.date = "010114", .time = "150000", .mode = '3', .depth = "025"})}});
    frmViewData& v = Open();
    const auto cell = [&](int row, int column, int role) {
        return v.records().data(v.records().index(row, column), role);
    };
    EXPECT_EQ(cell(0, kSelfTestColumn, Qt::ForegroundRole).value<QColor>(), QColor(0, 255, 0));
    EXPECT_TRUE(cell(0, kDateColumn, Qt::TextAlignmentRole).value<Qt::Alignment>() & Qt::AlignLeft);
    EXPECT_EQ(v.records().headerData(kSignalColumn, Qt::Horizontal, Qt::DisplayRole).toString(),
              "Signal Strength");
    // Mode 8 is listed with its own character, counted nowhere.
    EXPECT_EQ(cell(1, kModeColumn, Qt::DisplayRole).toString(), "8");
    EXPECT_EQ(Shown(), "3 0:0:0 0:0:1 0:0:0 0:0:1 0:0:2");

    QHeaderView* header = v.lvwList->horizontalHeader();
    EXPECT_EQ(header->length(), v.lvwList->viewport()->width()); // no bare strip at its end
    const auto image = [&](int column) {
        return v.records().headerData(column, Qt::Horizontal, Qt::DecorationRole).isValid();
    };
    EXPECT_TRUE(image(kDateColumn));
    emit header->sectionClicked(kDateColumn); // first click on Date: descending
    EXPECT_EQ(Column(kDepthColumn), (Texts{"025", "007", "100"}));
    EXPECT_TRUE(v.lvwList->updatesEnabled());
    emit header->sectionClicked(kDepthColumn);
    EXPECT_EQ(Column(kDepthColumn), (Texts{"007", "025", "100"}));
    emit header->sectionClicked(kDepthColumn);
    EXPECT_EQ(Column(kDepthColumn), (Texts{"100", "025", "007"}));
    EXPECT_FALSE(image(kDateColumn));
    EXPECT_TRUE(image(kDepthColumn));
    EXPECT_EQ(Column(kDateColumn).front(), "31/12/13   14:03:09"); // rows keep their cells

    // A new selection comes in the order the header shows: the user's last choice holds.
    v.optView[1]->click();
    v.MonthView1->setCurrentPage(2014, 1);
    EXPECT_EQ(Column(kDepthColumn), (Texts{"025", "007"}));
    v.optView[0]->click();
    EXPECT_EQ(Column(kDepthColumn), (Texts{"100", "025", "007"}));

    // The current cell follows its record through a sort.
    v.lvwList->setCurrentIndex(v.records().index(0, kDepthColumn)); // depth 100
    v.lvwList_ColumnClick(kDepthColumn);
    EXPECT_EQ(v.lvwList->currentIndex().row(), 2);
    EXPECT_EQ(v.records().CellTextAt(v.lvwList->currentIndex().row(), kDepthColumn), "100");
}

TEST_F(ViewerWindowTest, ThePictureAndReportButtonsShowTheSelection) {
    Write({RecordsOnDay("051226", '0', 60), RecordsOnDay("061226", '1', 3600)});
    frmViewData& v = Open(); // the report of All: see the main window's tests
    v.Picture2->click();
    frmPieByMonthMode2* month = v.chartWindows().monthWindow();
    ASSERT_NE(month, nullptr);
    EXPECT_EQ(month->shownMonth() * 100 + month->shownYear(), 1226);
    EXPECT_EQ(month->panel->lblUsageTime->text(), "1 Hrs 1 Mins 0 Secs");
    v.Picture2->click();
    EXPECT_EQ(v.chartWindows().monthWindow(), month); // brought to the front, not opened again

    v.optView[1]->click(); // no day chosen yet
    v.cmdReport->click();
    v.MonthView1_DateClick(QDate(2026, 12, 7)); // a day without records
    v.cmdReport->click();
    EXPECT_EQ(prompts.Texts(), std::vector<std::string>(2, "No Data for this Selection"));

    viewerOpens = false;
    v.MonthView1->setSelectedDate(QDate(2026, 12, 6));
    v.MonthView1_DateClick(QDate(2026, 12, 6));
    v.cmdReport->click();
    ASSERT_EQ(documents.size(), 1u);
    EXPECT_EQ(documents[0],
              dir.path() / "tarvik" / "reports" / "1234 KVZ3 Bob [Day 06-12-26] [Report].pdf");
    EXPECT_TRUE(std::filesystem::exists(documents[0]));
    EXPECT_EQ(prompts.Texts().back(), "The report was written to " + documents[0].string() +
                                          ", but no PDF viewer could be opened to show it.");
    v.Picture2->click();
    frmPieByDayMode* day = v.chartWindows().dayWindow();
    ASSERT_NE(day, nullptr);
    EXPECT_EQ(day->panel->lblUsageTime->text(), "1 Hrs 0 Mins 0 Secs");
    EXPECT_EQ(day->parentWidget(), &v);
}
