#include "datafile/csv_export.h"
#include "datafile/data_file_header.h"
#include "datafile/data_file_reader.h"
#include "datafile/file_checks.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>
#include <set>
#include <sys/stat.h>

using namespace tarvik;
using tarvik::test::TempDir;
using tarvik::test::WriteBytes;

namespace {
const std::string kRecord = "0512261403090112045100701+12-05P";

std::string File(const std::string& identity, const std::string& body) {
    return BuildDataFileHeader() + identity + "\r\n" + body;
}

std::vector<std::string> Lines(std::string_view bytes, std::size_t blockSize,
                               DataFileSummary* summary = nullptr) {
    std::vector<std::string> lines;
    DataFileSummary s = ReadDataBlocks(bytes, blockSize, [&](std::string_view line) {
        lines.emplace_back(line);
        return true;
    });
    if (summary)
        *summary = s;
    return lines;
}

std::set<std::string> Entries(const std::filesystem::path& folder) {
    std::set<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        names.insert(entry.path().filename().string());
    return names;
}
} // namespace

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
        EXPECT_FALSE(FileHasData(file));
        std::string bytes;
        EXPECT_FALSE(LoadDataFileBytes(file, bytes));
    }
    LocatorIdentity identity;
    EXPECT_EQ(CheckDataFile(dir / "missing.lgd", identity), DataFileStatus::Unreadable);

    // The export says why and leaves nothing behind.
    const CsvExportResult result = ExportCsv(fifo, dir / "out" / "pipe.csv", "KVZ3");
    EXPECT_FALSE(result.ok);
    EXPECT_NE(result.error.find("not a data file"), std::string::npos) << result.error;
    EXPECT_TRUE(Entries(dir / "out").empty());
}

TEST(HostileFiles, EveryProblemIsToldApart) {
    std::set<std::string> texts;
    for (DataFileStatus status : {DataFileStatus::Unreadable, DataFileStatus::NotAFile,
                                  DataFileStatus::NoIdentityLine, DataFileStatus::DamagedIdentity})
        texts.insert(DataFileProblemText(status));
    EXPECT_EQ(texts.size(), 4u);
    EXPECT_EQ(DataFileProblemText(DataFileStatus::NoRecord),
              "This file contains no data, please choose another");
    // Commands tell a damaged identity line in the words the windows use.
    EXPECT_EQ(DataFileProblemText(DataFileStatus::DamagedIdentity), DamagedIdentityMessage());

    TempDir dir;
    LocatorIdentity identity{"old", "old", "old", ""};
    WriteBytes(dir / "empty.lgd", File("Crew,KVZ3,7", "\x1a"));
    EXPECT_EQ(CheckDataFile(dir / "empty.lgd", identity), DataFileStatus::NoRecord);
    WriteBytes(dir / "header.lgd", BuildDataFileHeader());
    EXPECT_EQ(CheckDataFile(dir / "header.lgd", identity), DataFileStatus::NoIdentityLine);
    WriteBytes(dir / "damaged.lgd", File("Crew,KVZ3", kRecord + "\r\n"));
    EXPECT_EQ(CheckDataFile(dir / "damaged.lgd", identity), DataFileStatus::DamagedIdentity);
    // A damaged identity line with nothing after it is a file without data, as before.
    WriteBytes(dir / "damaged-empty.lgd", File("Crew,KVZ3", ""));
    EXPECT_EQ(CheckDataFile(dir / "damaged-empty.lgd", identity), DataFileStatus::NoRecord);
    EXPECT_EQ(identity.user, "old");
    WriteBytes(dir / "good.lgd", File("Crew,KVZ3,7", kRecord + "\r\n"));
    EXPECT_EQ(CheckDataFile(dir / "good.lgd", identity), DataFileStatus::Ok);
    EXPECT_EQ(identity.serial, "7");
}

TEST(HostileFiles, LongLinesAreKeptOnlyAsFarAsTheyAreRead) {
    // A record line is read to its 32 characters, also when it straddles many blocks.
    const std::string longRecord = kRecord + std::string(100000, '9');
    const std::string bytes = File("Crew,KVZ3,7", longRecord + "\r\n" + kRecord + "\r\n\x1a");
    for (std::size_t block : {bytes.size(), std::size_t{4096}, std::size_t{7}}) {
        DataFileSummary summary;
        EXPECT_EQ(Lines(bytes, block, &summary), (std::vector<std::string>{kRecord, kRecord}))
            << block;
        EXPECT_EQ(summary.status, DataFileStatus::Ok);
    }

    // An identity line of 64 KiB is one; a longer one is damaged and ends the reading there.
    const std::string longest(kMaxIdentityLineLength - 4, 'u');
    DataFileSummary summary;
    Lines(File(longest + ",K,7", kRecord + "\r\n"), 1000, &summary);
    EXPECT_EQ(summary.status, DataFileStatus::Ok);
    EXPECT_EQ(summary.identity.user.size(), longest.size());
    EXPECT_TRUE(Lines(File(longest + "u,K,7", kRecord + "\r\n"), 1000, &summary).empty());
    EXPECT_EQ(summary.status, DataFileStatus::DamagedIdentity);
    EXPECT_TRUE(summary.identityTooLong);
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
    const DataFileSummary summary = ReadDataFile(sparse, nullptr);
    EXPECT_EQ(summary.status, DataFileStatus::DamagedIdentity);
    EXPECT_TRUE(summary.identityTooLong);
    LocatorIdentity identity;
    EXPECT_EQ(CheckDataFile(sparse, identity), DataFileStatus::DamagedIdentity);
    EXPECT_TRUE(FileHasData(sparse)); // so that opening reports the damaged identity line
    EXPECT_FALSE(ExportCsv(sparse, dir / "sparse.csv", "KVZ3").ok);
    std::string bytes;
    EXPECT_FALSE(LoadDataFileBytes(sparse, bytes)); // past the cap, not 64 GiB in memory
    EXPECT_EQ(Entries(dir.path()), (std::set<std::string>{"sparse.lgd"}));
}

TEST(HostileFiles, AFailedExportLeavesTheOldOutputAndNoPartialFile) {
    TempDir dir;
    WriteBytes(dir / "x.lgd", File("Crew,KVZ3,7", kRecord + "\r\n\x1a"));
    // The output's name is taken by a folder: the rows are written, the last step fails.
    std::filesystem::create_directories(dir / "out" / "x.csv" / "inside");
    const CsvExportResult failed = ExportCsv(dir / "x.lgd", dir / "out" / "x.csv", "KVZ3");
    EXPECT_FALSE(failed.ok);
    EXPECT_NE(failed.error.find("x.csv"), std::string::npos);
    EXPECT_EQ(Entries(dir / "out"), (std::set<std::string>{"x.csv"}));
    EXPECT_TRUE(std::filesystem::is_directory(dir / "out" / "x.csv"));

    // A complete export replaces the old one and leaves nothing else beside it.
    WriteBytes(dir / "old.csv", "old export");
    ASSERT_TRUE(ExportCsv(dir / "x.lgd", dir / "old.csv", "KVZ3").ok);
    EXPECT_NE(test::ReadBytes(dir / "old.csv"), "old export");
    EXPECT_EQ(Entries(dir.path()), (std::set<std::string>{"old.csv", "out", "x.lgd"}));
}
