#include "charts/chart_content.h"
#include "charts/pie_chart.h"
#include "support/temp_dir.h"
#include "support/test_environment.h"
#include "viewer/record_fixtures.h"
#include "viewer/selection_option.h"

#include <QImage>
#include <cstdlib>
#include <gtest/gtest.h>

using namespace tarvik;
using tarvik::test::ReadBytes;
using tarvik::test::RecordsOnDay;

namespace {

class ChartCommandTest : public ::testing::Test {
protected:
    ChartCommandTest() {
        std::vector<std::string> lines = RecordsOnDay("051226", '0', 3725);
        const auto more = RecordsOnDay("061226", '2', 60);
        lines.insert(lines.end(), more.begin(), more.end());
        test::WriteDataFile(file, "Bob,NVZ3,77", lines);
    }

    // Runs the tarvik command; its exit status, with stdout and stderr in files of the folder.
    int Tarvik(const std::string& arguments) {
        const std::string command = "'" + (test::ProgramsFolder() / "tarvik").string() + "' " +
                                    arguments + " >'" + (dir / "out.txt").string() + "' 2>'" +
                                    (dir / "err.txt").string() + "'";
        const int status = std::system(command.c_str());
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    std::string Out() { return ReadBytes(dir / "out.txt"); }
    std::string Err() { return ReadBytes(dir / "err.txt"); }

    test::TempDir dir;
    std::filesystem::path file = dir / "log.lgd";
};

// The mean difference of the colour channels of two pictures of one size (JPEG is lossy).
double MeanDifference(const QImage& a, const QImage& b) {
    double sum = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) {
            const QColor p = a.pixelColor(x, y), q = b.pixelColor(x, y);
            sum += std::abs(p.red() - q.red()) + std::abs(p.green() - q.green()) +
                   std::abs(p.blue() - q.blue());
        }
    return sum / (3.0 * a.width() * a.height());
}

} // namespace

TEST(SelectionOption, ReadsMonthsAndDays) {
    const auto month = ParseMonthOption("12/26");
    ASSERT_TRUE(month);
    EXPECT_EQ(month->day, RecordSelection::kWholeMonth);
    EXPECT_EQ(month->month, 12);
    EXPECT_EQ(month->year, 26);
    const auto day = ParseDayOption("29/02/24");
    ASSERT_TRUE(day);
    EXPECT_EQ(SelectionOptionText(*day), "29/02/24");
    EXPECT_EQ(SelectionOptionText(*month), "12/26");
    for (const char* bad : {"", "13/26", "00/26", "1/26", "12-26", "12/26/"})
        EXPECT_FALSE(ParseMonthOption(bad)) << bad;
    for (const char* bad : {"29/02/25", "31/04/26", "00/01/26", "5/12/26", "05/12/2026"})
        EXPECT_FALSE(ParseDayOption(bad)) << bad;
}

TEST_F(ChartCommandTest, SummaryTotalsAllAMonthOrADay) {
    ASSERT_EQ(Tarvik("summary '" + file.string() + "'"), 0) << Err();
    EXPECT_EQ(Out(), "Records: 3785\nPower: 1 Hrs 2 Mins 5 Secs\nRadio: 0 Hrs 0 Mins 0 Secs\n"
                     "Transmitter: 0 Hrs 1 Mins 0 Secs\nSweep: 0 Hrs 0 Mins 0 Secs\n"
                     "Total: 1 Hrs 3 Mins 5 Secs\n");
    ASSERT_EQ(Tarvik("summary '" + file.string() + "' --day 06/12/26"), 0) << Err();
    EXPECT_EQ(Out().substr(0, 13), "Records: 60\nP");
    ASSERT_EQ(Tarvik("summary '" + file.string() + "' --month 11/26"), 0) << Err();
    EXPECT_EQ(Out().substr(0, 11), "Records: 0\n");
    EXPECT_EQ(Tarvik("summary '" + file.string() + "' --month 13/26"), 2);
    EXPECT_EQ(Tarvik("summary '" + (dir / "missing.lgd").string() + "'"), 1);
    EXPECT_NE(Err().find("cannot be read"), std::string::npos);
}

TEST_F(ChartCommandTest, ChartWritesTheWindowsPictureAsAJpeg) {
    const auto output = dir / "images" / "month.jpg";
    ASSERT_EQ(Tarvik("chart '" + file.string() + "' --month 12/26 -o '" + output.string() + "'"), 0)
        << Err();
    EXPECT_EQ(Out(), output.string() + "\n");
    const QImage written(QString::fromStdString(output.string()), "JPEG");
    ASSERT_EQ(written.size(), QSize(kChartWidth, kChartHeight));
    const QImage expected = RenderPieChart(MonthChart(LoadMonthRecords(file, 12, 26), 12, 26),
                                           QSize(kChartWidth, kChartHeight));
    EXPECT_LT(MeanDifference(written, expected.convertToFormat(QImage::Format_RGB32)), 4.0);
}

TEST_F(ChartCommandTest, ChartFailuresAreToldAndLeaveNoFile) {
    const auto output = dir / "day.jpg";
    EXPECT_EQ(Tarvik("chart '" + file.string() + "' --day 07/12/26 -o '" + output.string() + "'"),
              1);
    EXPECT_NE(Err().find("No data for chosen day"), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(output));
    EXPECT_EQ(Tarvik("chart '" + file.string() + "' --day 07/12/26"), 2);
    EXPECT_EQ(Tarvik("chart '" + file.string() + "' --day 07/12/26 --month 12/26 -o x.jpg"), 2);
}
