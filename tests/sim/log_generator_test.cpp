#include "datafile/data_file_header.h"
#include "datafile/data_file_reader.h"
#include "sim/log_generator.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

using namespace tarvik;

TEST(LogGenerator, WritesAWholeDownloadOfRecordsOldestFirstAndMeetsACountExactly) {
    test::TempDir dir;
    const auto file = dir.path() / "new folder" / "log.lgd";
    std::string error;
    ASSERT_TRUE(sim::WriteLogFile(file, {"Crew 4", "NVZ3", "00012345", ""}, {7, 42}, error))
        << error;
    const std::string bytes = test::ReadBytes(file);
    EXPECT_TRUE(bytes.starts_with(BuildDataFileHeader() + "Crew 4,NVZ3,00012345\r\n"));
    EXPECT_EQ(bytes.find(kEndMark), bytes.size() - 1);
    std::string previous; // yymmddhhmmss
    const auto summary = ReadDataFile(file, [&](std::string_view view) {
        const std::string line(view);
        const std::string key =
            line.substr(4, 2) + line.substr(2, 2) + line.substr(0, 2) + line.substr(6, 6);
        EXPECT_LT(previous, key);
        previous = key;
        return true;
    });
    EXPECT_EQ(summary.status, DataFileStatus::Ok);
    EXPECT_EQ(sim::GenerateLogText({4, 10, {2026, 12, 5}, 123457}).size(), 123457u * 34u);
}
