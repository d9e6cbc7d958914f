#include "charts/frm_pie_by_day_mode.h"
#include "charts/frm_pie_by_month_mode2.h"
#include "support/scripted_prompts.h"
#include "support/temp_dir.h"
#include "support/test_environment.h"
#include "viewer/frm_view_data.h"
#include "viewer/record_fixtures.h"

#include <QHeaderView>
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

    ViewerContext Context() {
        return {{dir.path(), "log.lgd"}, {dir.path(), dir.path()}, prompts, clock};
    }

    frmViewData& Open() {
        ViewerContext context = Context();
        context.releaseCurrentFile = [this] { ++releases; };
        context.desktop.openDocument = [this](const std::filesystem::path& document) {
            documents.push_back(document);
            return viewerOpens;
        };
        context.desktop.fontsFolder = test::ProgramsFolder() / "Fonts";
        viewer = OpenDataViewer(std::move(context), nullptr, [this] { ++closings; });
        return *viewer;
    }

    void TearDown() override { delete viewer.data(); }

    // The hours, minutes and seconds labels of one usage row.
    static std::string Usage(const frmViewData::UsageRow& row) {
        return (row.hours->text() + "," + row.minutes->text() + "," + row.seconds->text())
            .toStdString();
    }

    std::vector<std::string> Column(int column) {
        std::vector<std::string> texts;
        for (int row = 0; row < viewer->records().rowCount(); ++row)
            texts.push_back(viewer->records().CellTextAt(row, column));
        return texts;
    }

    QVariant Cell(int row, int column, int role) {
        return viewer->records().data(viewer->records().index(row, column), role);
    }

    test::TempDir dir;
    test::ScriptedPrompts prompts;
    FixedClock clock{{2026, 12, 5, 10, 0, 0}};
    QPointer<frmViewData> viewer;
    int releases = 0;
    int closings = 0;
    std::vector<std::filesystem::path> documents; // shown in the PDF viewer
    bool viewerOpens = true;
};

bool IsBold(const QCalendarWidget& calendar, int year, int month, int day) {
    return calendar.dateTextFormat(QDate(year, month, day)).fontWeight() == QFont::Bold;
}

using Texts = std::vector<std::string>;

} // namespace

TEST_F(ViewerWindowTest, OpensOnAllRecordsAndTheFirstRecordsMonth) {
    Write({RecordsOnDay("171113", '2', 3725), RecordsOnDay("031213", '2', 5)}, "Ann,NVZ3,77");
    frmViewData& v = Open();
    EXPECT_EQ(v.windowTitle(), "View data");
    EXPECT_TRUE(v.optView[0]->isChecked());
    EXPECT_FALSE(v.MonthView1->isEnabled());
    EXPECT_EQ(v.MonthView1->monthShown() * 10000 + v.MonthView1->yearShown(), 112013);
    EXPECT_TRUE(IsBold(*v.MonthView1, 2013, 11, 17));
    EXPECT_FALSE(IsBold(*v.MonthView1, 2013, 11, 18));
    EXPECT_GT(releases, 0); // file #1 is released before every reading

    EXPECT_TRUE(v.TableShown());
    EXPECT_EQ(v.records().rowCount(), 3730);
    EXPECT_EQ((v.txtUser->text() + v.txtModel->text() + v.txtSerial->text()), "AnnNVZ377");
    EXPECT_EQ(v.lblModeKeyGenLetter->text() + v.lblModeKeyGenWord->text(), "TTransmitter");
    EXPECT_EQ(Usage(v.lblTransmitterTotal), "1 Hrs,2 Mins,10 Secs");
    EXPECT_EQ(Usage(v.lblPowerTotal), "0 Hrs,0 Mins,0 Secs");
    EXPECT_EQ(Usage(v.lblSweepTotal), "0 Hrs,0 Mins,0 Secs");
    EXPECT_EQ(Usage(v.lblUsageTime), "1 Hrs,2 Mins,10 Secs");
    EXPECT_EQ(Column(kModeColumn).front(), "T");
}

