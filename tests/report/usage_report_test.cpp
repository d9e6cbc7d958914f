#include "datafile/file_checks.h"
#include "pdf/pdf_test_support.h"
#include "report/usage_report.h"
#include "support/test_environment.h"
#include "viewer/duration.h"
#include "viewer/record_fixtures.h"
#include "viewer/record_selection.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <regex>

using namespace tarvik;
using namespace tarvik::test;

namespace {

// `count` calendar days from 1 January 2026, each with its own mix of modes and self tests
// (a fail on every fifth day from the second).
std::vector<std::string> DaysOfUse(int count) {
    static constexpr int kLength[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    std::vector<std::string> lines;
    int day = 1, month = 1, year = 26;
    for (int i = 0; i < count; ++i) {
        char date[40];
        std::snprintf(date, sizeof date, "%02d%02d%02d", day, month, year);
        for (const auto& [mode, seconds, start] :
             {std::tuple{'0', 60 + i * 37 % 500, 7 * 3600}, std::tuple{'2', i * 13 % 300, 9 * 3600},
              std::tuple{'3', i % 4 == 0 ? 45 : 0, 23 * 3600 + 59 * 60},
              std::tuple{'1', i % 40 == 0 ? 3700 : 0, 12 * 3600}}) {
            auto part = RecordsOnDay(date, mode, static_cast<std::size_t>(seconds), start);
            lines.insert(lines.end(), part.begin(), part.end());
        }
        lines.push_back(
            RecordLine({.date = date, .time = "180000", .selfTest = i % 5 == 1 ? 'F' : 'P'}));
        if (++day > kLength[month - 1]) {
            day = 1;
            month = month % 12 + 1;
            year += month == 1 ? 1 : 0;
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
    EXPECT_TRUE(QpdfClean(pdf));
    EXPECT_EQ(
        RunTool("pdftoppm -r 12 -png " + ShellQuoted(pdf) + " " + ShellQuoted(dir / "page")).output,
        "");
    int drawn = 0;
    for (const auto& entry : std::filesystem::directory_iterator(dir.path()))
        drawn += entry.path().extension() == ".png" && entry.file_size() > 0 ? 1 : 0;
    EXPECT_EQ(drawn, PageCount(pdf));
}

} // namespace

TEST(UsageReport, FourHundredDaysReadBackAsTheViewerTotalsThemOnNumberedPages) {
    ReportBench bench;
    WriteDataFile(bench.data, "Depot North crew 4,PVZ3,4242", DaysOfUse(400));
    const UsageReportResult result = bench.Write(ReportPeriod::All());
    ASSERT_TRUE(result.file) << result.error;
    EXPECT_EQ(*result.file,
              bench.folders.ReportsFolder() / "4242 PVZ3 Depot North crew 4 [All] [Report].pdf");
    ExpectDrawnWhole(*result.file, bench.dir);

    // Every day has its row; a sample of them (reading the file once per day is slow) equals
    // the viewer's totals of that day.
    const std::string text = PdfToText(*result.file);
    const std::regex row(R"(\n\s*(\d\d)/(\d\d)/(\d\d)\s+(\d+:\d\d:\d\d)\s+(\d+:\d\d:\d\d)\s+)"
                         R"((\d+:\d\d:\d\d)\s+(\d+:\d\d:\d\d)\s+(\d+:\d\d:\d\d)\s+(\d\d:\d\d:\d\d))"
                         R"(\s+(\d\d:\d\d:\d\d)\s+(Pass 18:00:00|Fail))");
    std::size_t rows = 0;
    for (std::sregex_iterator m(text.begin(), text.end(), row), end; m != end; ++m, ++rows) {
        EXPECT_EQ((*m)[11] == "Fail", rows % 5 == 1) << (*m)[0];
        if (rows % 16 != 0 && rows != 399)
            continue;
        const SelectedRecords viewer =
            ReadSelection(bench.data, RecordSelection::Day(std::stoi((*m)[1]), std::stoi((*m)[2]),
                                                           std::stoi((*m)[3])));
        for (std::size_t mode = 0; mode < 4; ++mode)
            EXPECT_EQ(Seconds((*m)[4 + mode]), viewer.usage.seconds[mode]) << (*m)[0];
        EXPECT_EQ(Seconds((*m)[8]), viewer.usage.Total()) << (*m)[0];
    }
    EXPECT_EQ(rows, 400u);

    // The usage per mode and its share equal the viewer's totals of all records.
    const SelectedRecords all = ReadSelection(bench.data, RecordSelection::All());
    const std::pair<const char*, std::uint64_t> modes[] = {{"Power", all.usage.seconds[0]},
                                                           {"Radio", all.usage.seconds[1]},
                                                           {"Generator", all.usage.seconds[2]},
                                                           {"Sweep", all.usage.seconds[3]},
                                                           {"Total", all.usage.Total()}};
    for (const auto& [mode, seconds] : modes) {
        const Duration d = SplitDuration(seconds);
        char share[16];
        std::snprintf(share, sizeof share, "%.1f %%", 100.0 * seconds / all.usage.Total());
        EXPECT_TRUE(std::regex_search(text, std::regex("\n\\s*" + std::string(mode) + "\\s+" +
                                                       HoursText(d) + "\\s+" + MinutesText(d) +
                                                       "\\s+" + SecondsText(d) + "\\s+" + share)))
            << mode << " " << share;
    }

    // Every page has the header, the table's header and its number.
    const int pages = PageCount(*result.file);
    EXPECT_GT(pages, 10);
    for (int page = 1; page <= pages; ++page) {
        const std::string onPage = PdfToText(*result.file, page);
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
    WriteDataFile(bench.data, "User,NVZ3,9", DaysOfUse(70));
    const struct {
        ReportPeriod period;
        std::string file, heading, otherDays;
    } cases[] = {
        {ReportPeriod::Day({5, 2, 26}), "9 NVZ3 User [Day 05-02-26] [Report].pdf",
         "Day 05/02/26, 1 day with records", R"(\n\s*0[46]/02/26 )"},
        {ReportPeriod::Month(2, 26), "9 NVZ3 User [Month 02-26] [Report].pdf",
         "(01/02/26 to 28/02/26), 28 days with records", R"(\n\s*\d\d/0[13]/26 )"},
        {ReportPeriod::Range({30, 1, 26}, {2, 2, 26}),
         "9 NVZ3 User [From 30-01-26 to 02-02-26] [Report].pdf",
         "From 30/01/26 to 02/02/26, 4 days with records", R"(\n\s*(29/01|03/02)/26 )"},
    };
    for (const auto& c : cases) {
        const auto result = bench.Write(c.period);
        ASSERT_TRUE(result.file) << result.error;
        EXPECT_EQ(result.file->filename(), c.file);
        const std::string text = PdfToText(*result.file);
        EXPECT_NE(text.find(c.heading), std::string::npos) << text;
        EXPECT_NE(text.find("Transmitter"), std::string::npos); // the mode word by the model
        EXPECT_FALSE(std::regex_search(text, std::regex(c.otherDays))) << c.file;
    }
    const auto chosen = bench.Write(ReportPeriod::Day({5, 2, 26}), bench.dir / "out" / "d.pdf");
    EXPECT_EQ(chosen.file, bench.dir / "out" / "d.pdf");
}

TEST(UsageReport, ALongUserTextWrapsInsideThePage) {
    ReportBench bench;
    const std::string user = std::string(30, 'W') + " " + std::string(29, 'M');
    WriteDataFile(bench.data, user + ",KVZ3,1", RecordsOnDay("051226", '0', 10));
    const auto result = bench.Write(ReportPeriod::All());
    ASSERT_TRUE(result.file) << result.error;
    std::vector<WordBox> found;
    for (const WordBox& box : WordBoxes(*result.file))
        if (box.word.find_first_not_of("WM") == std::string::npos)
            found.push_back(box);
    ASSERT_EQ(found.size(), 2u);
    EXPECT_EQ(found[0].word + " " + found[1].word, user);
    EXPECT_GT(found[1].yMin, found[0].yMin); // on the next line
    for (const auto& box : found)
        EXPECT_LT(box.xMax, 595.28 - 39);
    ExpectDrawnWhole(*result.file, bench.dir);
}

TEST(UsageReport, BadInputGetsAMessageAndNoDocumentAndNothingIsReplaced) {
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

    // An earlier report is never replaced.
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
    WriteDataFile(bench.data, "User,KVZ3,1", DaysOfUse(3));
    const std::string tarvik = ShellQuoted(ProgramsFolder() / "tarvik") + " --documents " +
                               ShellQuoted(bench.dir / "docs") + " report " +
                               ShellQuoted(bench.data);
    const CommandResult made = RunCommand(tarvik + " --from 02/01/26 --to 03/01/26");
    EXPECT_EQ(made.exitCode, 0);
    EXPECT_EQ(made.output, (bench.folders.ReportsFolder() /
                            "1 KVZ3 User [From 02-01-26 to 03-01-26] [Report].pdf")
                                   .string() +
                               "\n");
    for (const char* wrong : {" --from 03/01/26 --to 02/01/26", " --day 31/02/26",
                              " --month 01/26 --day 02/01/26", " --from 02/01/26"})
        EXPECT_EQ(RunCommand(tarvik + wrong + " 2>/dev/null").exitCode, 2) << wrong;
    const CommandResult none = RunCommand(tarvik + " --month 05/26 2>&1");
    EXPECT_EQ(none.exitCode, 1);
    EXPECT_EQ(none.output, "tarvik: No Data for this Selection\n");
}
