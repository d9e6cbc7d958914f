#include "datafile/csv_export.h"
#include "datafile/data_file_header.h"
#include "datafile/data_file_reader.h"
#include "datafile/file_checks.h"
#include "datafile/shared_file_handle.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>
#include <set>
#include <sys/stat.h>

using namespace tarvik;
using tarvik::test::FolderEntries;
using tarvik::test::TempDir;
using tarvik::test::WriteBytes;

namespace {
// Fields: date 051226, time 140309, mode 0, frequency 1, bargraph 12, sensitivity 045,
// measurement 1, depth 007, accel 0, overload N, blade +12, paddle -05, self test P.
const std::string kRecordP = "051226140309011204510070N+12-05P";
const std::string kRecordG = "05122614031021330082100YN-01+99G";

std::string File(const std::string& identity, const std::string& body) {
    return BuildDataFileHeader() + identity + "\r\n" + body;
}

// The record lines of `bytes` read in blocks of `blockSize`, as a file is read.
std::vector<std::string> Lines(std::string_view bytes, std::size_t blockSize,
                               DataFileSummary* summary = nullptr) {
    std::vector<std::string> lines;
    const DataFileSummary s = ReadDataBlocks(bytes, blockSize, [&](std::string_view line) {
        lines.emplace_back(line);
        return true;
    });
    if (summary)
        *summary = s;
    return lines;
}

} // namespace

TEST(DataFileHeader, IsTheFixedBlock) {
    const std::string& h = BuildDataFileHeader();
    EXPECT_EQ(h.rfind("//     Date(DDMMYY)\r\n//     Time(HHMMSS)\r\n", 0), 0u);
    for (const char* piece :
         {"\r\n//     GenmodeFrequency\r\n", "\r\n//     PadleAngle(1)\r\n//     SelfTest\r\n",
          "\r\n//     Speed\r\n// Date,Time,Mode,GenModeFrequency,Bargraph(1),Bargraph(2),",
          "PaddleAngle(2),PaddleAngle(1),SelfTest,Lat,Long,Alt,Heading,Accuracy,Speed\r\n"})
        EXPECT_NE(h.find(piece), std::string::npos) << piece;
    std::size_t lines = 0;
    for (std::size_t i = 0; (i = h.find("\r\n", i)) != std::string::npos; i += 2)
        ++lines;
    EXPECT_EQ(lines, 29u);
    EXPECT_EQ(h.size() - h.rfind("\r\n"), 2u);
    EXPECT_EQ(BuildIdentityLine({"Crew 1", "KVZ3", "123"}), "Crew 1,KVZ3,123\r\n");
}

