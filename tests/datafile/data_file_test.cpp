#include "datafile/csv_export.h"
#include "datafile/data_file_header.h"
#include "datafile/file_checks.h"
#include "datafile/file_label.h"
#include "datafile/shared_file_handle.h"
#include "support/temp_dir.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <tuple>

using namespace tarvik;
using tarvik::test::FolderEntries;
using tarvik::test::TempDir;
using tarvik::test::WriteBytes;

namespace {
// Date 051226, time 140309, mode 0, frequency 1, bargraph 12, sensitivity 045, measurement 1,
// depth 007, accel 0, overload N, blade +12, paddle -05, self test P.
const std::string kRecordP = "051226140309011204510070N+12-05P";
const std::string kRecordG = "05122614031021330082100YN-01+99G";

std::string File(const std::string& identity, const std::string& body) {
    return BuildDataFileHeader() + identity + "\r\n" + body;
}

// Reads `bytes` in blocks of `blockSize`, as a file is read, keeping the record lines.
DataFileSummary Read(std::string_view bytes, std::size_t blockSize,
                     std::vector<std::string>& lines) {
    return ReadDataBlocks(bytes, blockSize, [&](std::string_view line) {
        lines.emplace_back(line);
        return true;
    });
}
} // namespace

TEST(DataFileHeader, IsTheFixedBlockOfCrLfLines) {
    const std::string& h = BuildDataFileHeader();
    EXPECT_TRUE(h.starts_with("//     Date(DDMMYY)\r\n//     Time(HHMMSS)\r\n"));
    for (const char* piece :
         {"\r\n//     GenmodeFrequency\r\n", "\r\n//     PadleAngle(1)\r\n//     SelfTest\r\n",
          "\r\n//     Speed\r\n// Date,Time,Mode,GenModeFrequency,Bargraph(1),Bargraph(2),",
          "PaddleAngle(2),PaddleAngle(1),SelfTest,Lat,Long,Alt,Heading,Accuracy,Speed\r\n"})
        EXPECT_NE(h.find(piece), std::string::npos) << piece;
    // 29 lines, each ended by CR LF.
    EXPECT_EQ(std::pair(std::count(h.begin(), h.end(), '\r'), std::count(h.begin(), h.end(), '\n')),
              std::pair(std::ptrdiff_t{29}, std::ptrdiff_t{29}));
    EXPECT_EQ(BuildIdentityLine({"Crew 1", "KVZ3", "123"}), "Crew 1,KVZ3,123\r\n");
}

TEST(DataRecord, FieldsAtFixedPositionsShortLinesAndCodeTables) {
    const auto fields = [](const DataRecord& r) {
        std::string shown;
        for (std::string_view f :
             {r.Day(), r.Month(), r.Year(), r.Hours(), r.Minutes(), r.Seconds(), r.Mode(),
              r.GenModeFrequency(), r.Bargraph(), r.SensitivityLevel(), r.MeasurementType(),
              r.Depth(), r.AccelWarningOn(), r.Overload(), r.BladeAngleSign(), r.BladeAngle(),
              r.PaddleAngleSign(), r.PaddleAngle(), r.SelfTest()})
            shown.append(f).append("|");
        return shown;
    };
    const DataRecord r = ParseRecordLine(kRecordP + "XYZ"); // past the 32nd: not read
    EXPECT_EQ(fields(r), "05|12|26|14|03|09|0|1|12|045|1|007|0|N|+|12|-|05|P|");
    EXPECT_EQ(r.Line(), kRecordP);
    EXPECT_EQ(std::pair(r.YearNumber(), ParseRecordLine(kRecordG).ModeCode()),
              std::pair(2026, '2'));
    // A short or damaged line: empty fields where it has no characters, numbers 0.
    const DataRecord s = ParseRecordLine("05x2261");
    EXPECT_EQ(fields(s), "05|x2|26|1||||||||||||||||");
    EXPECT_EQ(std::tuple(s.DayNumber(), s.MonthNumber(), s.ModeCode()), std::tuple(5, 0, '\0'));

    const auto texts = [](auto text) {
        std::string shown;
        for (const char* code : {"0", "1", "2", "3", "4", " 1", "x", ""})
            shown.append(text(code)).append("|");
        return shown;
    };
    // Mode 2 is the generator on the models that have one, the transmitter on the others.
    // Older files kept the identity reply's "_" fill after the model code.
    for (const char* model : {"KVZ3", "PVZ3", "KVZ3____", "PVZ3_"})
        EXPECT_EQ(texts([&](const char* c) { return ModeLetter(c, model); }), "P|R|G|A|4| 1|x||");
    for (const char* model : {"NVZ3", "XYZ", "", "KVZ3_X__", "____"})
        EXPECT_EQ(texts([&](const char* c) { return ModeLetter(c, model); }), "P|R|T|A|4| 1|x||");
    EXPECT_EQ(texts(FrequencyText), "LF|8KHz|CF|3|4|8KHz|x||");
    EXPECT_EQ(texts(MeasurementText), "None|Line|Sonde|Current|4|Line|x||");
}

