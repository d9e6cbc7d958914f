#include "viewer/record_fixtures.h"
#include "viewer/record_selection.h"
#include "viewer/usage_summary.h"

#include "support/temp_dir.h"

#include <gtest/gtest.h>

using namespace tarvik;
using tarvik::test::RecordLine;
using tarvik::test::RecordsOnDay;

TEST(SelectionTally, CountsWhatTheListedSelectionHoldsWithoutKeepingIt) {
    test::TempDir dir;
    const auto file = dir / "log.lgd";
    std::vector<std::string> lines = RecordsOnDay("301126", '0', 3);
    for (const auto& more : {RecordsOnDay("051226", '1', 4), RecordsOnDay("061226", '7', 2),
                             RecordsOnDay("051225", '3', 6)})
        lines.insert(lines.end(), more.begin(), more.end());
    lines.push_back("0512"); // a short line: day 5, month 12, year 0
    test::WriteDataFile(file, "Crew,NVZ3,7", lines);

    for (const RecordSelection selection :
         {RecordSelection::All(), RecordSelection::Month(12, 26), RecordSelection::Day(5, 12, 26),
          RecordSelection::Month(12, 0), RecordSelection::Day(7, 12, 26)}) {
        const SelectedRecords listed = ReadSelection(file, selection);
        const SelectionTally tally = TallySelection(file, selection);
        EXPECT_EQ(tally.recordCount, listed.records.size());
        EXPECT_EQ(tally.usage.seconds, listed.usage.seconds);
        EXPECT_EQ(tally.FirstDate(), listed.FirstDate());
        EXPECT_EQ(tally.LastDate(), listed.LastDate());
        EXPECT_EQ(tally.Days(), listed.Days());
        EXPECT_EQ(UsageSummaryLines(tally), UsageSummaryLines(listed));
    }
    const SelectionTally all = TallySelection(file, RecordSelection::All());
    EXPECT_EQ(all.recordCount, 16u);
    EXPECT_EQ(all.FirstDate(), "30/11/26");
    EXPECT_EQ(all.LastDate(), "05/12/");
    EXPECT_EQ(all.Days(), (std::set<int>{5, 6, 30}));
    // One reading of every record also gives the bold days of any month.
    EXPECT_EQ(all.DaysOf(12, 26), (std::set<int>{5, 6}));
    EXPECT_EQ(all.DaysOf(11, 26), (std::set<int>{30}));
    EXPECT_EQ(all.DaysOf(12, 25), (std::set<int>{5}));
    EXPECT_TRUE(all.DaysOf(1, 27).empty());
    EXPECT_EQ(TallyMonth(file, 12, 0).recordCount, 1u);
    EXPECT_EQ(TallySelection(dir / "missing.lgd", RecordSelection::All()).summary.status,
              DataFileStatus::Unreadable);
}