TEST(DataRecord, FieldsAtFixedPositionsShortLinesAndCodeTables) {
    const DataRecord r = ParseRecordLine(kRecordP + "XYZ"); // past the 32nd: not read
    std::string fields;
    for (std::string_view f :
         {r.Day(), r.Month(), r.Year(), r.Hours(), r.Minutes(), r.Seconds(), r.Mode(),
          r.GenModeFrequency(), r.Bargraph(), r.SensitivityLevel(), r.MeasurementType(), r.Depth(),
          r.AccelWarningOn(), r.Overload(), r.BladeAngleSign(), r.BladeAngle(), r.PaddleAngleSign(),
          r.PaddleAngle(), r.SelfTest()})
        fields.append(f).append("|");
    EXPECT_EQ(fields, "05|12|26|14|03|09|0|1|12|045|1|007|0|N|+|12|-|05|P|");
    EXPECT_EQ(r.Line(), kRecordP);
    EXPECT_EQ(r.YearNumber(), 2026);
    EXPECT_EQ(ParseRecordLine(kRecordG).ModeCode(), '2');
    // A short or damaged line: empty fields where it has no characters, numbers 0.
    const DataRecord s = ParseRecordLine("05x2261");
    EXPECT_EQ(std::string(s.Month()) + "|" + std::string(s.Hours()) + "|" +
                  std::string(s.Minutes()) + "|" + std::string(s.SelfTest()),
              "x2|1||");
    EXPECT_EQ(s.MonthNumber(), 0);
    EXPECT_EQ(s.DayNumber(), 5);
    EXPECT_EQ(s.ModeCode(), '\0');
    EXPECT_EQ(ParseRecordLine("").DayNumber(), 0);

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
    const std::string bytes = File("User,KVZ3,42", kRecordP + "\r" + kRecordG + "\n" + kRecordP +
                                                       "\r\n\r\n\x1a" + kRecordP + "\r\n");
    for (std::size_t block : {bytes.size(), std::size_t{4096}, std::size_t{7}, std::size_t{1}}) {
        DataFileSummary s;
        // The blank line is no record.
        EXPECT_EQ(Lines(bytes, block, &s), (std::vector<std::string>{kRecordP, kRecordG, kRecordP}))
            << block;
        EXPECT_EQ(s.status, DataFileStatus::Ok);
        EXPECT_EQ(s.identity.user + s.identity.model + s.identity.serial, "UserKVZ342");
    }
    // The end mark in the middle of a record line ends the data there.
    EXPECT_EQ(ReadDataBytes(File("U,M,S", kRecordP + "\r\n0512\x1a"), nullptr).recordCount, 2u);

    // A record line is read to its 32 characters, also when it straddles many blocks.
    const std::string longRecord = kRecordP + std::string(100000, '9');
    const std::string longBytes = File("C,K,7", longRecord + "\r\n" + kRecordP + "\r\n\x1a");
    for (std::size_t block : {longBytes.size(), std::size_t{4096}, std::size_t{7}})
        EXPECT_EQ(Lines(longBytes, block), (std::vector<std::string>{kRecordP, kRecordP}));
}

TEST(DataFileReader, IdentityLineProblems) {
    EXPECT_EQ(ReadDataBytes(BuildDataFileHeader(), nullptr).status, DataFileStatus::NoIdentityLine);
    EXPECT_EQ(ReadDataBytes(File("User,KVZ3", kRecordP), nullptr).status,
              DataFileStatus::DamagedIdentity);
    // A comma in the user text shifts the other fields: the format has no escape for it.
    const DataFileSummary s = ReadDataBytes(File("Smith, J,KVZ3,42", ""), nullptr);
    EXPECT_EQ(s.identity.model + "|" + s.identity.serial, " J|KVZ3");
    // An identity line of 64 KiB is one; a longer one is damaged and ends the reading there.
    const std::string longest(kMaxIdentityLineLength - 4, 'u');
    DataFileSummary summary;
    Lines(File(longest + ",K,7", kRecordP + "\r\n"), 1000, &summary);
    EXPECT_EQ(summary.status, DataFileStatus::Ok);
    EXPECT_EQ(summary.identity.user.size(), longest.size());
    EXPECT_TRUE(Lines(File(longest + "u,K,7", kRecordP + "\r\n"), 1000, &summary).empty());
    EXPECT_EQ(summary.status, DataFileStatus::DamagedIdentity);
    EXPECT_TRUE(summary.identityTooLong);
}