TEST(DataFileReader, LinesEndAtCrLfCrOrLfInAnyBlockAndTheEndMarkEndsTheData) {
    // The blank line is no record; the end mark ends the data, also inside a record line; a
    // record line is read to its 32 characters, also when it straddles many blocks.
    const std::string longRecord = kRecordP + std::string(100000, '9');
    const std::string bytes = File("User,KVZ3,42", kRecordP + "\r" + kRecordG + "\n" + longRecord +
                                                       "\r\n\r\n0512\x1a" + kRecordP + "\r\n");
    for (std::size_t block : {bytes.size(), std::size_t{4096}, std::size_t{7}, std::size_t{1}}) {
        std::vector<std::string> lines;
        const DataFileSummary s = Read(bytes, block, lines);
        EXPECT_EQ(lines, (std::vector<std::string>{kRecordP, kRecordG, kRecordP, "0512"})) << block;
        EXPECT_EQ(s.status, DataFileStatus::Ok);
        EXPECT_EQ(s.identity.user + s.identity.model + s.identity.serial, "UserKVZ342");
    }
    EXPECT_EQ(ReadDataBytes(BuildDataFileHeader(), nullptr).status, DataFileStatus::NoIdentityLine);
    EXPECT_EQ(ReadDataBytes(File("User,KVZ3", kRecordP), nullptr).status,
              DataFileStatus::DamagedIdentity);
    // A comma in the user text shifts the other fields: the format has no escape for it.
    const DataFileSummary s = ReadDataBytes(File("Smith, J,KVZ3,42", ""), nullptr);
    EXPECT_EQ(s.identity.model + "|" + s.identity.serial, " J|KVZ3");
    // An identity line of 64 KiB is one; a longer one is damaged and ends the reading there.
    const std::string longest(kMaxIdentityLineLength - 4, 'u');
    std::vector<std::string> lines;
    EXPECT_EQ(Read(File(longest + ",K,7", kRecordP), 1000, lines).identity.user, longest);
    const DataFileSummary tooLong = Read(File(longest + "u,K,7", kRecordP), 1000, lines);
    EXPECT_EQ(tooLong.status, DataFileStatus::DamagedIdentity);
    EXPECT_TRUE(tooLong.identityTooLong);
    EXPECT_EQ(lines, std::vector<std::string>{kRecordP}); // from the first file only
}