TEST_F(ViewerWindowTest, DaysAndMonthsAreChosenOnTheCalendar) {
    Write({RecordsOnDay("051226", '0', 60), RecordsOnDay("061226", '1', 3600),
           RecordsOnDay("100127", '3', 7)});
    frmViewData& v = Open();
    EXPECT_EQ(v.lblModeKeyGenLetter->text() + v.lblModeKeyGenWord->text(), "GGenerator");

    v.optView[1]->click();
    EXPECT_TRUE(v.MonthView1->isEnabled());
    EXPECT_FALSE(v.TableShown());
    EXPECT_EQ(v.lblNoData->text(), "No Data for this Selection");
    EXPECT_EQ(Usage(v.lblUsageTime), "1 Hrs,1 Mins,7 Secs"); // the earlier totals stay

    v.MonthView1_DateClick(QDate(2026, 12, 5));
    EXPECT_TRUE(v.TableShown());
    EXPECT_EQ(v.records().rowCount(), 60);
    EXPECT_EQ(Usage(v.lblPowerTotal) + "|" + Usage(v.lblRadioTotal),
              "0 Hrs,1 Mins,0 Secs|0 Hrs,0 Mins,0 Secs");

    v.MonthView1_DateClick(QDate(2026, 12, 7));
    EXPECT_FALSE(v.TableShown());
    EXPECT_EQ(v.records().rowCount(), 0);
    EXPECT_EQ(Usage(v.lblUsageTime), "0 Hrs,0 Mins,0 Secs");

    // Paging to a month of another year lists that month and marks its days.
    v.MonthView1->setCurrentPage(2027, 1);
    EXPECT_TRUE(v.TableShown());
    EXPECT_EQ(v.records().rowCount(), 7);
    EXPECT_EQ(Usage(v.lblSweepTotal), "0 Hrs,0 Mins,7 Secs");
    EXPECT_TRUE(IsBold(*v.MonthView1, 2027, 1, 10));
    EXPECT_FALSE(IsBold(*v.MonthView1, 2026, 12, 5));
    v.MonthView1->setCurrentPage(2026, 12);
    EXPECT_EQ(v.records().rowCount(), 3660);
    EXPECT_EQ(Usage(v.lblRadioTotal), "1 Hrs,0 Mins,0 Secs");
    EXPECT_TRUE(IsBold(*v.MonthView1, 2026, 12, 6));

    v.optView[0]->click();
    EXPECT_FALSE(v.MonthView1->isEnabled());
    EXPECT_EQ(v.records().rowCount(), 3667);
}

TEST_F(ViewerWindowTest, HeaderClicksSortThroughKeysAndRefillsKeepTheChosenOrder) {
    Write({{RecordLine({.date = "311213", .depth = "100"}),
            RecordLine({.date = "010114", .depth = "007"}),
            RecordLine({.date = "010114", .time = "150000", .depth = "025"})}});
    frmViewData& v = Open();
    QHeaderView* header = v.lvwList->horizontalHeader();
    const auto image = [&](int column) {
        return v.records().headerData(column, Qt::Horizontal, Qt::DecorationRole).isValid();
    };
    EXPECT_TRUE(image(kDateColumn));

    emit header->sectionClicked(kDateColumn); // first click on Date: descending
    EXPECT_EQ(Column(kDepthColumn), (Texts{"025", "007", "100"}));
    EXPECT_EQ(v.records().header().ImageOf(kDateColumn), SortHeaderState::Image::Desc);
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
    EXPECT_EQ(v.records().header().ImageOf(kDepthColumn), SortHeaderState::Image::Desc);

    // The current cell follows its record through a sort.
    v.lvwList->setCurrentIndex(v.records().index(0, kDepthColumn)); // depth 100
    v.lvwList_ColumnClick(kDepthColumn);
    EXPECT_EQ(v.lvwList->currentIndex().row(), 2);
    EXPECT_EQ(v.records().CellTextAt(v.lvwList->currentIndex().row(), kDepthColumn), "100");
}

