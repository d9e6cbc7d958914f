#include "support/temp_dir.h"
#include "viewer/duration.h"
#include "viewer/record_fixtures.h"
#include "viewer/record_selection.h"
#include "viewer/usage_summary.h"

#include <gtest/gtest.h>

using namespace tarvik;
using tarvik::test::RecordLine;
using tarvik::test::RecordsOnDay;

TEST(Duration, SplitsSecondsIntoHoursMinutesAndSeconds) {
    EXPECT_EQ(FormatDuration(3725), "1 Hrs,2 Mins,5 Secs,");
    EXPECT_EQ(FormatDuration(60), "0 Hrs,1 Mins,0 Secs,");
    EXPECT_EQ(FormatDuration(3600), "1 Hrs,0 Mins,0 Secs,");
    EXPECT_EQ(UsageTimeText(59), "0 Hrs 0 Mins 59 Secs");
    // A year of daily use runs past a hundred hours; hours are never wrapped.
    EXPECT_EQ(UsageTimeText(400 * 3600 + 59 * 60 + 1), "400 Hrs 59 Mins 1 Secs");
}

namespace {
class SelectionTest : public ::testing::Test {
protected:
    // Writes the log from groups of record lines.
    void Write(std::initializer_list<std::vector<std::string>> groups,
               const std::string& identity = "Bob,KVZ3,7") {
        test::WriteDataFile(file, identity, test::Concatenated(groups));
    }
    test::TempDir dir;
    std::filesystem::path file = dir / "log.lgd";
};
} // namespace

TEST_F(SelectionTest, EachSelectionListsAndTotalsItsRecordsAndTheTallyAgrees) {
    // The same day and month a year earlier; unknown mode codes (listed, counted nowhere); a
    // short line of day 5, month 12 and no year.
    Write({RecordsOnDay("301126", '0', 3),
           RecordsOnDay("051226", '1', 4),
           RecordsOnDay("061226", '2', 5),
           RecordsOnDay("051225", '3', 6),
           RecordsOnDay("061226", '7', 2),
           {RecordLine({.date = "5 1226"}), "0512"}});
    struct Case {
        RecordSelection selection;
        std::array<std::uint64_t, 4> seconds;
        std::size_t listed;
        std::set<int> days;
        const char* first;
        const char* last;
    };
    const Case cases[] = {
        {RecordSelection::All(), {4, 4, 5, 6}, 22, {5, 6, 30}, "30/11/26", "05/12/"},
        {RecordSelection::Month(12, 26), {1, 4, 5, 0}, 12, {5, 6}, "05/12/26", "5 /12/26"},
        {RecordSelection::Day(5, 12, 26), {1, 4, 0, 0}, 5, {5}, "05/12/26", "5 /12/26"},
        {RecordSelection::Month(12, 25), {0, 0, 0, 6}, 6, {5}, "05/12/25", "05/12/25"},
        {RecordSelection::Month(12, 0), {0, 0, 0, 0}, 1, {5}, "05/12/", "05/12/"},
        {RecordSelection::Day(7, 12, 26), {0, 0, 0, 0}, 0, {}, "", ""},
    };
    for (const Case& c : cases) {
        const SelectedRecords listed = ReadSelection(file, c.selection);
        const SelectionTally tally = TallySelection(file, c.selection);
        for (const SelectionTally* t : {static_cast<const SelectionTally*>(&listed), &tally}) {
            EXPECT_EQ(t->usage.seconds, c.seconds) << c.selection.day << c.selection.month;
            EXPECT_EQ(t->recordCount, c.listed) << c.selection.day << c.selection.month;
            EXPECT_EQ(t->Days(), c.days) << c.selection.day << c.selection.month;
            EXPECT_EQ(t->FirstDate() + "-" + t->LastDate(), std::string(c.first) + "-" + c.last);
        }
        EXPECT_EQ(listed.records.size(), c.listed);
    }
    const SelectionTally all = TallySelection(file, RecordSelection::All());
    EXPECT_EQ(all.summary.identity.model, "KVZ3");
    // One reading of every record also gives the bold days of any month.
    EXPECT_EQ(all.DaysOf(12, 26), (std::set<int>{5, 6}));
    EXPECT_EQ(all.DaysOf(11, 26), (std::set<int>{30}));
    EXPECT_EQ(all.DaysOf(12, 25), (std::set<int>{5}));
    EXPECT_TRUE(all.DaysOf(1, 27).empty());
    EXPECT_EQ(TallySelection(dir / "missing.lgd", RecordSelection::All()).summary.status,
              DataFileStatus::Unreadable);
}

TEST_F(SelectionTest, AMonthIsNotCutAtSixtyFourThousandRecords) {
    // Four days of eighteen hours: 259,200 records in one month.
    Write({RecordsOnDay("011226", '2', 18 * 3600, 0), RecordsOnDay("021226", '2', 18 * 3600, 0),
           RecordsOnDay("031226", '2', 18 * 3600, 0), RecordsOnDay("041226", '2', 18 * 3600, 0)});
    const SelectedRecords month = LoadMonthRecords(file, 12, 26);
    EXPECT_EQ(month.records.size(), 4u * 18 * 3600);
    EXPECT_EQ(month.usage.seconds[2], 4u * 18 * 3600);
    EXPECT_EQ(month.records.back().Line(), RecordsOnDay("041226", '2', 1, 18 * 3600 - 1)[0]);
}

TEST_F(SelectionTest, FirstRecordMonthComesFromTheFirstRecordLine) {
    Write({{RecordLine({.date = "170313"}), RecordLine({.date = "010426"})}});
    const auto first = ReadFirstRecordMonth(file);
    ASSERT_TRUE(first);
    EXPECT_EQ(first->month * 100 + first->year, 313);
    const DateTime today{2026, 12, 5};
    EXPECT_EQ(OpeningMonth(file, today).month, 3);
    Write({});
    EXPECT_FALSE(ReadFirstRecordMonth(file));
    EXPECT_EQ(OpeningMonth(file, today).month * 100 + OpeningMonth(file, today).year, 1226);
    Write({{"0199"}}); // a damaged first record: month 99
    EXPECT_EQ(OpeningMonth(file, today).month, 12);
}

TEST_F(SelectionTest, SummaryNamesModeTwoByModel) {
    Write({RecordsOnDay("051226", '2', 3725), RecordsOnDay("051226", '0', 60)}, "Bob,NVZ3,7");
    EXPECT_EQ(
        UsageSummaryLines(LoadDayRecords(file, 5, 12, 26)),
        (std::vector<std::string>{"Records: 3785", "Power: 0 Hrs 1 Mins 0 Secs",
                                  "Radio: 0 Hrs 0 Mins 0 Secs", "Transmitter: 1 Hrs 2 Mins 5 Secs",
                                  "Sweep: 0 Hrs 0 Mins 0 Secs", "Total: 1 Hrs 3 Mins 5 Secs"}));
    Write({RecordsOnDay("051226", '2', 3725)}, "Bob,PVZ3,7");
    EXPECT_EQ(UsageSummaryLines(TallyDay(file, 5, 12, 26))[3], "Generator: 1 Hrs 2 Mins 5 Secs");
}
