#include "report/usage_report_data.h"
#include "support/temp_dir.h"
#include "viewer/record_fixtures.h"

#include <gtest/gtest.h>

using namespace tarvik;
using namespace tarvik::test;

namespace {

std::string Record(const std::string& date, const std::string& time, char mode, char selfTest) {
    return RecordLine({.date = date, .time = time, .mode = mode, .selfTest = selfTest});
}

std::vector<std::string> Joined(std::initializer_list<std::vector<std::string>> parts) {
    std::vector<std::string> all;
    for (const auto& part : parts)
        all.insert(all.end(), part.begin(), part.end());
    return all;
}

} // namespace

TEST(UsageReportData, DaysAreTalliedInDateOrderWithinThePeriod) {
    TempDir dir;
    const auto file = dir / "f.lgd";
    // Out of order in the file, and one day outside every period but All.
    WriteDataFile(file, "User,KVZ3,77",
                  Joined({RecordsOnDay("031226", '1', 30, 10 * 3600),
                          RecordsOnDay("011226", '0', 90, 8 * 3600 + 59 * 60 + 30),
                          RecordsOnDay("011226", '2', 20, 7 * 3600),
                          {Record("011226", "2x0000", '9', 'G')},
                          RecordsOnDay("150127", '3', 5)}));
    const UsageReportData all = GatherUsageReport(file, ReportPeriod::All());
    EXPECT_EQ(all.summary.status, DataFileStatus::Ok);
    EXPECT_EQ(all.records, 146u);
    EXPECT_EQ(all.usage.Total(), 145u); // the ninth mode counts nowhere, as in the viewer
    ASSERT_EQ(all.days.size(), 3u);
    const DayUsage& first = all.days[0];
    EXPECT_EQ(first.dateText, "01/12/26");
    EXPECT_EQ(first.records, 111u);
    EXPECT_EQ(first.usage.seconds[0], 90u);
    EXPECT_EQ(first.usage.seconds[2], 20u);
    EXPECT_EQ(TimeOfDayText(*first.firstTime), "07:00:00");
    EXPECT_EQ(TimeOfDayText(*first.lastTime), "09:00:59"); // the unreadable time is left out
    EXPECT_EQ(all.days[1].dateText, "03/12/26");
    EXPECT_EQ(all.days[2].dateText, "15/01/27");

    // 08:59:30 to 09:00:59 in Power; 07:00:00 to 07:00:19 in the generator's mode.
    const auto modes = first.MinuteModes();
    EXPECT_EQ(modes[7 * 60], 2);
    EXPECT_EQ(modes[7 * 60 + 1], kNoUse);
    EXPECT_EQ(modes[8 * 60 + 59], 0);
    EXPECT_EQ(modes[9 * 60], 0);
    EXPECT_EQ(std::count(modes.begin(), modes.end(), kNoUse), kMinutesPerDay - 3);

    EXPECT_EQ(GatherUsageReport(file, ReportPeriod::Month(12, 26)).days.size(), 2u);
    const auto range = GatherUsageReport(file, ReportPeriod::Range({2, 12, 26}, {15, 1, 27}));
    ASSERT_EQ(range.days.size(), 2u);
    EXPECT_EQ(range.records, 35u);
    EXPECT_EQ(GatherUsageReport(file, ReportPeriod::Day({2, 12, 26})).days.size(), 0u);
}

TEST(UsageReportData, TheSelfTestOfADayFollowsTheLookupsRule) {
    TempDir dir;
    const auto file = dir / "f.lgd";
    WriteDataFile(file, "User,KVZ3,77",
                  {Record("011226", "080000", '0', 'P'), Record("011226", "090000", '0', 'P'),
                   Record("011226", "100000", '0', 'G'), // the last pass stands
                   Record("021226", "080000", '0', 'P'), Record("021226", "090000", '0', 'F'),
                   Record("031226", "080000", '0', 'G'), Record("031226", "090000", '0', 'B'),
                   Record("041226", "080000", '0', 'P'), Record("041226", "090000", '0', 'X'),
                   Record("051226", "080000", '0', 'X'), Record("051226", "090000", '0', 'P')});
    const UsageReportData data = GatherUsageReport(file, ReportPeriod::All());
    ASSERT_EQ(data.days.size(), 5u);
    EXPECT_EQ(SelfTestText(data.days[0]), "Pass 09:00:00");
    EXPECT_EQ(SelfTestText(data.days[1]), "Fail");
    EXPECT_EQ(SelfTestText(data.days[2]), "No test");
    EXPECT_EQ(SelfTestText(data.days[3]), "No test *"); // the lookup would not pass it
    EXPECT_EQ(SelfTestText(data.days[4]), "Pass 09:00:00 *");
}

TEST(UsageReportData, PeriodsNameThemselvesForTheHeaderAndTheFileName) {
    EXPECT_EQ(ReportPeriod::All().Text(), "All records");
    EXPECT_EQ(ReportPeriod::All().Label(), "All");
    EXPECT_EQ(ReportPeriod::Of(RecordSelection::Month(3, 27)).Text(), "Month 03/27");
    EXPECT_EQ(ReportPeriod::Of(RecordSelection::Day(5, 12, 26)).Label(), "Day 05-12-26");
    EXPECT_EQ(ReportPeriod::Range({1, 2, 26}, {3, 4, 27}).Text(), "From 01/02/26 to 03/04/27");
}
