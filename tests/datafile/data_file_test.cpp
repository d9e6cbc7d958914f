#include "datafile/data_file_header.h"
#include "datafile/data_file_reader.h"
#include "datafile/file_checks.h"
#include "datafile/shared_file_handle.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <functional>

using namespace tarvik;
using tarvik::test::TempDir;
using tarvik::test::WriteBytes;

namespace {
// Fields: date 051226, time 140309, mode 0, frequency 1, bargraph 12, sensitivity 045,
// measurement 1, depth 007, accel 0, overload N, blade +12, paddle -05, self test P.
const std::string kRecordP = "051226140309011204510070N+12-05P";
const std::string kRecordG = "05122614031021330082100YN-01+99G";

template <typename Texts> std::string Joined(const Texts& texts) {
    std::string joined;
    for (const auto& text : texts)
        joined.append(text).append("|");
    return joined.substr(0, joined.size() - 1);
}

std::string File(const std::string& identity, const std::string& body) {
    return BuildDataFileHeader() + identity + "\r\n" + body;
}
} // namespace

TEST(DataFileHeader, IsTheFixedBlockByteForByte) {
    const std::string& h = BuildDataFileHeader();
    EXPECT_EQ(h.substr(0, 23), "//     Date(DDMMYY)\r\n//");
    EXPECT_NE(h.find("\r\n//     GenmodeFrequency\r\n"), std::string::npos);
    EXPECT_NE(h.find("\r\n//     PadleAngle(1)\r\n//     SelfTest\r\n"), std::string::npos);
    EXPECT_NE(h.find("\r\n//     Speed\r\n// Date,Time,Mode,GenModeFrequency,Bargraph(1),"
                     "Bargraph(2),"),
              std::string::npos);
    EXPECT_NE(h.find("PaddleAngle(2),PaddleAngle(1),SelfTest,Lat,Long,Alt,Heading,Accuracy,"
                     "Speed\r\n"),
              std::string::npos);
    std::size_t lines = 0;
    for (std::size_t i = 0; (i = h.find("\r\n", i)) != std::string::npos; i += 2)
        ++lines;
    EXPECT_EQ(lines, 29u);
    EXPECT_EQ(h.size() - h.rfind("\r\n"), 2u);
    EXPECT_EQ(BuildIdentityLine({"Crew 1", "KVZ3", "123"}), "Crew 1,KVZ3,123\r\n");
}

TEST(DataRecord, CutsFieldsAtFixedPositionsAndKeepsLeadingZeros) {
    const DataRecord r = ParseRecordLine(kRecordP + "XYZ"); // past the 32nd: not read
    const std::string_view fields[] = {r.Day(),
                                       r.Month(),
                                       r.Year(),
                                       r.Hours(),
                                       r.Minutes(),
                                       r.Seconds(),
                                       r.Mode(),
                                       r.GenModeFrequency(),
                                       r.Bargraph(),
                                       r.SensitivityLevel(),
                                       r.MeasurementType(),
                                       r.Depth(),
                                       r.AccelWarningOn(),
                                       r.Overload(),
                                       r.BladeAngleSign(),
                                       r.BladeAngle(),
                                       r.PaddleAngleSign(),
                                       r.PaddleAngle(),
                                       r.SelfTest()};
    EXPECT_EQ(Joined(fields), "05|12|26|14|03|09|0|1|12|045|1|007|0|N|+|12|-|05|P");
    EXPECT_EQ(r.Line(), kRecordP);
    EXPECT_EQ(r.YearNumber(), 2026);
    EXPECT_EQ(r.ModeCode(), '0');
    EXPECT_EQ(ParseRecordLine(kRecordG).ModeCode(), '2');
}

TEST(DataRecord, ShortAndDamagedLinesGiveEmptyFieldsAndZeroNumbers) {
    DataRecord r = ParseRecordLine("05x2261");
    EXPECT_EQ(r.Month(), "x2");
    EXPECT_EQ(r.MonthNumber(), 0);
    EXPECT_EQ(r.Hours(), "1");
    EXPECT_EQ(r.Minutes(), "");
    EXPECT_EQ(r.SelfTest(), "");
    EXPECT_EQ(r.ModeCode(), '\0');
    EXPECT_EQ(ParseRecordLine("").DayNumber(), 0);
}

TEST(DataRecord, CodeTablesWithModelAndUnknownCodes) {
    const char* codes[] = {"0", "1", "2", "3", "4", " 1", "x", ""};
    const auto texts = [&](const std::function<std::string(const char*)>& text) {
        std::vector<std::string> shown;
        for (const char* code : codes)
            shown.push_back(text(code));
        return Joined(shown);
    };
    // Mode 2 is the generator on the models that have one, the transmitter on the others.
    // Older files kept the identity reply's "_" fill after the model code.
    for (const char* model : {"KVZ3", "PVZ3", "KVZ3____", "PVZ3_"})
        EXPECT_EQ(texts([&](const char* c) { return ModeLetter(c, model); }), "P|R|G|A|4| 1|x|");
    for (const char* model : {"NVZ3", "XYZ", "", "KVZ3_X__", "____"})
        EXPECT_EQ(texts([&](const char* c) { return ModeLetter(c, model); }), "P|R|T|A|4| 1|x|");
    EXPECT_EQ(texts(FrequencyText), "LF|8KHz|CF|3|4|8KHz|x|");
    EXPECT_EQ(texts(MeasurementText), "None|Line|Sonde|Current|4|Line|x|");
}

