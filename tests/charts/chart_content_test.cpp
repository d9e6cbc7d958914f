#include "charts/chart_content.h"
#include "support/temp_dir.h"
#include "viewer/record_fixtures.h"

#include <gtest/gtest.h>

using namespace tarvik;
using tarvik::test::RecordsOnDay;
using tarvik::test::TempDir;
using tarvik::test::WriteDataFile;

namespace {
class ChartContentTest : public ::testing::Test {
protected:
    void Write(std::initializer_list<std::vector<std::string>> groups,
               const std::string& identity = "Bob Smith,NVZ3,A1234") {
        std::vector<std::string> lines;
        for (const auto& group : groups)
            lines.insert(lines.end(), group.begin(), group.end());
        WriteDataFile(file, identity, lines);
    }
    TempDir dir;
    std::filesystem::path file = dir / "log.lgd";
};
} // namespace

TEST_F(ChartContentTest, OneDayOfAMonthIsTitledWithTheMonthName) {
    Write({RecordsOnDay("051226", '0', 30), RecordsOnDay("051226", '2', 3631)});
    const ChartContent chart = MonthChart(LoadMonthRecords(file, 12, 26), 12, 26);
    ASSERT_TRUE(chart.hasData);
    EXPECT_EQ(chart.status, "");
    EXPECT_EQ(chart.title, "Locator NVZ3, Serial no. A1234. User: Bob Smith\r\n"
                           "Usage by Mode for December 2026");
    EXPECT_EQ(chart.usageTime, "1 Hrs 1 Mins 1 Secs");
    ASSERT_EQ(chart.slices.size(), 2u);
    EXPECT_EQ(chart.slices[0].label, "Power");
    EXPECT_EQ(chart.slices[0].seconds, 30u);
    EXPECT_EQ(chart.slices[0].colour, (Rgb{175, 216, 248}));
    // Mode "2" is the generator in the month chart whatever the model.
    EXPECT_EQ(chart.slices[1].label, "Generator");
    EXPECT_EQ(chart.slices[1].colour, (Rgb{139, 186, 0}));
}

TEST_F(ChartContentTest, SeveralDaysAreTitledFirstToLastDate) {
    Write({RecordsOnDay("011226", '1', 2), RecordsOnDay("171226", '3', 3),
           RecordsOnDay("180127", '3', 3)});
    const ChartContent chart = MonthChart(LoadMonthRecords(file, 12, 26), 12, 26);
    EXPECT_NE(chart.title.find("\r\nUsage by Mode for 01/12/26 to 17/12/26"), std::string::npos);
    ASSERT_EQ(chart.slices.size(), 2u);
    EXPECT_EQ(chart.slices[0].label, "Radio");
    EXPECT_EQ(chart.slices[0].colour, (Rgb{246, 189, 15}));
    EXPECT_EQ(chart.slices[1].label, "Sweep");
    EXPECT_EQ(chart.slices[1].colour, (Rgb{255, 142, 70}));
    EXPECT_EQ(chart.usageTime, "0 Hrs 0 Mins 5 Secs");
}

TEST_F(ChartContentTest, AnEmptyMonthSaysSoWithItsName) {
    Write({RecordsOnDay("051226", '0', 3)});
    const ChartContent chart = MonthChart(LoadMonthRecords(file, 11, 26), 11, 26);
    EXPECT_FALSE(chart.hasData);
    EXPECT_EQ(chart.status, "No data for November 2026");
    EXPECT_TRUE(chart.slices.empty());
    EXPECT_EQ(MonthAndYear(1, 5), "January 2005");
}

TEST_F(ChartContentTest, TheDayChartCallsModeTwoTheTransmitter) {
    Write({RecordsOnDay("041226", '0', 9), RecordsOnDay("051226", '2', 60),
           RecordsOnDay("051226", '1', 3600)},
          "Ann,KVZ3,9");
    const ChartContent chart = DayChart(LoadDayRecords(file, 5, 12, 26));
    EXPECT_EQ(chart.title, "Locator KVZ3, Serial no. 9. User: Ann\r\nUsage by Mode for 05/12/26");
    ASSERT_EQ(chart.slices.size(), 2u);
    EXPECT_EQ(chart.slices[0].label, "Radio");
    EXPECT_EQ(chart.slices[1].label, "Transmitter");
    EXPECT_EQ(chart.slices[1].seconds, 60u);
    EXPECT_EQ(chart.usageTime, "1 Hrs 1 Mins 0 Secs");
    EXPECT_EQ(DayChart(LoadDayRecords(file, 6, 12, 26)).status, "No data for chosen day");
}

TEST_F(ChartContentTest, ADayOfUnknownModesDrawsAnEmptyPie) {
    Write({RecordsOnDay("051226", '9', 5)});
    const ChartContent chart = DayChart(LoadDayRecords(file, 5, 12, 26));
    EXPECT_TRUE(chart.hasData);
    EXPECT_TRUE(chart.slices.empty());
    EXPECT_EQ(chart.usageTime, "0 Hrs 0 Mins 0 Secs");
}
