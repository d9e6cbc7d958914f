#include "datafile/file_checks.h"
#include "report/usage_report.h"
#include "support/run_command.h"
#include "support/temp_dir.h"
#include "support/test_environment.h"
#include "viewer/duration.h"
#include "viewer/record_fixtures.h"
#include "viewer/record_selection.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <map>
#include <regex>
#include <sstream>

using namespace tarvik;
using namespace tarvik::test;

namespace {

struct Day {
    int day, month, year;
    std::string Text() const {
        char text[16];
        std::snprintf(text, sizeof text, "%02d%02d%02d", day, month, year);
        return text;
    }
};

// `count` calendar days from 1 January 2026, each with its own mix of modes and self tests.
std::vector<std::string> DaysOfUse(int count, std::vector<Day>& days) {
    static constexpr int kLength[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    std::vector<std::string> lines;
    Day d{1, 1, 26};
    for (int i = 0; i < count; ++i) {
        days.push_back(d);
        for (const auto& [mode, seconds, start] :
             {std::tuple{'0', 60 + i * 37 % 500, 7 * 3600}, std::tuple{'2', i * 13 % 300, 9 * 3600},
              std::tuple{'3', i % 4 == 0 ? 45 : 0, 23 * 3600 + 59 * 60},
              std::tuple{'1', i % 40 == 0 ? 3700 : 0, 12 * 3600}}) {
            auto part = RecordsOnDay(d.Text(), mode, static_cast<std::size_t>(seconds), start);
            lines.insert(lines.end(), part.begin(), part.end());
        }
        lines.push_back(
            RecordLine({.date = d.Text(), .time = "180000", .selfTest = i % 5 == 1 ? 'F' : 'P'}));
        if (++d.day > kLength[d.month - 1]) {
            d.day = 1;
            if (++d.month > 12) {
                d.month = 1;
                ++d.year;
            }
        }
    }
    return lines;
}

std::uint64_t Seconds(const std::string& clock) {
    unsigned long long h = 0;
    unsigned m = 0, s = 0;
    std::sscanf(clock.c_str(), "%llu:%u:%u", &h, &m, &s);
    return h * 3600 + m * 60 + s;
}

std::string Text(const std::filesystem::path& pdf, int page = 0) {
    const std::string pages =
        page > 0 ? " -f " + std::to_string(page) + " -l " + std::to_string(page) : "";
    return RunCommand("pdftotext -layout" + pages + " " + ShellQuoted(pdf) + " -").output;
}

int PageCount(const std::filesystem::path& pdf) {
    const std::string info = RunCommand("pdfinfo " + ShellQuoted(pdf)).output;
    std::smatch pages;
    return std::regex_search(info, pages, std::regex(R"(Pages:\s+(\d+))")) ? std::stoi(pages[1])
                                                                           : 0;
}

// A report written into the test's own documents folder.
struct ReportBench {
    TempDir dir;
    Folders folders{dir / "docs", dir / "app"};
    std::filesystem::path data = dir / "f.lgd";

    UsageReportResult Write(const ReportPeriod& period,
                            std::optional<std::filesystem::path> output = std::nullopt) {
        FixedClock clock(DateTime{2026, 12, 5, 10, 0, 5});
        PdfPrinterServices services;
        services.clock = &clock;
        return CreateUsageReport({data, period, output, ProgramsFolder() / "Fonts"}, folders,
                                 services);
    }
};

// qpdf finds nothing wrong and pdftoppm draws every page without a complaint.
void ExpectDrawnWhole(const std::filesystem::path& pdf, const TempDir& dir) {
    const CommandResult check = RunCommand("qpdf --check " + ShellQuoted(pdf) + " 2>&1");
    EXPECT_EQ(check.exitCode, 0) << check.output;
    EXPECT_EQ(check.output.find("WARNING"), std::string::npos) << check.output;
    const CommandResult draw = RunCommand("pdftoppm -r 12 -png " + ShellQuoted(pdf) + " " +
                                          ShellQuoted(dir / "page") + " 2>&1");
    EXPECT_EQ(draw.exitCode, 0);
    EXPECT_EQ(draw.output, "");
    int drawn = 0;
    for (const auto& entry : std::filesystem::directory_iterator(dir.path()))
        drawn += entry.path().extension() == ".png" && entry.file_size() > 0 ? 1 : 0;
    EXPECT_EQ(drawn, PageCount(pdf));
}

} // namespace

TEST(UsageReport, FourHundredDaysReadBackAsTheViewerTotalsThemOnNumberedPages) {
    ReportBench bench;
    std::vector<Day> days;
    WriteDataFile(bench.data, "Depot North crew 4,PVZ3,4242", DaysOfUse(400, days));
    const UsageReportResult result = bench.Write(ReportPeriod::All());
    ASSERT_TRUE(result.file) << result.error;
    EXPECT_EQ(result.file->parent_path(), bench.dir / "docs" / "tarvik" / "reports");
    EXPECT_EQ(result.file->filename(), "4242 PVZ3 Depot North crew 4 [All] [Report].pdf");
    ExpectDrawnWhole(*result.file, bench.dir);

    // Every day has its row; a sample of them (reading the file once per day is slow) equals
    // the viewer's totals of that day.
    const std::string text = Text(*result.file);
    const std::regex row(R"(\n\s*(\d\d)/(\d\d)/(\d\d)\s+(\d+:\d\d:\d\d)\s+(\d+:\d\d:\d\d)\s+)"
                         R"((\d+:\d\d:\d\d)\s+(\d+:\d\d:\d\d)\s+(\d+:\d\d:\d\d)\s+(\d\d:\d\d:\d\d))"
                         R"(\s+(\d\d:\d\d:\d\d)\s+(Pass 18:00:00|Fail))");
    std::size_t rows = 0;
    for (auto it = std::sregex_iterator(text.begin(), text.end(), row);
         it != std::sregex_iterator(); ++it, ++rows) {
        const auto& m = *it;
        EXPECT_EQ(m[11] == "Fail", rows % 5 == 1) << m[0];
        if (rows % 16 != 0 && rows + 1 != days.size())
            continue;
        const SelectedRecords viewer = ReadSelection(
            bench.data, RecordSelection::Day(std::stoi(m[1]), std::stoi(m[2]), std::stoi(m[3])));
        for (std::size_t mode = 0; mode < 4; ++mode)
            EXPECT_EQ(Seconds(m[4 + mode]), viewer.usage.seconds[mode]) << m[0];
        EXPECT_EQ(Seconds(m[8]), viewer.usage.Total()) << m[0];
    }
    EXPECT_EQ(rows, days.size());

    // The usage per mode equals the viewer's totals of all records.
    const SelectedRecords all = ReadSelection(bench.data, RecordSelection::All());
    const std::map<std::string, std::uint64_t> expected{{"Power", all.usage.seconds[0]},
                                                        {"Radio", all.usage.seconds[1]},
                                                        {"Generator", all.usage.seconds[2]},
                                                        {"Sweep", all.usage.seconds[3]},
                                                        {"Total", all.usage.Total()}};
    for (const auto& [mode, seconds] : expected) {
        const Duration d = SplitDuration(seconds);
        EXPECT_TRUE(std::regex_search(text, std::regex("\n\\s*" + mode + "\\s+" + HoursText(d) +
                                                       "\\s+" + MinutesText(d) + "\\s+" +
                                                       SecondsText(d) + "\\s+\\d+\\.\\d %")))
            << mode;
    }

    // Every page has the header, the table's header and its number.
    const int pages = PageCount(*result.file);
    EXPECT_GT(pages, 10);
    for (int page = 1; page <= pages; ++page) {
        const std::string onPage = Text(*result.file, page);
        EXPECT_NE(onPage.find("Locator Usage Report"), std::string::npos) << page;
        EXPECT_NE(onPage.find("4242"), std::string::npos) << page;
        EXPECT_TRUE(std::regex_search(onPage, std::regex(R"(Date\s+Power\s+Radio\s+Generator)")))
            << page;
        EXPECT_NE(onPage.find("Page " + std::to_string(page) + " of " + std::to_string(pages)),
                  std::string::npos);
    }
}

TEST(UsageReport, ADayAMonthAndARangeHoldOnlyTheirDays) {
    ReportBench bench;
    std::vector<Day> days;
    WriteDataFile(bench.data, "User,NVZ3,9", DaysOfUse(70, days));
    const auto dayReport = bench.Write(ReportPeriod::Day({5, 2, 26}));
    ASSERT_TRUE(dayReport.file) << dayReport.error;
    EXPECT_EQ(dayReport.file->filename(), "9 NVZ3 User [Day 05-02-26] [Report].pdf");
    const std::string dayText = Text(*dayReport.file);
    EXPECT_NE(dayText.find("Day 05/02/26, 1 day with records"), std::string::npos);
    EXPECT_NE(dayText.find("Transmitter"), std::string::npos); // the mode word by the model
    EXPECT_EQ(std::regex_search(dayText, std::regex(R"(\n\s*0[46]/02/26 )")), false);
    EXPECT_TRUE(std::regex_search(dayText, std::regex(R"(\n\s*05/02/26 )")));

    const auto month = bench.Write(ReportPeriod::Month(2, 26), bench.dir / "out" / "feb.pdf");
    ASSERT_TRUE(month.file) << month.error;
    EXPECT_EQ(*month.file, bench.dir / "out" / "feb.pdf");
    const std::string monthText = Text(*month.file);
    EXPECT_NE(monthText.find("(01/02/26 to 28/02/26), 28 days with records"), std::string::npos);
    EXPECT_FALSE(std::regex_search(monthText, std::regex(R"(\n\s*\d\d/0[13]/26 )")));

    const auto range = bench.Write(ReportPeriod::Range({30, 1, 26}, {2, 2, 26}));
    ASSERT_TRUE(range.file) << range.error;
    EXPECT_NE(Text(*range.file).find("From 30/01/26 to 02/02/26, 4 days with records"),
              std::string::npos);
}

TEST(UsageReport, ALongUserTextWrapsInsideThePage) {
    ReportBench bench;
    const std::string user = std::string(30, 'W') + " " + std::string(29, 'M');
    WriteDataFile(bench.data, user + ",KVZ3,1", RecordsOnDay("051226", '0', 10));
    const auto result = bench.Write(ReportPeriod::All());
    ASSERT_TRUE(result.file) << result.error;
    const std::string boxes =
        RunCommand("pdftotext -bbox " + ShellQuoted(*result.file) + " -").output;
    const std::regex word(R"re(xMin="([0-9.]+)" yMin="([0-9.]+)" xMax="([0-9.]+)" )re"
                          R"re(yMax="[0-9.]+">(W+|M+)</word>)re");
    std::vector<std::smatch> found;
    for (auto it = std::sregex_iterator(boxes.begin(), boxes.end(), word);
         it != std::sregex_iterator(); ++it)
        found.push_back(*it);
    ASSERT_EQ(found.size(), 2u) << boxes;
    EXPECT_EQ(found[0][4].str(), std::string(30, 'W'));
    EXPECT_EQ(found[1][4].str(), std::string(29, 'M'));
    EXPECT_GT(std::stod(found[1][2]), std::stod(found[0][2])); // on the next line
    for (const auto& box : found)
        EXPECT_LT(std::stod(box[3]), 595.28 - 39);
    ExpectDrawnWhole(*result.file, bench.dir);
}

TEST(UsageReport, BadInputGetsTheViewersOrTheOpeningsMessageAndNoDocument) {
    ReportBench bench;
    WriteDataFile(bench.data, "User,KVZ3,1", RecordsOnDay("051226", '0', 10));
    EXPECT_EQ(bench.Write(ReportPeriod::Month(11, 26)).error, "No Data for this Selection");
    WriteDataFile(bench.data, "User,KVZ3,1", {});
    EXPECT_EQ(bench.Write(ReportPeriod::All()).error, bench.data.string() + ": " + kNoDataMessage);
    WriteDataFile(bench.data, "User KVZ3", RecordsOnDay("051226", '0', 10));
    EXPECT_EQ(bench.Write(ReportPeriod::All()).error,
              bench.data.string() + ": " + DamagedIdentityMessage());
    EXPECT_TRUE(!std::filesystem::exists(bench.folders.ReportsFolder()) ||
                std::filesystem::is_empty(bench.folders.ReportsFolder()));

    // An output that cannot be created (its folder is a file) leaves nothing behind.
    WriteDataFile(bench.data, "User,KVZ3,1", RecordsOnDay("051226", '0', 10));
    WriteBytes(bench.dir / "plain", "not a folder");
    const auto blocked = bench.Write(ReportPeriod::All(), bench.dir / "plain" / "r.pdf");
    EXPECT_FALSE(blocked.file);
    EXPECT_NE(blocked.error.find("could not be written"), std::string::npos) << blocked.error;
    EXPECT_EQ(ReadBytes(bench.dir / "plain"), "not a folder");
}

TEST(UsageReport, AnEarlierReportIsNeverReplaced) {
    ReportBench bench;
    WriteDataFile(bench.data, "User,KVZ3,1", RecordsOnDay("051226", '0', 10));
    const auto first = bench.Write(ReportPeriod::All());
    ASSERT_TRUE(first.file);
    const std::string firstBytes = ReadBytes(*first.file);
    const auto second = bench.Write(ReportPeriod::All());
    ASSERT_TRUE(second.file);
    EXPECT_EQ(second.file->filename(), "1 KVZ3 User [All] [Report] (2).pdf");
    EXPECT_EQ(ReadBytes(*first.file), firstBytes);
}

TEST(UsageReport, TheCommandPrintsThePathAndRefusesAWrongPeriod) {
    ReportBench bench;
    std::vector<Day> days;
    WriteDataFile(bench.data, "User,KVZ3,1", DaysOfUse(3, days));
    const std::string tarvik = ShellQuoted(ProgramsFolder() / "tarvik") + " --documents " +
                               ShellQuoted(bench.dir / "docs") + " report " +
                               ShellQuoted(bench.data);
    const CommandResult made = RunCommand(tarvik + " --from 02/01/26 --to 03/01/26");
    EXPECT_EQ(made.exitCode, 0);
    EXPECT_EQ(made.output, (bench.folders.ReportsFolder() /
                            "1 KVZ3 User [From 02-01-26 to 03-01-26] [Report].pdf")
                                   .string() +
                               "\n");
    EXPECT_EQ(RunCommand(tarvik + " --from 03/01/26 --to 02/01/26 2>/dev/null").exitCode, 2);
    EXPECT_EQ(RunCommand(tarvik + " --day 31/02/26 2>/dev/null").exitCode, 2);
    EXPECT_EQ(RunCommand(tarvik + " --month 01/26 --day 02/01/26 2>/dev/null").exitCode, 2);
    const CommandResult none = RunCommand(tarvik + " --month 05/26 2>&1");
    EXPECT_EQ(none.exitCode, 1);
    EXPECT_EQ(none.output, "tarvik: No Data for this Selection\n");
}
