#include "datafile/csv_export.h"
#include "datafile/data_file_header.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

using namespace tarvik;
using tarvik::test::FolderEntries;
using tarvik::test::ReadBytes;
using tarvik::test::TempDir;
using tarvik::test::WriteBytes;

namespace {
const std::string kHeaderRow =
    "Date,Time,Mode,GenModeFrequency,Bargraph,SensitivityLevel,MeasurementType,Depth,"
    "AccelWarningOn,Overload,BladeAngleSign,BladeAngle,PaddleAngleSign,PaddleAngle,SelfTest,"
    "Lat,Long,Alt,Heading,Accuracy,Speed\r\n";
} // namespace

TEST(CsvExport, WritesIdentityHeaderRowsAndEndMarkByteForByteOrFailsLeavingNothing) {
    TempDir dir;
    const auto data = dir / "x.lgd";
    // Date, time, mode, frequency, bargraph, sensitivity, measurement, depth, accel, overload,
    // blade, paddle, self test. Depth 007 keeps its zeros; codes outside the tables are written
    // as stored; a short line gives empty fields; text after the end mark is ignored.
    WriteBytes(data, BuildDataFileHeader() +
                         "Crew,KVZ3,42\r\n0512261403092213004000701+12-05P\r\n" +
                         "06122615000055009904341YN-01+99F\r\n07122616\r\n\x1atrailing text\r\n");
    const auto out = CsvOutputPath(dir.path(), "x.lgd");
    EXPECT_EQ(out, dir.path() / "csv" / "x.lgd.csv");
    const auto rows = [](const char* modeTwo) {
        return "Crew,KVZ3,42\r\n" + kHeaderRow + "05/12/26,14:03:09," + modeTwo +
               ",CF,13,004,None,007,0,1,+,12,-,05,P,,,,,,\r\n"
               "06/12/26,15:00:00,5,5,00,990,4,341,Y,N,-,01,+,99,F,,,,,,\r\n"
               "07/12/26,16::,,,,,,,,,,,,,,,,,,,\r\n\x1a\r\n";
    };
    CsvExportResult result = ExportCsv(data, out, "KVZ3");
    ASSERT_TRUE(result.ok) << result.error;
    EXPECT_EQ(ReadBytes(out), rows("G"));
    // What mode "2" reads as follows the model shown; a second export replaces the first.
    ASSERT_TRUE(ExportCsv(data, out, "NVZ3").ok);
    EXPECT_EQ(ReadBytes(out), rows("T"));

    WriteBytes(data, BuildDataFileHeader() + "A,PVZ3,1\r\n0101270000003000000000000000000P\r\n");
    ASSERT_TRUE(ExportCsv(data, dir / "out" / "one.csv", "PVZ3").ok);
    EXPECT_EQ(ReadBytes(dir / "out" / "one.csv"),
              "A,PVZ3,1\r\n" + kHeaderRow +
                  "01/01/27,00:00:00,A,LF,00,000,None,000,0,0,0,00,0,00,P,,,,,,\r\n\x1a\r\n");

    // A failed export names the file, keeps the old output and leaves no partial file.
    EXPECT_NE(ExportCsv(dir / "missing.lgd", out, "KVZ3").error.find("missing.lgd"),
              std::string::npos);
    WriteBytes(dir / "blocked", "a file"); // the output's folder is a file
    EXPECT_NE(ExportCsv(data, dir / "blocked" / "x.csv", "KVZ3").error.find("blocked"),
              std::string::npos);
    // The output's name is taken by a folder: the rows are written, the last step fails.
    std::filesystem::create_directories(dir / "out" / "x.csv" / "inside");
    result = ExportCsv(data, dir / "out" / "x.csv", "KVZ3");
    EXPECT_FALSE(result.ok);
    EXPECT_NE(result.error.find("x.csv"), std::string::npos);
    EXPECT_EQ(FolderEntries(dir / "out"), (std::set<std::string>{"one.csv", "x.csv"}));
    EXPECT_EQ(FolderEntries(dir / "out" / "x.csv"), std::set<std::string>{"inside"});
    EXPECT_EQ(FolderEntries(dir / "csv"), std::set<std::string>{"x.lgd.csv"});
    EXPECT_EQ(ReadBytes(out), rows("T"));
}
