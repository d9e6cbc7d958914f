#include "datafile/data_file_header.h"
#include "datafile/data_file_reader.h"
#include "datafile/data_record.h"
#include "sim/log_generator.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <map>
#include <set>

using namespace tarvik;

TEST(LogGenerator, WritesAFileThatReadsBackAsAWholeDownloadOfRealisticDays) {
    test::TempDir dir;
    const auto file = dir.path() / "new folder" / "log.lgd";
    std::string error;
    ASSERT_TRUE(sim::WriteLogFile(file, {"Crew 4", "NVZ3", "00012345", ""}, {7, 42}, error))
        << error;
    const std::string bytes = test::ReadBytes(file);
    EXPECT_TRUE(bytes.starts_with(BuildDataFileHeader() + "Crew 4,NVZ3,00012345\r\n"));
    EXPECT_EQ(bytes.find(kEndMark), bytes.size() - 1);

    std::set<std::string> days;
    std::map<char, int> modes, selfTests;
    std::string previous;
    const auto summary = ReadDataFile(file, [&](std::string_view line) {
        const DataRecord r = ParseRecordLine(line);
        EXPECT_EQ(line.size(), 32u);
        // Chronological: date then time, compared as a sortable key.
        const std::string key = std::string(r.Year()) + std::string(r.Month()) +
                                std::string(r.Day()) + std::string(line.substr(6, 6));
        EXPECT_LT(previous, key);
        previous = key;
        days.insert(key.substr(0, 6));
        ++modes[line[12]];
        ++selfTests[line[31]];
        return true;
    });
    EXPECT_EQ(summary.status, DataFileStatus::Ok);
    EXPECT_GT(summary.recordCount, 10000u);
    // Most but not all of six weeks are days of use, ending on the last day at the latest.
    EXPECT_TRUE(days.size() > 15u && days.size() < 42u) << days.size();
    EXPECT_LE(previous.substr(0, 6), "261205");
    EXPECT_EQ(modes.size(), 4u); // modes 0 to 3
    EXPECT_TRUE(selfTests['P'] > 0 && selfTests['G'] > 0);
    // A count asked for is met exactly, beyond what the days would hold.
    EXPECT_EQ(sim::GenerateLogText({4, 10, {2026, 12, 5}, 123457}).size(), 123457u * 34u);
}
