#include "support/temp_dir.h"
#include "viewer/duration.h"
#include "viewer/record_fixtures.h"
#include "viewer/record_selection.h"
#include "viewer/usage_summary.h"

#include <gtest/gtest.h>

using namespace tarvik;
using tarvik::test::RecordLine;
using tarvik::test::RecordsOnDay;
using tarvik::test::TempDir;
using tarvik::test::WriteDataFile;

TEST(Duration, SplitsSecondsIntoHoursMinutesAndSeconds) {
    EXPECT_EQ(FormatDuration(3725), "1 Hrs,2 Mins,5 Secs,");
    EXPECT_EQ(FormatDuration(60), "0 Hrs,1 Mins,0 Secs,");
    EXPECT_EQ(FormatDuration(3600), "1 Hrs,0 Mins,0 Secs,");
    EXPECT_EQ(FormatDuration(0), "0 Hrs,0 Mins,0 Secs,");
    EXPECT_EQ(UsageTimeText(3661), "1 Hrs 1 Mins 1 Secs");
    EXPECT_EQ(UsageTimeText(59), "0 Hrs 0 Mins 59 Secs");
    EXPECT_EQ(UsageTimeText(3600), "1 Hrs 0 Mins 0 Secs");
    // A year of daily use runs past a hundred hours; hours are never wrapped.
    EXPECT_EQ(UsageTimeText(400 * 3600 + 59 * 60 + 1), "400 Hrs 59 Mins 1 Secs");
}

namespace {
class SelectionTest : public ::testing::Test {
protected:
    void Write(const std::vector<std::string>& lines, const std::string& identity = "Bob,KVZ3,7") {
        WriteDataFile(file, identity, lines);
    }
    static void Append(std::vector<std::string>& to, const std::vector<std::string>& more) {
        to.insert(to.end(), more.begin(), more.end());
    }
    TempDir dir;
    std::filesystem::path file = dir / "log.lgd";
};
} // namespace

TEST_F(SelectionTest, AllADayAMonthAndAnotherYearSelectTheirRecords) {
    std::vector<std::string> lines;
    Append(lines, RecordsOnDay("301126", '0', 3));
    Append(lines, RecordsOnDay("051226", '1', 4));
    Append(lines, RecordsOnDay("061226", '2', 5));
    Append(lines, RecordsOnDay("051225", '3', 6)); // same day and month, a year earlier
    Write(lines);

    const SelectedRecords all = ReadSelection(file, RecordSelection::All());
    EXPECT_EQ(all.records.size(), 18u);
    EXPECT_EQ(all.usage.Total(), 18u);
    EXPECT_EQ(all.summary.identity.model, "KVZ3");

    const SelectedRecords day = ReadSelection(file, RecordSelection::Day(5, 12, 26));
    EXPECT_EQ(day.records.size(), 4u);
    EXPECT_EQ(day.usage.seconds[1], 4u);

    const SelectedRecords month = LoadMonthRecords(file, 12, 26);
    EXPECT_EQ(month.records.size(), 9u);
    EXPECT_EQ(month.Days(), (std::set<int>{5, 6}));
    EXPECT_EQ(month.FirstDate(), "05/12/26");
    EXPECT_EQ(month.LastDate(), "06/12/26");

    const SelectedRecords lastYear = LoadMonthRecords(file, 12, 25);
    EXPECT_EQ(lastYear.records.size(), 6u);
    EXPECT_EQ(lastYear.usage.seconds[3], 6u);

    EXPECT_TRUE(ReadSelection(file, RecordSelection::Day(7, 12, 26)).records.empty());
    EXPECT_EQ(ReadSelection(file, RecordSelection::Day(7, 12, 26)).usage.Total(), 0u);
}

TEST_F(SelectionTest, DaysCompareByNumberAndDamagedFieldsCountAsZero) {
    Write({RecordLine({.date = "051226"}), RecordLine({.date = "5 1226"}), "0512"});
    // "5 " reads as day 5; the short line has month 12 and no year (0).
    EXPECT_EQ(LoadDayRecords(file, 5, 12, 26).records.size(), 2u);
    EXPECT_EQ(LoadMonthRecords(file, 12, 0).records.size(), 1u);
}

TEST_F(SelectionTest, UnknownModeCodesAreListedButCountedNowhere) {
    std::vector<std::string> lines = RecordsOnDay("051226", '0', 2);
    Append(lines, RecordsOnDay("051226", '7', 3));
    Append(lines, RecordsOnDay("051226", 'X', 1));
    Write(lines);
    const SelectedRecords day = LoadDayRecords(file, 5, 12, 26);
    EXPECT_EQ(day.records.size(), 6u);
    EXPECT_EQ(day.usage.seconds, (std::array<std::uint64_t, 4>{2, 0, 0, 0}));
    EXPECT_EQ(day.usage.Total(), 2u);
}

TEST_F(SelectionTest, AMonthIsNotCutAtSixtyFourThousandRecords) {
    // Four days of eighteen hours: 259,200 records in one month.
    std::vector<std::string> lines;
    for (const char* date : {"011226", "021226", "031226", "041226"})
        Append(lines, RecordsOnDay(date, '2', 18 * 3600, 0));
    Write(lines);
    const SelectedRecords month = LoadMonthRecords(file, 12, 26);
    EXPECT_EQ(month.records.size(), 4u * 18 * 3600);
    EXPECT_EQ(month.usage.seconds[2], 4u * 18 * 3600);
    EXPECT_EQ(month.Days(), (std::set<int>{1, 2, 3, 4}));
    EXPECT_EQ(month.LastDate(), "04/12/26");
}

TEST_F(SelectionTest, FirstRecordMonthComesFromTheFirstRecordLine) {
    Write({RecordLine({.date = "170313"}), RecordLine({.date = "010426"})});
    const auto first = ReadFirstRecordMonth(file);
    ASSERT_TRUE(first);
    EXPECT_EQ(first->month, 3);
    EXPECT_EQ(first->year, 13);
    EXPECT_EQ(OpeningMonth(file, {2026, 12, 5}).month, 3);
    const DateTime today{2026, 12, 5};
    Write({});
    EXPECT_FALSE(ReadFirstRecordMonth(file));
    EXPECT_EQ(OpeningMonth(file, today).month, 12);
    EXPECT_EQ(OpeningMonth(file, today).year, 26);
    Write({"0199"}); // a damaged first record: month 99
    EXPECT_EQ(OpeningMonth(file, today).month, 12);
}

TEST_F(SelectionTest, SummaryNamesModeTwoByModel) {
    std::vector<std::string> lines = RecordsOnDay("051226", '2', 3725);
    Append(lines, RecordsOnDay("051226", '0', 60));
    Write(lines, "Bob,NVZ3,7");
    EXPECT_EQ(
        UsageSummaryLines(LoadDayRecords(file, 5, 12, 26)),
        (std::vector<std::string>{"Records: 3785", "Power: 0 Hrs 1 Mins 0 Secs",
                                  "Radio: 0 Hrs 0 Mins 0 Secs", "Transmitter: 1 Hrs 2 Mins 5 Secs",
                                  "Sweep: 0 Hrs 0 Mins 0 Secs", "Total: 1 Hrs 3 Mins 5 Secs"}));
    Write(lines, "Bob,PVZ3,7");
    EXPECT_EQ(UsageSummaryLines(LoadDayRecords(file, 5, 12, 26))[3],
              "Generator: 1 Hrs 2 Mins 5 Secs");
}