TEST(FileChecks, OpeningChecksTellEveryProblemApart) {
    TempDir dir;
    struct Case {
        const char* name;
        std::string bytes;
        DataFileStatus status;
        bool hasData, identityRead;
    };
    const Case cases[] = {
        {"full.lgd", File("Crew,NVZ3,77", kRecordG + "\r\n\x1a"), DataFileStatus::Ok, true, true},
        {"identity.lgd", File("Crew,NVZ3,77", "\x1a"), DataFileStatus::NoRecord, false, true},
        {"header.lgd", BuildDataFileHeader(), DataFileStatus::NoIdentityLine, false, false},
        // Damaged, and told apart from "no data" by ReadFileIdentity.
        {"damaged.lgd", File("Crew,NVZ3", kRecordG + "\r\n"), DataFileStatus::DamagedIdentity, true,
         false},
        // A damaged identity line with nothing after it is a file without data.
        {"damaged-empty.lgd", File("Crew,NVZ3", ""), DataFileStatus::NoRecord, false, false},
    };
    for (const Case& c : cases) {
        WriteBytes(dir / c.name, c.bytes);
        LocatorIdentity identity{"old", "old", "old", "fw"};
        EXPECT_EQ(CheckDataFile(dir / c.name, identity), c.status) << c.name;
        EXPECT_EQ(identity.user, c.status == DataFileStatus::Ok ? "Crew" : "old") << c.name;
        EXPECT_EQ(FileHasData(dir / c.name), c.hasData) << c.name;
        identity = {"old", "old", "old", "fw"};
        EXPECT_EQ(ReadFileIdentity(dir / c.name, identity) == IdentityReadResult::Ok,
                  c.identityRead)
            << c.name;
        EXPECT_EQ(identity.user + identity.model + identity.serial + identity.firmware,
                  c.identityRead ? "CrewNVZ377fw" : "oldoldoldfw")
            << c.name;
    }
    LocatorIdentity identity;
    EXPECT_EQ(CheckDataFile(dir / "missing.lgd", identity), DataFileStatus::Unreadable);
    EXPECT_FALSE(FileHasData(dir / "missing.lgd"));

    std::set<std::string> texts;
    for (DataFileStatus status : {DataFileStatus::Unreadable, DataFileStatus::NotAFile,
                                  DataFileStatus::NoIdentityLine, DataFileStatus::DamagedIdentity})
        texts.insert(DataFileProblemText(status));
    EXPECT_EQ(texts.size(), 4u);
    EXPECT_EQ(DataFileProblemText(DataFileStatus::NoRecord),
              "This file contains no data, please choose another");
    // Commands tell a damaged identity line in the words the windows use.
    EXPECT_EQ(DataFileProblemText(DataFileStatus::DamagedIdentity), DamagedIdentityMessage());
}

TEST(FileChecks, FileNumberOneLocksItsFileAndWritesThrough) {
    TempDir dir;
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

TEST(HostileFiles, PipesDevicesAndFoldersAreRefusedAtOnce) {
    TempDir dir;
    const auto fifo = dir / "pipe.lgd";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    // A pipe with no writer would block an ordinary reader for ever.
    for (const std::filesystem::path& file :
         {fifo, dir.path(), std::filesystem::path("/dev/zero")}) {
        EXPECT_EQ(ReadDataFile(file, nullptr).status, DataFileStatus::NotAFile) << file;
        LocatorIdentity identity;
        EXPECT_EQ(CheckDataFile(file, identity), DataFileStatus::NotAFile) << file;
        std::string bytes;
        EXPECT_FALSE(LoadDataFileBytes(file, bytes));
    }
    // The export says why and leaves nothing behind.
    const CsvExportResult result = ExportCsv(fifo, dir / "out" / "pipe.csv", "KVZ3");
    EXPECT_NE(result.error.find("not a data file"), std::string::npos) << result.error;
    EXPECT_TRUE(FolderEntries(dir / "out").empty());
}

TEST(HostileFiles, AWholeFileIsLoadedOnlyUpToItsCap) {
    TempDir dir;
    WriteBytes(dir / "reply.tmp", std::string(2000, 'x') + "\x1a" + std::string(5000, 'y'));
    std::string bytes;
    EXPECT_TRUE(LoadDataFileBytes(dir / "reply.tmp", bytes, 2001));
    EXPECT_EQ(bytes, std::string(2000, 'x') + "\x1a");
    EXPECT_FALSE(LoadDataFileBytes(dir / "reply.tmp", bytes, 2000));
    EXPECT_TRUE(bytes.empty());
}

TEST(HostileFiles, AHugeSparseFileEndsAtItsFirstLine) {
    TempDir dir;
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
    std::string bytes;
    EXPECT_FALSE(LoadDataFileBytes(sparse, bytes)); // past the cap, not 64 GiB in memory
    EXPECT_EQ(FolderEntries(dir.path()), (std::set<std::string>{"sparse.lgd"}));
}
