#include "datafile/csv_export.h"
#include "datafile/data_file_header.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

using namespace tarvik;
using tarvik::test::ReadBytes;
using tarvik::test::TempDir;
using tarvik::test::WriteBytes;

namespace {
const std::string kHeaderRow =
    "Date,Time,Mode,GenModeFrequency,Bargraph,SensitivityLevel,MeasurementType,Depth,"
    "AccelWarningOn,Overload,BladeAngleSign,BladeAngle,PaddleAngleSign,PaddleAngle,SelfTest,"
    "Lat,Long,Alt,Heading,Accuracy,Speed\r\n";
}

TEST(CsvExport, WritesIdentityHeaderRowsAndEndMarkByteForByte) {
    TempDir dir;
    const auto data = dir / "x.lgd";
    WriteBytes(data, BuildDataFileHeader() + "Crew,KVZ3,42\r\n" +
                         // generator mode, depth 007 keeps its zeros
                         "051226"
                         "140309"
                         "2"
                         "2"
                         "13"
                         "004"
                         "0"
                         "007"
                         "0"
                         "1"
                         "+"
                         "12"
                         "-"
                         "05"
                         "P\r\n"
                         // codes outside the tables are written as stored
                         "061226"
                         "150000"
                         "5"
                         "5"
                         "00"
                         "990"
                         "4"
                         "341"
                         "Y"
                         "N"
                         "-"
                         "01"
                         "+"
                         "99"
                         "F\r\n"
                         // a short line gives empty fields
                         "07122616\r\n"
                         "\x1a"
                         "trailing text is ignored\r\n");
    const auto out = CsvOutputPath(dir.path(), "x.lgd");
    EXPECT_EQ(out, dir.path() / "csv" / "x.lgd.csv");

    CsvExportResult result = ExportCsv(data, out, "KVZ3");
    ASSERT_TRUE(result.ok) << result.error;
    const std::string expected = "Crew,KVZ3,42\r\n" + kHeaderRow +
                                 "05/12/26,14:03:09,G,CF,13,004,None,007,0,1,+,12,-,05,P,,,,,,\r\n"
                                 "06/12/26,15:00:00,5,5,00,990,4,341,Y,N,-,01,+,99,F,,,,,,\r\n"
                                 "07/12/26,16::,,,,,,,,,,,,,,,,,,,\r\n"
                                 "\x1a\r\n";
    EXPECT_EQ(ReadBytes(out), expected);

    // What mode "2" reads as follows the model shown; a second export replaces the first.
    result = ExportCsv(data, out, "NVZ3");
    ASSERT_TRUE(result.ok);
    EXPECT_EQ(ReadBytes(out).find(",G,CF,"), std::string::npos);
    EXPECT_NE(ReadBytes(out).find("14:03:09,T,CF,"), std::string::npos);
}

TEST(CsvExport, OneRecordGivesFourLines) {
    TempDir dir;
    WriteBytes(dir / "one.lgd",
               BuildDataFileHeader() + "A,PVZ3,1\r\n" + "0101270000003000000000000000000P\r\n\x1a");
    auto result = ExportCsv(dir / "one.lgd", dir / "out" / "one.csv", "PVZ3");
    ASSERT_TRUE(result.ok);
    const std::string text = ReadBytes(dir / "out" / "one.csv");
    std::size_t lines = 0;
    for (std::size_t i = 0; (i = text.find("\r\n", i)) != std::string::npos; i += 2)
        ++lines;
    EXPECT_EQ(lines, 4u);
}

TEST(CsvExport, FailuresNameTheFileAndLeaveTheOldOutput) {
    TempDir dir;
    auto result = ExportCsv(dir / "missing.lgd", dir / "out.csv", "KVZ3");
    EXPECT_FALSE(result.ok);
    EXPECT_NE(result.error.find("missing.lgd"), std::string::npos);

    WriteBytes(dir / "x.lgd", BuildDataFileHeader() + "A,PVZ3,1\r\n\x1a");
    // The output's folder is a file, so nothing can be written there.
    WriteBytes(dir / "blocked", "a file");
    result = ExportCsv(dir / "x.lgd", dir / "blocked" / "x.csv", "KVZ3");
    EXPECT_FALSE(result.ok);
    EXPECT_FALSE(result.error.empty());
}