TEST(DataFileReader, SplitsAtCrLfOrLoneCrAndStopsAtTheEndMark) {
    const std::string bytes =
        File("User,KVZ3,42", kRecordP + "\r" + kRecordG + "\r\n\x1a" + kRecordP + "\r\n");
    std::vector<std::string> lines;
    DataFileSummary s = ReadDataBytes(bytes, [&](std::string_view line) {
        lines.emplace_back(line);
        return true;
    });
    EXPECT_EQ(s.status, DataFileStatus::Ok);
    EXPECT_EQ(s.identity.user, "User");
    EXPECT_EQ(s.identity.model, "KVZ3");
    EXPECT_EQ(s.identity.serial, "42");
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0], kRecordP);
    EXPECT_EQ(lines[1], kRecordG);

    // The end mark in the middle of a record line ends the data there.
    s = ReadDataBytes(File("U,M,S", kRecordP + "\r\n0512\x1a"), nullptr);
    EXPECT_EQ(s.recordCount, 2u);
}

TEST(DataFileReader, IdentityLineProblems) {
    EXPECT_EQ(ReadDataBytes(BuildDataFileHeader(), nullptr).status, DataFileStatus::NoIdentityLine);
    DataFileSummary s = ReadDataBytes(File("User,KVZ3", kRecordP + "\r\n"), nullptr);
    EXPECT_EQ(s.status, DataFileStatus::DamagedIdentity);
    // A comma in the user text shifts the other fields: the format has no escape for it.
    s = ReadDataBytes(File("Smith, J,KVZ3,42", ""), nullptr);
    EXPECT_EQ(s.identity.model, " J");
    EXPECT_EQ(s.identity.serial, "KVZ3");
}

TEST(FileChecks, HasDataIdentityAndLockOnRealFiles) {
    TempDir dir;
    const auto full = dir / "full.lgd";
    WriteBytes(full, File("Crew,NVZ3,77", kRecordG + "\r\n\x1a"));
    const auto identityOnly = dir / "identity.lgd";
    WriteBytes(identityOnly, File("Crew,NVZ3,77", "\x1a"));
    const auto headerOnly = dir / "header.lgd";
    WriteBytes(headerOnly, BuildDataFileHeader());
    const auto damaged = dir / "damaged.lgd";
    WriteBytes(damaged, File("Crew,NVZ3", kRecordG + "\r\n"));

    EXPECT_TRUE(FileHasData(full));
    EXPECT_FALSE(FileHasData(identityOnly));
    EXPECT_FALSE(FileHasData(headerOnly));
    EXPECT_FALSE(FileHasData(dir / "missing.lgd"));
    EXPECT_TRUE(FileHasData(damaged)); // told apart from "no data" by ReadFileIdentity

    LocatorIdentity id{"old", "old", "old", "fw"};
    EXPECT_EQ(ReadFileIdentity(damaged, id), IdentityReadResult::Damaged);
    EXPECT_EQ(id.user, "old");
    EXPECT_EQ(ReadFileIdentity(full, id), IdentityReadResult::Ok);
    EXPECT_EQ(id.user, "Crew");
    EXPECT_EQ(id.model, "NVZ3");
    EXPECT_EQ(id.serial, "77");
    EXPECT_EQ(id.firmware, "fw");

    EXPECT_FALSE(FileLocked(full));
    EXPECT_TRUE(FileLocked(dir / "missing.lgd"));
    SharedFileHandle file1;
    ASSERT_TRUE(file1.OpenForWriting(dir / "download.lgd"));
    EXPECT_TRUE(FileLocked(dir / "download.lgd"));
    ASSERT_TRUE(file1.Append("abc"));
    // Appended bytes are on disk at once, before the handle is closed.
    EXPECT_EQ(tarvik::test::ReadBytes(dir / "download.lgd"), "abc");
    file1.Close();
    EXPECT_FALSE(FileLocked(dir / "download.lgd"));

    std::string error;
    EXPECT_FALSE(file1.OpenForWriting(dir / "no-such-folder" / "x.lgd", &error));
    EXPECT_FALSE(error.empty());
}

TEST(DataFileReader, LargeFilesReadInBlocksLoseNoLineAtBlockEdges) {
    TempDir dir;
    std::string body;
    // Lines of 32 characters ending alternately in CR LF and a lone CR, so that line ends of
    // every kind fall on block edges somewhere in a file of several blocks.
    for (int i = 0; i < 40000; ++i)
        body += kRecordP + (i % 2 ? "\r\n" : "\r");
    WriteBytes(dir / "big.lgd", File("U,KVZ3,1", body + "\x1a"));
    std::size_t count = 0;
    bool allWhole = true;
    DataFileSummary s = ReadDataFile(dir / "big.lgd", [&](std::string_view line) {
        ++count;
        allWhole = allWhole && line == kRecordP;
        return true;
    });
    EXPECT_EQ(s.status, DataFileStatus::Ok);
    EXPECT_EQ(count, 40000u);
    EXPECT_TRUE(allWhole);
}
