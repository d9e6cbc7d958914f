#include "support/temp_dir.h"
#include "viewer/duration.h"
#include "viewer/record_fixtures.h"
#include "viewer/record_selection.h"
#include "viewer/selection_option.h"
#include "viewer/usage_summary.h"

#include <gtest/gtest.h>

using namespace tarvik;
using tarvik::test::RecordLine;
using tarvik::test::RecordsOnDay;

TEST(Duration, SplitsSecondsIntoHoursMinutesAndSecondsNeverWrappingTheHours) {
    EXPECT_EQ(FormatDuration(3725) + FormatDuration(60),
              "1 Hrs,2 Mins,5 Secs,0 Hrs,1 Mins,0 Secs,");
    EXPECT_EQ(UsageTimeText(400 * 3600 + 59 * 60 + 1), "400 Hrs 59 Mins 1 Secs");
}

// The command line's --day and --month: two-digit fields only, real days only (2000-2099).
TEST(SelectionOption, RealDaysAndMonthsAreTakenAndWrittenBackTheSame) {
    for (const char* day : {"29/02/24", "31/12/99", "01/01/00", "30/04/26"})
        EXPECT_EQ(SelectionOptionText(ParseDayOption(day).value_or(RecordSelection{})), day);
    for (const char* month : {"01/26", "12/00"})
        EXPECT_EQ(SelectionOptionText(ParseMonthOption(month).value_or(RecordSelection{})), month);
    for (const char* day : {"29/02/25", "31/04/26", "00/01/26", "32/01/26", "01/13/26", "01/00/26",
                            "5/12/26", "05/12/2026", "05-12-26", "05/12/2a", ""})
        EXPECT_FALSE(ParseDayOption(day)) << day;
    for (const char* month : {"13/26", "00/26", "1/26", "12-26", "12/2026"})
        EXPECT_FALSE(ParseMonthOption(month)) << month;
}

TEST(Selection, EachSelectionListsAndTotalsItsRecordsAndTheTallyAgrees) {
    test::TempDir dir;
    const auto file = dir / "log.lgd";
    // The same day and month a year earlier; unknown mode codes (listed, counted nowhere); a
    // short line of day 5, month 12 and no year.
    test::WriteDataFile(file, "Bob,PVZ3,7",
                        test::Concatenated({RecordsOnDay("301126", '0', 3),
                                            RecordsOnDay("051226", '1', 4),
                                            RecordsOnDay("061226", '2', 5),
                                            RecordsOnDay("051225", '3', 6),
                                            RecordsOnDay("061226", '7', 2),
                                            {RecordLine({.date = "5 1226"}), "0512"}}));
    struct Case {
        RecordSelection selection;
        std::array<std::uint64_t, 4> seconds;
        std::size_t listed;
        std::set<int> days;
        const char* firstAndLast;
    };
    const Case cases[] = {
        {RecordSelection::All(), {4, 4, 5, 6}, 22, {5, 6, 30}, "30/11/26-05/12/"},
        {RecordSelection::Month(12, 26), {1, 4, 5, 0}, 12, {5, 6}, "05/12/26-5 /12/26"},
        {RecordSelection::Day(5, 12, 26), {1, 4, 0, 0}, 5, {5}, "05/12/26-5 /12/26"},
        {RecordSelection::Month(12, 25), {0, 0, 0, 6}, 6, {5}, "05/12/25-05/12/25"},
        {RecordSelection::Month(12, 0), {0, 0, 0, 0}, 1, {5}, "05/12/-05/12/"},
        {RecordSelection::Day(7, 12, 26), {0, 0, 0, 0}, 0, {}, "-"},
    };
    for (const Case& c : cases) {
        const SelectedRecords listed = ReadSelection(file, c.selection);
        const SelectionTally tally = TallySelection(file, c.selection);
        for (const SelectionTally* t : {static_cast<const SelectionTally*>(&listed), &tally}) {
            SCOPED_TRACE(c.selection.day * 10000 + c.selection.month * 100 + c.selection.year);
            EXPECT_EQ(t->usage.seconds, c.seconds);
            EXPECT_EQ(t->recordCount, c.listed);
            EXPECT_EQ(t->Days(), c.days);
            EXPECT_EQ(t->FirstDate() + "-" + t->LastDate(), c.firstAndLast);
        }
        EXPECT_EQ(listed.records.size(), c.listed);
    }
    const SelectionTally all = TallySelection(file, RecordSelection::All());
    EXPECT_EQ(all.summary.identity.model, "PVZ3");
    // One reading of every record also gives the bold days of any month.
    EXPECT_EQ(all.DaysOf(12, 26), (std::set<int>{5, 6}));
    EXPECT_EQ(all.DaysOf(11, 26), (std::set<int>{30}));
    EXPECT_EQ(all.DaysOf(12, 25), (std::set<int>{5}));
    EXPECT_TRUE(all.DaysOf(1, 27).empty());
    EXPECT_EQ(
        UsageSummaryLines(TallyDay(file, 6, 12, 26)),
        (std::vector<std::string>{"Records: 7", "Power: 0 Hrs 0 Mins 0 Secs",
                                  "Radio: 0 Hrs 0 Mins 0 Secs", "Generator: 0 Hrs 0 Mins 5 Secs",
                                  "Sweep: 0 Hrs 0 Mins 0 Secs", "Total: 0 Hrs 0 Mins 5 Secs"}));
    EXPECT_EQ(TallySelection(dir / "missing.lgd", RecordSelection::All()).summary.status,
              DataFileStatus::Unreadable);
}

TEST(Selection, AMonthIsNotCutAtSixtyFourThousandRecordsAndOpensOnItsFirstRecordsMonth) {
    test::TempDir dir;
    const auto file = dir / "log.lgd";
    // Four days of eighteen hours: 259,200 records in one month.
    std::vector<std::vector<std::string>> days;
    for (const char* day : {"011226", "021226", "031226", "041226"})
        days.push_back(RecordsOnDay(day, '2', 18 * 3600, 0));
    test::WriteDataFile(file, "Bob,KVZ3,7", test::Concatenated(days));
    const SelectedRecords month = LoadMonthRecords(file, 12, 26);
    EXPECT_EQ(month.records.size(), 4u * 18 * 3600);
    EXPECT_EQ(month.usage.seconds[2], 4u * 18 * 3600);
    EXPECT_EQ(month.records.back().Line(), RecordsOnDay("041226", '2', 1, 18 * 3600 - 1)[0]);

    // The calendar opens on the first record's month; on today's when there is none or it is
    // damaged (month 99).
    const auto opening = [&](const std::vector<std::string>& records) {
        test::WriteDataFile(file, "Bob,KVZ3,7", records);
        const MonthOfYear m = OpeningMonth(file, {2026, 12, 5});
        return m.month * 100 + m.year;
    };
    EXPECT_EQ(opening({RecordLine({.date = "170313"}), RecordLine({.date = "010426"})}), 313);
    EXPECT_EQ(opening({"0199"}), 1226);
    EXPECT_EQ(opening({}), 1226);
    EXPECT_FALSE(ReadFirstRecordMonth(file));
}
