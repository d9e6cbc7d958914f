#include "datafile/data_file_header.h"
#include "datafile/data_file_reader.h"
#include "datafile/data_record.h"
#include "sim/log_generator.h"
#include "support/temp_dir.h"
#include "support/test_environment.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <map>
#include <set>

#include <sys/wait.h>

using namespace tarvik;
using tarvik::sim::LogOptions;

TEST(LogGenerator, WritesAFileThatReadsBackAsAWholeDownload) {
    test::TempDir dir;
    const auto file = dir.path() / "new folder" / "log.lgd";
    const LocatorIdentity identity{"Crew 4", "NVZ3", "00012345", ""};
    LogOptions options;
    options.seed = 7;
    options.days = 42;
    std::string error;
    ASSERT_TRUE(sim::WriteLogFile(file, identity, options, error)) << error;

    const std::string bytes = test::ReadBytes(file);
    EXPECT_EQ(bytes.rfind(BuildDataFileHeader() + "Crew 4,NVZ3,00012345\r\n", 0), 0u);
    EXPECT_EQ(bytes.back(), kEndMark);
    EXPECT_EQ(bytes.find(kEndMark), bytes.size() - 1);

    std::set<std::string> days;
    std::map<char, int> modes, selfTests;
    std::string previous;
    const auto summary = ReadDataFile(file, [&](std::string_view line) {
        EXPECT_EQ(line.size(), 32u);
        const DataRecord r = ParseRecordLine(line);
        EXPECT_GE(r.DayNumber(), 1);
        EXPECT_LE(r.MonthNumber(), 12);
        EXPECT_EQ(r.YearNumber(), 2026);
        // Chronological order: date then time, compared as a sortable key.
        const std::string key = std::string(r.Year()) + std::string(r.Month()) +
                                std::string(r.Day()) + std::string(line.substr(6, 6));
        EXPECT_LT(previous, key);
        previous = key;
        days.insert(std::string(line.substr(0, 6)));
        ++modes[line[12]];
        ++selfTests[line[31]];
        return true;
    });
    EXPECT_EQ(summary.status, DataFileStatus::Ok);
    EXPECT_EQ(summary.identity.model, "NVZ3");
    EXPECT_GT(summary.recordCount, 10000u);
    // Most but not all of six weeks are days of use, ending on the last day at the latest.
    EXPECT_GT(days.size(), 15u);
    EXPECT_LT(days.size(), 42u);
    EXPECT_LE(previous.substr(0, 6), "261205");
    for (char mode : {'0', '1', '2', '3'})
        EXPECT_GT(modes[mode], 0) << mode;
    EXPECT_GT(selfTests['P'], 0);
    EXPECT_GT(selfTests['G'], 0);
    EXPECT_EQ(modes.size(), 4u);
}

TEST(LogGenerator, IsTheSameForASeedAndGivesExactCounts) {
    LogOptions a;
    a.seed = 3;
    a.days = 10;
    LogOptions b = a;
    EXPECT_EQ(sim::GenerateLogText(a), sim::GenerateLogText(b));
    b.seed = 4;
    EXPECT_NE(sim::GenerateLogText(a), sim::GenerateLogText(b));

    LogOptions counted;
    counted.recordCount = 123457; // more than ten days hold
    counted.days = 10;
    const std::string text = sim::GenerateLogText(counted);
    EXPECT_EQ(text.size(), 123457u * 34u);
}

TEST(LogGenerator, TheProgramWritesTheSampleOfRun) {
    test::TempDir dir;
    const auto file = dir.path() / "sample" / "12345678 KVZ3 Sample crew [All].lgd";
    const std::string command = (test::ProgramsFolder() / "tarvik-locator-sim").string() +
                                " --write-log '" + file.string() +
                                "' --days 3 --seed 7 --model KVZ3 --serial 12345678 --user "
                                "'Sample crew' > /dev/null";
    ASSERT_EQ(std::system(command.c_str()), 0);
    DataFileSummary summary = ReadDataFile(file, [](std::string_view) { return true; });
    EXPECT_EQ(summary.identityLine, "Sample crew,KVZ3,12345678");

    const std::string bad = (test::ProgramsFolder() / "tarvik-locator-sim").string() +
                            " --write-log x --days many 2> /dev/null";
    EXPECT_EQ(WEXITSTATUS(std::system(bad.c_str())), 2);
}
