#include "datafile/file_checks.h"
#include "pdf/pdf_test_support.h"
#include "report/usage_report.h"
#include "report/usage_report_data.h"
#include "selftest/file_size_limit.h"
#include "support/test_environment.h"
#include "viewer/record_fixtures.h"
#include "viewer/record_selection.h"

#include <gtest/gtest.h>

#include <chrono>
#include <regex>

using namespace tarvik;
using namespace tarvik::test;

namespace {

std::string Record(const std::string& date, const std::string& time, char mode, char selfTest) {
    return RecordLine({.date = date, .time = time, .mode = mode, .selfTest = selfTest});
}

// `count` days from 1 January 2026 with varied modes; a fail on every fifth from the second.
std::vector<std::string> DaysOfUse(int count) {
    std::vector<std::string> lines;
    for (int i = 0; i < count; ++i) {
        using namespace std::chrono;
        const year_month_day day{sys_days{January / 1 / 2026} + days{i}};
        char date[8];
        std::snprintf(date, sizeof date, "%02u%02u%02d", unsigned(day.day()), unsigned(day.month()),
                      int(day.year()) % 100);
        const auto records =
            Concatenated({RecordsOnDay(date, '0', 60 + i * 37 % 500, 7 * 3600),
                          RecordsOnDay(date, '2', i * 13 % 300, 9 * 3600),
                          RecordsOnDay(date, '3', i % 4 == 0 ? 45 : 0, (24 * 60 - 1) * 60),
                          RecordsOnDay(date, '1', i % 40 == 0 ? 3700 : 0, 12 * 3600),
                          {Record(date, "180000", '0', i % 5 == 1 ? 'F' : 'P')}});
        lines.insert(lines.end(), records.begin(), records.end());
    }
    return lines;
}

// The lines of pdftotext's layout that start with `start`, each with its spaces collapsed.
std::string Lines(const std::string& text, const std::string& start) {
    const std::string flat = std::regex_replace(text, std::regex("[ \t]+"), " ");
    const std::regex line("\n ?((?:" + start + ")[^\n]*)");
    std::string lines;
    for (std::sregex_iterator m(flat.begin(), flat.end(), line), end; m != end; ++m)
        lines += (*m)[1].str() + "\n";
    return lines;
}
const char* const kDayRow = R"(\d\d/\d\d/\d\d \d+:)";

class UsageReportTest : public ::testing::Test {
protected:
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

} // namespace

// Days out of order in the file, across months and a year; a mode the toolkit does not know,
// an unreadable time, and the self-test letters of each day read as the lookup reads them.
TEST_F(UsageReportTest, EachDayIsARowInDateOrderAndEachPeriodHoldsOnlyItsDays) {
    const std::string user = std::string(30, 'W') + " " + std::string(29, 'M');
    WriteDataFile(
        data, user + ",NVZ3,9",
        Concatenated({RecordsOnDay("031226", '1', 30, 10 * 3600),
                      RecordsOnDay("011226", '0', 90, 8 * 3600 + 59 * 60 + 30),
                      RecordsOnDay("011226", '2', 20, 7 * 3600),
                      {Record("011226", "2x0000", '9', 'G')},
                      RecordsOnDay("151126", '3', 5),
                      {Record("150127", "120000", '3', 'G'), Record("021226", "080000", '0', 'P'),
                       Record("021226", "090000", '0', 'F'), Record("041226", "080000", '0', 'P'),
                       Record("041226", "090000", '0', 'X'), Record("051226", "080000", '0', 'X'),
                       Record("051226", "090000", '0', 'P')}}));
    const UsageReportResult all = Write(ReportPeriod::All());
    ASSERT_TRUE(all.file) << all.error;
    EXPECT_EQ(all.file->filename(), "9 NVZ3 " + user + " [All] [Report].pdf");
    const std::string text = PdfToText(*all.file);
    EXPECT_EQ(Lines(text, "Period|(Power|Radio|Transmitter|Sweep|Total)\\s+\\d|Records|" +
                              std::string(kDayRow)),
              R"(Period All records (15/11/26 to 15/01/27), 7 days with records
Power 0 Hrs 1 Mins 36 Secs 63.2 %
Radio 0 Hrs 0 Mins 30 Secs 19.7 %
Transmitter 0 Hrs 0 Mins 20 Secs 13.2 %
Sweep 0 Hrs 0 Mins 6 Secs 3.9 %
Total 0 Hrs 2 Mins 32 Secs 100.0 %
Records: 153
15/11/26 0:00:00 0:00:00 0:00:00 0:00:05 0:00:05 08:00:00 08:00:04 No test
01/12/26 0:01:30 0:00:00 0:00:20 0:00:00 0:01:50 07:00:00 09:00:59 No test
02/12/26 0:00:02 0:00:00 0:00:00 0:00:00 0:00:02 08:00:00 09:00:00 Fail
03/12/26 0:00:00 0:00:30 0:00:00 0:00:00 0:00:30 10:00:00 10:00:29 No test
04/12/26 0:00:02 0:00:00 0:00:00 0:00:00 0:00:02 08:00:00 09:00:00 No test *
05/12/26 0:00:02 0:00:00 0:00:00 0:00:00 0:00:02 08:00:00 09:00:00 Pass 09:00:00 *
15/01/27 0:00:00 0:00:00 0:00:00 0:00:01 0:00:01 12:00:00 12:00:00 No test
)");
    // The strip of 1 December: 07:00 in the transmitter's mode, 08:59 and 09:00 in Power.
    const auto modes = GatherUsageReport(data, ReportPeriod::All()).days[1].MinuteModes();
    EXPECT_EQ(std::vector<int>({modes[7 * 60], modes[8 * 60 + 59], modes[9 * 60]}),
              std::vector<int>({2, 0, 0}));
    EXPECT_EQ(std::count(modes.begin(), modes.end(), kNoUse), kMinutesPerDay - 3);

    // The user text wraps onto a second line inside the page.
    std::vector<WordBox> words;
    for (const WordBox& box : WordBoxes(*all.file))
        if (box.word.find_first_not_of("WM") == std::string::npos && box.yMin < 150)
            words.push_back(box);
    EXPECT_TRUE(words.size() == 2 && words[0].word + " " + words[1].word == user &&
                words[1].yMin > words[0].yMax && words[0].xMax < 556 && words[1].xMax < 556);

    const struct {
        ReportPeriod period;
        std::string label, heading;
    } periods[] = {
        {ReportPeriod::Day({2, 12, 26}), "Day 02-12-26", "Day 02/12/26, 1 day with records"},
        {ReportPeriod::Month(12, 26), "Month 12-26",
         "Month 12/26 (01/12/26 to 05/12/26), 5 days with records"},
        {ReportPeriod::Range({15, 11, 26}, {1, 12, 26}), "From 15-11-26 to 01-12-26",
         "From 15/11/26 to 01/12/26, 2 days with records"},
    };
    for (const auto& c : periods) {
        const auto result = Write(c.period);
        ASSERT_TRUE(result.file) << result.error;
        EXPECT_EQ(result.file->filename(), "9 NVZ3 " + user + " [" + c.label + "] [Report].pdf");
        EXPECT_EQ(Lines(PdfToText(*result.file), "Period"), "Period " + c.heading + "\n");
    }

    // The command prints the path, and refuses a wrong or empty period.
    const std::string tarvik = ShellQuoted(ProgramsFolder() / "tarvik") + " --documents " +
                               ShellQuoted(dir / "docs") + " report " + ShellQuoted(data);
    const CommandResult made = RunCommand(tarvik + " --day 01/12/26");
    EXPECT_EQ(std::to_string(made.exitCode) + " " + made.output,
              "0 " +
                  (folders.ReportsFolder() / ("9 NVZ3 " + user + " [Day 01-12-26] [Report].pdf"))
                      .string() +
                  "\n");
    for (const char* wrong : {" --from 03/01/26 --to 02/01/26", " --day 31/02/26",
                              " --month 01/26 --day 02/01/26", " --from 02/01/26"})
        EXPECT_EQ(RunCommand(tarvik + wrong + " 2>/dev/null").exitCode, 2) << wrong;
    const CommandResult none = RunCommand(tarvik + " --month 05/26 2>&1");
    EXPECT_EQ(std::to_string(none.exitCode) + " " + none.output,
              "1 tarvik: No Data for this Selection\n");
}

TEST_F(UsageReportTest, FourHundredDaysReadBackAsTheViewerTotalsThemOnNumberedPages) {
    WriteDataFile(data, "Depot North crew 4,PVZ3,4242", DaysOfUse(400));
    const UsageReportResult result = Write(ReportPeriod::All());
    ASSERT_TRUE(result.file) << result.error;
    EXPECT_TRUE(QpdfClean(*result.file));
    // pdftoppm draws every page without a complaint.
    EXPECT_EQ(RunTool("pdftoppm -r 12 -png " + ShellQuoted(*result.file) + " " +
                      ShellQuoted(dir / "page"))
                  .output,
              "");
    const int pages = PageCount(*result.file);
    EXPECT_GT(pages, 10);
    const auto seconds = [](const std::string& clock) {
        return std::stoull(clock) * 3600 + std::stoull(clock.substr(clock.find(':') + 1)) * 60 +
               std::stoull(clock.substr(clock.rfind(':') + 1));
    };

    // Every day has its row; a sample of them equals the viewer's totals of that day.
    const std::string text = PdfToText(*result.file);
    std::istringstream rows(Lines(text, kDayRow));
    std::size_t row = 0;
    for (std::string line; std::getline(rows, line); ++row) {
        EXPECT_EQ(line.ends_with(" Fail"), row % 5 == 1) << line;
        if (row % 16 != 0 && row != 399)
            continue;
        const SelectedRecords viewer =
            ReadSelection(data, RecordSelection::Day(std::stoi(line), std::stoi(line.substr(3)),
                                                     std::stoi(line.substr(6))));
        std::istringstream fields(line.substr(9));
        std::string field;
        for (std::size_t mode = 0; mode < 5 && fields >> field; ++mode)
            EXPECT_EQ(seconds(field), mode < 4 ? viewer.usage.seconds[mode] : viewer.usage.Total())
                << line;
    }
    EXPECT_EQ(row, 400u);

    // Every page has its number, the header and the table's header with the model's mode word.
    std::string footers;
    for (int page = 1; page <= pages; ++page)
        footers += "Page " + std::to_string(page) + " of " + std::to_string(pages) + "\n";
    EXPECT_EQ(Lines(text, "Page "), footers);
    for (const char* header : {"Locator Usage Report", "Serial number 4242",
                               "Date Power Radio Generator Sweep Total First Last Self test"})
        EXPECT_EQ(CountOf(Lines(text, header), header), static_cast<size_t>(pages)) << header;
}

TEST_F(UsageReportTest, BadInputGetsAMessageAndNoDocumentAndNothingIsReplaced) {
    const std::vector<std::string> records = RecordsOnDay("051226", '0', 10);
    for (const auto& [identity, lines, error] :
         {std::tuple{"User,KVZ3,1", std::vector<std::string>{},
                     data.string() + ": " + kNoDataMessage},
          {"User KVZ3", records, data.string() + ": " + DamagedIdentityMessage()},
          {"User,KVZ3,1", records, std::string("No Data for this Selection")}}) {
        WriteDataFile(data, identity, lines);
        EXPECT_EQ(Write(ReportPeriod::Month(11, 26)).error, error);
    }
    EXPECT_TRUE(!std::filesystem::exists(folders.ReportsFolder()) ||
                std::filesystem::is_empty(folders.ReportsFolder()));

    // A folder that is a file, or a full disk, leave what is there as it was.
    WriteBytes(dir / "plain", "not a folder");
    WriteBytes(dir / "mine.pdf", "kept");
    const auto blocked = Write(ReportPeriod::All(), dir / "plain" / "r.pdf");
    const auto tooBig =
        UnderFileSizeLimit(4096, [this] { return Write(ReportPeriod::All(), dir / "mine.pdf"); });
    EXPECT_EQ(Write(ReportPeriod::All(), dir / "out" / "r.pdf").file, dir / "out" / "r.pdf");
    for (const auto& failed : {blocked, tooBig})
        EXPECT_NE(failed.error.find("could not be written"), std::string::npos) << failed.error;
    EXPECT_FALSE(std::filesystem::exists(dir / "~mine.pdf.tmp"));
    EXPECT_EQ(ReadBytes(dir / "plain") + ReadBytes(dir / "mine.pdf"), "not a folderkept");
    // An earlier report is never replaced, nor a temporary file a crash left behind.
    Write(ReportPeriod::All());
    const auto stale = folders.ReportsFolder() / "~1 KVZ3 User [All] [Report].pdf.tmp";
    WriteBytes(stale, "stale");
    EXPECT_EQ(Write(ReportPeriod::All()).file.value_or("").filename(),
              "1 KVZ3 User [All] [Report] (2).pdf");
    EXPECT_EQ(ReadBytes(stale), "stale");
}
