#include "charts/chart_content.h"
#include "support/temp_dir.h"
#include "viewer/record_fixtures.h"

#include <gtest/gtest.h>

using namespace tarvik;
using tarvik::test::RecordsOnDay;

namespace {

struct Slice {
    std::string label;
    unsigned seconds;
    Rgb colour;
    bool operator==(const Slice&) const = default;
};

void PrintTo(const Slice& s, std::ostream* out) {
    *out << s.label << " " << s.seconds << "s";
}

// A day (day > 0) or a month (day 0) of the file with the given record groups.
ChartContent Chart(const std::vector<std::vector<std::string>>& groups, int day, int month,
                   int year, const std::string& identity = "Bob Smith,NVZ3,A1234") {
    test::TempDir dir;
    test::WriteDataFile(dir / "log.lgd", identity, test::Concatenated(groups));
    return day ? DayChart(LoadDayRecords(dir / "log.lgd", day, month, year))
               : MonthChart(LoadMonthRecords(dir / "log.lgd", month, year), month, year);
}

std::vector<Slice> Slices(const ChartContent& chart) {
    std::vector<Slice> slices;
    for (const auto& s : chart.slices)
        slices.push_back({s.label, static_cast<unsigned>(s.seconds), s.colour});
    return slices;
}

const Rgb kPower{175, 216, 248}, kRadio{246, 189, 15}, kTwo{139, 186, 0}, kSweep{255, 142, 70};

} // namespace

TEST(ChartContent, TitlesSlicesColoursAndTotalsOfMonthsAndDays) {
    // One day of a month: titled with the month's name; mode 2 is the generator whatever the
    // model.
    ChartContent c =
        Chart({RecordsOnDay("051226", '0', 30), RecordsOnDay("051226", '2', 3631)}, 0, 12, 26);
    EXPECT_TRUE(c.hasData);
    EXPECT_EQ(c.status, "");
    EXPECT_EQ(c.title, "Locator NVZ3, Serial no. A1234. User: Bob Smith\r\n"
                       "Usage by Mode for December 2026");
    EXPECT_EQ(c.usageTime, "1 Hrs 1 Mins 1 Secs");
    EXPECT_EQ(Slices(c), (std::vector<Slice>{{"Power", 30, kPower}, {"Generator", 3631, kTwo}}));

    // Several days: first to last date; other months' records left out.
    c = Chart({RecordsOnDay("011226", '1', 2), RecordsOnDay("171226", '3', 3),
               RecordsOnDay("180127", '3', 3)},
              0, 12, 26);
    EXPECT_TRUE(c.title.ends_with("\r\nUsage by Mode for 01/12/26 to 17/12/26"));
    EXPECT_EQ(Slices(c), (std::vector<Slice>{{"Radio", 2, kRadio}, {"Sweep", 3, kSweep}}));
    EXPECT_EQ(c.usageTime, "0 Hrs 0 Mins 5 Secs");

    // The day chart calls mode 2 the transmitter.
    c = Chart({RecordsOnDay("041226", '0', 9), RecordsOnDay("051226", '2', 60),
               RecordsOnDay("051226", '1', 3600)},
              5, 12, 26, "Ann,KVZ3,9");
    EXPECT_EQ(c.title, "Locator KVZ3, Serial no. 9. User: Ann\r\nUsage by Mode for 05/12/26");
    EXPECT_EQ(Slices(c), (std::vector<Slice>{{"Radio", 3600, kRadio}, {"Transmitter", 60, kTwo}}));
    EXPECT_EQ(c.usageTime, "1 Hrs 1 Mins 0 Secs");

    // A day of unknown modes only: an empty pie, not "no data".
    c = Chart({RecordsOnDay("051226", '9', 5)}, 5, 12, 26);
    EXPECT_TRUE(c.hasData);
    EXPECT_TRUE(c.slices.empty());
    EXPECT_EQ(c.usageTime, "0 Hrs 0 Mins 0 Secs");
}

TEST(ChartContent, AMonthOrADayWithoutRecordsSaysSo) {
    const ChartContent month = Chart({RecordsOnDay("051226", '0', 3)}, 0, 11, 26);
    EXPECT_FALSE(month.hasData);
    EXPECT_EQ(month.status, "No data for November 2026");
    EXPECT_TRUE(month.slices.empty());
    EXPECT_EQ(Chart({RecordsOnDay("051226", '0', 3)}, 6, 12, 26).status, "No data for chosen day");
    EXPECT_EQ(MonthAndYear(1, 5), "January 2005");
}