TEST_F(ViewerWindowTest, RowsAreDrawnInTheModeColourWithTheSelfTestMarked) {
    Write({{RecordLine({.mode = '1', .selfTest = 'P'}), RecordLine({.mode = '3', .selfTest = 'F'}),
            RecordLine({.mode = '8', .selfTest = 'G'})}});
    frmViewData& v = Open();
    const auto colour = [&](int row, int column) {
        return Cell(row, column, Qt::ForegroundRole).value<QColor>();
    };
    EXPECT_EQ(Cell(0, kSelfTestColumn, Qt::DisplayRole).toString(), "* P *");
    EXPECT_EQ(colour(0, kSelfTestColumn), QColor(0, 255, 0));
    EXPECT_EQ(colour(0, kDateColumn), QColor(139, 186, 0));
    EXPECT_EQ(colour(1, kSelfTestColumn), QColor(255, 0, 0));
    EXPECT_EQ(colour(1, kMeasurementColumn), QColor(175, 216, 248));
    // Listed with its own character, counted nowhere.
    EXPECT_EQ(Cell(2, kModeColumn, Qt::DisplayRole).toString(), "8");
    EXPECT_EQ(Usage(v.lblUsageTime), "0 Hrs,0 Mins,2 Secs");
    EXPECT_TRUE(Cell(0, kDateColumn, Qt::TextAlignmentRole).value<Qt::Alignment>() & Qt::AlignLeft);
    EXPECT_EQ(v.records().headerData(kSignalColumn, Qt::Horizontal, Qt::DisplayRole).toString(),
              "Signal Strength");
}

TEST_F(ViewerWindowTest, ThePictureButtonOpensOneMonthOrOneDayChart) {
    Write({RecordsOnDay("051226", '0', 5), RecordsOnDay("200127", '1', 4)});
    frmViewData& v = Open();
    v.Picture2->click();
    frmPieByMonthMode2* month = v.chartWindows().monthWindow();
    ASSERT_NE(month, nullptr);
    EXPECT_EQ(month->shownMonth() * 100 + month->shownYear(), 1226);
    EXPECT_EQ(month->panel->lblUsageTime->text(), "0 Hrs 0 Mins 5 Secs");
    v.Picture2->click();
    EXPECT_EQ(v.chartWindows().monthWindow(), month); // brought to the front, not opened again

    v.optView[1]->click();
    v.MonthView1->setCurrentPage(2027, 1);
    v.MonthView1->setSelectedDate(QDate(2027, 1, 20));
    v.Picture2->click();
    frmPieByDayMode* day = v.chartWindows().dayWindow();
    ASSERT_NE(day, nullptr);
    EXPECT_EQ(day->panel->lblUsageTime->text(), "0 Hrs 0 Mins 4 Secs");
    EXPECT_EQ(day->parentWidget(), &v);
}

TEST_F(ViewerWindowTest, TheReportButtonWritesTheSelectionShownAndOpensIt) {
    Write({RecordsOnDay("051226", '0', 60), RecordsOnDay("061226", '1', 3600)});
    frmViewData& v = Open(); // the report of All: see the main window's tests
    const auto reports = dir.path() / "tarvik" / "reports";
    v.optView[1]->click(); // no day chosen yet
    v.cmdReport->click();
    v.MonthView1_DateClick(QDate(2026, 12, 7)); // a day without records
    v.cmdReport->click();
    EXPECT_EQ(prompts.Texts(), std::vector<std::string>(2, "No Data for this Selection"));
    EXPECT_TRUE(documents.empty());

    viewerOpens = false;
    v.MonthView1_DateClick(QDate(2026, 12, 6));
    v.cmdReport->click();
    ASSERT_EQ(documents.size(), 1u);
    EXPECT_EQ(documents[0], reports / "1234 KVZ3 Bob [Day 06-12-26] [Report].pdf");
    EXPECT_TRUE(std::filesystem::exists(documents[0]));
    EXPECT_EQ(prompts.Texts().back(), "The report was written to " + documents[0].string() +
                                          ", but no PDF viewer could be opened to show it.");
}

TEST_F(ViewerWindowTest, AnOpenViewerIsOnlyBroughtForwardAndClosingTellsTheMainWindow) {
    Write({RecordsOnDay("051226", '0', 5)});
    QPointer<frmViewData> open;
    frmViewData* first = OpenOrRaiseDataViewer(open, Context(), nullptr);
    Write({RecordsOnDay("051226", '0', 9)});
    EXPECT_EQ(OpenOrRaiseDataViewer(open, Context(), nullptr), first);
    EXPECT_EQ(first->records().rowCount(), 5); // nothing was read again
    first->close();
    delete first;
    frmViewData* second = OpenOrRaiseDataViewer(open, Context(), nullptr);
    EXPECT_EQ(second->records().rowCount(), 9);
    delete second;
    Open().close();
    EXPECT_EQ(closings, 1);
}
