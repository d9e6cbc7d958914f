#include "charts/chart_content.h"
#include "charts/pie_chart.h"
#include "support/run_command.h"
#include "support/temp_dir.h"
#include "support/test_environment.h"
#include "viewer/record_fixtures.h"
#include "viewer/selection_option.h"

#include <QImage>
#include <algorithm>
#include <gtest/gtest.h>

using namespace tarvik;
using tarvik::test::ShellQuoted;

namespace {

class ChartCommandTest : public ::testing::Test {
protected:
    ChartCommandTest() {
        std::vector<std::string> lines = test::RecordsOnDay("051226", '0', 3725);
        const auto more = test::RecordsOnDay("061226", '2', 60);
        lines.insert(lines.end(), more.begin(), more.end());
        test::WriteDataFile(file, "Bob,NVZ3,77", lines);
    }

    // Runs tarvik on the data file; its exit status and what it wrote on stdout and stderr.
    test::CommandResult Tarvik(const std::string& command, const std::string& options) {
        return test::RunCommand(ShellQuoted(test::ProgramsFolder() / "tarvik") + " " + command +
                                " " + ShellQuoted(file) + " " + options + " 2>&1");
    }

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
    EXPECT_EQ(SelectionOptionText(*month), "12/26");
    ASSERT_TRUE(ParseDayOption("29/02/24"));
    EXPECT_EQ(SelectionOptionText(*ParseDayOption("29/02/24")), "29/02/24");
    for (const char* bad : {"", "13/26", "00/26", "1/26", "12-26", "12/26/"})
        EXPECT_FALSE(ParseMonthOption(bad)) << bad;
    for (const char* bad : {"29/02/25", "31/04/26", "00/01/26", "5/12/26", "05/12/2026"})
        EXPECT_FALSE(ParseDayOption(bad)) << bad;
}

TEST_F(ChartCommandTest, SummaryTotalsAllAMonthOrADay) {
    EXPECT_EQ(Tarvik("summary", "").output,
              "Records: 3785\nPower: 1 Hrs 2 Mins 5 Secs\nRadio: 0 Hrs 0 Mins 0 Secs\n"
              "Transmitter: 0 Hrs 1 Mins 0 Secs\nSweep: 0 Hrs 0 Mins 0 Secs\n"
              "Total: 1 Hrs 3 Mins 5 Secs\n");
    EXPECT_TRUE(Tarvik("summary", "--day 06/12/26").output.starts_with("Records: 60\nP"));
    EXPECT_TRUE(Tarvik("summary", "--month 11/26").output.starts_with("Records: 0\n"));
    EXPECT_EQ(Tarvik("summary", "--month 13/26").exitCode, 2);
}

TEST_F(ChartCommandTest, ChartWritesTheWindowsPictureAsAJpegOrSaysWhyNot) {
    const auto output = dir / "images" / "month.jpg";
    const test::CommandResult run = Tarvik("chart", "--month 12/26 -o " + ShellQuoted(output));
    ASSERT_EQ(run.exitCode, 0) << run.output;
    EXPECT_EQ(run.output, output.string() + "\n");
    const QImage written(QString::fromStdString(output.string()), "JPEG");
    ASSERT_EQ(written.size(), QSize(kChartWidth, kChartHeight));
    const QImage expected = RenderPieChart(MonthChart(LoadMonthRecords(file, 12, 26), 12, 26),
                                           QSize(kChartWidth, kChartHeight));
    EXPECT_LT(MeanDifference(written, expected.convertToFormat(QImage::Format_RGB32)), 4.0);
    // Power takes most of the pie: a large area in its colour. Titles are shown as rich text.
    const QImage rgb = expected.convertToFormat(QImage::Format_ARGB32);
    const auto* pixels = reinterpret_cast<const QRgb*>(rgb.constBits());
    EXPECT_GT(std::count(pixels, pixels + rgb.width() * rgb.height(), qRgb(175, 216, 248)), 5000);
    EXPECT_EQ(ChartTitleHtml("Locator <KVZ3>\r\nUsage"), "Locator &lt;KVZ3&gt;<br>Usage");

    const auto day = dir / "day.jpg";
    const test::CommandResult none = Tarvik("chart", "--day 07/12/26 -o " + ShellQuoted(day));
    EXPECT_EQ(none.exitCode, 1);
    EXPECT_NE(none.output.find("No data for chosen day"), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(day));
    EXPECT_EQ(Tarvik("chart", "--day 07/12/26").exitCode, 2);
    EXPECT_EQ(Tarvik("chart", "--day 07/12/26 --month 12/26 -o x.jpg").exitCode, 2);
}
