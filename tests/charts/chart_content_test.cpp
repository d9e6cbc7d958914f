#include "charts/chart_content.h"
#include "support/temp_dir.h"
#include "viewer/record_fixtures.h"

#include <gtest/gtest.h>

using namespace tarvik;
using tarvik::test::RecordsOnDay;

TEST(ChartContent, TitlesSlicesColoursAndTotalsOfMonthsAndDaysOrWhyThereAreNone) {
    // The records of a file; the day (0 for the month's chart) and month of 2026 charted; what
    // the chart shows: "status|title|usage time|label seconds red,green,blue; ..." with "-"
    // for a chart without data and "..." for the title's usual start.
    const std::string usual =
        "Locator NVZ3, Serial no. A1234. User: Bob Smith\r\nUsage by Mode for ";
    const std::tuple<std::vector<std::vector<std::string>>, int, int, std::string> cases[] = {
        // All of one day: the month's name; mode 2 is the generator whatever the model.
        {{RecordsOnDay("051226", '0', 30), RecordsOnDay("051226", '2', 3631)},
         0,
         12,
         "|...December 2026|1 Hrs 1 Mins 1 Secs|Power 30 175,216,248; Generator 3631 139,186,0; "},
        {{RecordsOnDay("011226", '1', 2), RecordsOnDay("171226", '3', 3),
          RecordsOnDay("180127", '3', 3)},
         0,
         12,
         "|...01/12/26 to 17/12/26|0 Hrs 0 Mins 5 Secs|Radio 2 246,189,15; Sweep 3 255,142,70; "},
        {{RecordsOnDay("041226", '0', 9), RecordsOnDay("051226", '2', 60),
          RecordsOnDay("051226", '1', 3600)},
         5,
         12,
         "|...05/12/26|1 Hrs 1 Mins 0 Secs|Radio 3600 246,189,15; Transmitter 60 139,186,0; "},
        {{RecordsOnDay("051226", '0', 3)}, 0, 11, "-No data for November 2026|||"},
        {{RecordsOnDay("051226", '0', 3)}, 6, 12, "-No data for chosen day|||"}};
    for (const auto& [groups, day, month, expected] : cases) {
        test::TempDir dir;
        test::WriteDataFile(dir / "log.lgd", "Bob Smith,NVZ3,A1234", test::Concatenated(groups));
        const ChartContent c =
            day ? DayChart(LoadDayRecords(dir / "log.lgd", day, month, 26))
                : MonthChart(LoadMonthRecords(dir / "log.lgd", month, 26), month, 26);
        std::string shown =
            (c.hasData ? "" : "-") + c.status + "|" +
            (c.title.starts_with(usual) ? "..." + c.title.substr(usual.size()) : c.title) + "|" +
            c.usageTime + "|";
        for (const PieSlice& s : c.slices)
            shown += s.label + " " + std::to_string(s.seconds) + " " +
                     std::to_string(s.colour.red) + "," + std::to_string(s.colour.green) + "," +
                     std::to_string(s.colour.blue) + "; ";
        EXPECT_EQ(shown, expected);
    }
    EXPECT_EQ(MonthAndYear(1, 5), "January 2005");
}
