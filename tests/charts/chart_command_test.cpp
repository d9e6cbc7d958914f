#include "charts/chart_content.h"
#include "charts/pie_chart.h"
#include "support/run_command.h"
#include "support/temp_dir.h"
#include "support/test_environment.h"
#include "viewer/record_fixtures.h"

#include <QImage>
#include <algorithm>
#include <gtest/gtest.h>

using namespace tarvik;
using tarvik::test::ShellQuoted;

namespace {

// The mean difference of two pictures of one size in grey levels (JPEG is lossy).
double MeanDifference(const QImage& a, const QImage& b) {
    double sum = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            sum += std::abs(qGray(a.pixel(x, y)) - qGray(b.pixel(x, y)));
    return sum / (a.width() * a.height());
}

} // namespace

TEST(ChartCommand, SummaryTotalsAndTheChartIsTheWindowsPictureAsAJpegOrSaysWhyNot) {
    test::TempDir dir;
    const auto file = dir / "log.lgd";
    test::WriteDataFile(file, "Bob,NVZ3,77",
                        test::Concatenated({test::RecordsOnDay("051226", '0', 3725),
                                            test::RecordsOnDay("061226", '2', 60)}));
    const auto tarvik = [&](const std::string& command, const std::string& options) {
        return test::RunCommand(ShellQuoted(test::ProgramsFolder() / "tarvik") + " " + command +
                                " " + ShellQuoted(file) + " " + options + " 2>&1");
    };
    EXPECT_EQ(tarvik("summary", "").output,
              "Records: 3785\nPower: 1 Hrs 2 Mins 5 Secs\nRadio: 0 Hrs 0 Mins 0 Secs\n"
              "Transmitter: 0 Hrs 1 Mins 0 Secs\nSweep: 0 Hrs 0 Mins 0 Secs\n"
              "Total: 1 Hrs 3 Mins 5 Secs\n");
    EXPECT_TRUE(tarvik("summary", "--day 06/12/26").output.starts_with("Records: 60\nP"));
    EXPECT_EQ(tarvik("summary", "--month 13/26").exitCode, 2);

    const auto output = dir / "images" / "month.jpg";
    const test::CommandResult run = tarvik("chart", "--month 12/26 -o " + ShellQuoted(output));
    ASSERT_EQ(run.exitCode, 0) << run.output;
    EXPECT_EQ(run.output, output.string() + "\n");
    const QImage written(QString::fromStdString(output.string()), "JPEG");
    ASSERT_EQ(written.size(), QSize(kChartWidth, kChartHeight));
    const QImage expected = RenderPieChart(MonthChart(LoadMonthRecords(file, 12, 26), 12, 26),
                                           QSize(kChartWidth, kChartHeight));
    EXPECT_LT(MeanDifference(written, expected), 4.0);
    // Power takes most of the pie: a large area in its colour. Titles are shown as rich text.
    const QImage rgb = expected.convertToFormat(QImage::Format_ARGB32);
    const auto* pixels = reinterpret_cast<const QRgb*>(rgb.constBits());
    EXPECT_GT(std::count(pixels, pixels + rgb.width() * rgb.height(), qRgb(175, 216, 248)), 5000);
    EXPECT_EQ(ChartTitleHtml("Locator <KVZ3>\r\nUsage"), "Locator &lt;KVZ3&gt;<br>Usage");

    const auto day = dir / "day.jpg";
    const test::CommandResult none = tarvik("chart", "--day 07/12/26 -o " + ShellQuoted(day));
    EXPECT_EQ(none.exitCode, 1);
    EXPECT_NE(none.output.find("No data for chosen day"), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(day));
    EXPECT_EQ(tarvik("chart", "--day 31/04/26 -o x.jpg").exitCode, 2);
}