TEST(FileChecks, OpeningChecksTellEveryProblemApart) {
    TempDir dir;
    struct Case {
        const char* name;
        std::string bytes;
        DataFileStatus status;
        bool hasData, identityRead;
    };
    // A damaged identity line is told apart from "no data" when records follow it.
    const Case cases[] = {
        {"full", File("Crew,NVZ3,77", kRecordG + "\r\n\x1a"), DataFileStatus::Ok, true, true},
        {"identity", File("Crew,NVZ3,77", "\x1a"), DataFileStatus::NoRecord, false, true},
        {"header", BuildDataFileHeader(), DataFileStatus::NoIdentityLine, false, false},
        {"damaged", File("Crew,NVZ3", kRecordG), DataFileStatus::DamagedIdentity, true, false},
        {"damaged-empty", File("Crew,NVZ3", ""), DataFileStatus::NoRecord, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        WriteBytes(dir / c.name, c.bytes);
        LocatorIdentity checked{"old", "old", "old", "fw"}, read = checked;
        EXPECT_EQ(CheckDataFile(dir / c.name, checked), c.status);
        EXPECT_EQ(FileHasData(dir / c.name), c.hasData);
        EXPECT_EQ(ReadFileIdentity(dir / c.name, read) == IdentityReadResult::Ok, c.identityRead);
        EXPECT_EQ(checked.user + "|" + read.user + read.model + read.serial + read.firmware,
                  std::string(c.status == DataFileStatus::Ok ? "Crew|" : "old|") +
                      (c.identityRead ? "CrewNVZ377fw" : "oldoldoldfw"));
    }
    LocatorIdentity identity;
    EXPECT_EQ(CheckDataFile(dir / "missing", identity), DataFileStatus::Unreadable);
    EXPECT_FALSE(FileHasData(dir / "missing"));
    EXPECT_NE(DataFileProblemText(DataFileStatus::Unreadable),
              DataFileProblemText(DataFileStatus::NotAFile));
    EXPECT_EQ(DataFileProblemText(DataFileStatus::NoRecord), kNoDataMessage);
    EXPECT_EQ(DataFileProblemText(DataFileStatus::DamagedIdentity), DamagedIdentityMessage());
}

TEST(FileChecks, FileNumberOneLocksItsFileAndWritesThrough) {
    TempDir dir;
    EXPECT_TRUE(FileLocked(dir / "missing.lgd"));
    SharedFileHandle file1;
    ASSERT_TRUE(file1.OpenForWriting(dir / "download.lgd"));
    EXPECT_TRUE(FileLocked(dir / "download.lgd"));
    ASSERT_TRUE(file1.Append("abc"));
    EXPECT_EQ(tarvik::test::ReadBytes(dir / "download.lgd"), "abc"); // before the close
    file1.Close();
    EXPECT_FALSE(FileLocked(dir / "download.lgd"));
    std::string error;
    EXPECT_FALSE(file1.OpenForWriting(dir / "no-such-folder" / "x.lgd", &error));
    EXPECT_FALSE(error.empty());
}

TEST(HostileFiles, PipesDevicesFoldersHugeFilesAndTheLoadersCap) {
    TempDir dir;
    const auto fifo = dir / "pipe.lgd";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    std::string bytes;
    // A pipe with no writer would block an ordinary reader for ever.
    for (const std::filesystem::path& file :
         {fifo, dir.path(), std::filesystem::path("/dev/zero")}) {
        EXPECT_EQ(ReadDataFile(file, nullptr).status, DataFileStatus::NotAFile) << file;
        LocatorIdentity identity;
        EXPECT_EQ(CheckDataFile(file, identity), DataFileStatus::NotAFile) << file;
        EXPECT_FALSE(LoadDataFileBytes(file, bytes));
    }
    const CsvExportResult result = ExportCsv(fifo, dir / "out" / "pipe.csv", "KVZ3");
    EXPECT_NE(result.error.find("not a data file"), std::string::npos) << result.error;
    EXPECT_TRUE(FolderEntries(dir / "out").empty());

    WriteBytes(dir / "reply.tmp", std::string(2000, 'x') + "\x1a" + std::string(5000, 'y'));
    EXPECT_TRUE(LoadDataFileBytes(dir / "reply.tmp", bytes, 2001));
    EXPECT_EQ(bytes, std::string(2000, 'x') + "\x1a");
    EXPECT_FALSE(LoadDataFileBytes(dir / "reply.tmp", bytes, 2000));
    EXPECT_TRUE(bytes.empty());

    const auto sparse = dir / "sparse.lgd";
    WriteBytes(sparse, "");
    std::error_code ec;
    std::filesystem::resize_file(sparse, std::uintmax_t{64} << 30, ec);
    if (ec)
        GTEST_SKIP() << "no sparse files here: " << ec.message();
    // 64 GiB of zero bytes make one line: an identity line far too long, told as damaged.
    EXPECT_TRUE(ReadDataFile(sparse, nullptr).identityTooLong);
    LocatorIdentity identity;
    EXPECT_EQ(CheckDataFile(sparse, identity), DataFileStatus::DamagedIdentity);
    EXPECT_TRUE(FileHasData(sparse)); // so that opening reports the damaged identity line
    EXPECT_FALSE(ExportCsv(sparse, dir / "sparse.csv", "KVZ3").ok);
    EXPECT_FALSE(LoadDataFileBytes(sparse, bytes)); // past the cap, not 64 GiB in memory
    EXPECT_FALSE(std::filesystem::exists(dir / "sparse.csv"));
}

TEST(FileLabel, TheDayKindAndLocatorTextsThatCannotLeaveTheFolder) {
    const DateTime now{2026, 12, 5, 9, 4, 7};
    FileLabelDetails day{.day = "03", .month = "12", .year = "26"};
    EXPECT_EQ(BuildFileLabel(FileLabelKind::DAY, {"  Crew 7 ", " KVZ3", "12345678 ", ""}, now, day),
              "12345678 KVZ3 Crew 7 [on 03-12-26] [05122026090407] [Day]");
    const LocatorIdentity hostile{"../../etc/pass\\wd:*?", "K/Z3", "1|2<3>\"", ""};
    EXPECT_EQ(BuildFileLabel(FileLabelKind::DA, hostile, now),
              "1_2_3__ K_Z3 .._.._etc_pass_wd___ [All] [05122026090407]");
    EXPECT_EQ(SafeFileName("..") + SafeFileName("a\tb"), "__a_b");
}
