#include "link/port_list.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

namespace tarvik {
namespace {

using test::ReadBytes;
using test::WriteBytes;

TEST(PortList, ReadingSkipsTheHeaderAndLinesThatCannotBeSplit) {
    test::TempDir dir;
    const auto file = dir / "ports.ini";
    EXPECT_TRUE(PortList::Read(file).empty()); // missing file: an empty list
    WriteBytes(file, "A1,9\r\n");
    EXPECT_TRUE(PortList::Read(file).empty()); // the only line is the header
    WriteBytes(file, "header\r\n111,3\r\nrubbish\r\n222,12,extra\r\n");
    EXPECT_EQ(PortList::Read(file), (std::vector<PortRecord>{{"111", 3}, {"222", 12}}));

    std::string many = "\r\n";
    for (int i = 0; i < 120; ++i)
        many += std::to_string(i) + ",1\r\n";
    WriteBytes(file, many);
    EXPECT_EQ(PortList::Read(file).size(), PortList::kMaxRecords);
}

TEST(PortList, ScannedLocatorsAreAppendedMovedOrLeftAlone) {
    test::TempDir dir;
    const auto file = dir / "tarvik" / "ports.ini";

    // The first write creates folder and file, beginning with the empty header line.
    EXPECT_EQ(PortList::RecordScannedLocator(file, "111", 3), PortList::Change::Appended);
    EXPECT_EQ(ReadBytes(file), "\r\n111,3\r\n");
    EXPECT_EQ(PortList::RecordScannedLocator(file, "222", 4), PortList::Change::Appended);

    WriteBytes(file, "kept header\r\n111,3\r\n222,4\r\n");
    EXPECT_EQ(PortList::RecordScannedLocator(file, "111", 3), PortList::Change::None);
    EXPECT_EQ(ReadBytes(file), "kept header\r\n111,3\r\n222,4\r\n");

    EXPECT_EQ(PortList::RecordScannedLocator(file, "222", 7), PortList::Change::Rewritten);
    EXPECT_EQ(ReadBytes(file), "\r\n111,3\r\n222,7\r\n");

    // With duplicates the last one is updated.
    WriteBytes(file, "\r\n111,3\r\n111,5\r\n");
    EXPECT_EQ(PortList::RecordScannedLocator(file, "111", 5), PortList::Change::Rewritten);
    EXPECT_EQ(ReadBytes(file), "\r\n111,3\r\n111,5\r\n");
    EXPECT_EQ(PortList::RecordScannedLocator(file, "111", 9), PortList::Change::Rewritten);
    EXPECT_EQ(ReadBytes(file), "\r\n111,3\r\n111,9\r\n");
}

TEST(PortList, AppendingEndsAnUnendedLastLineAndTreatsAnEmptyFileAsMissing) {
    test::TempDir dir;
    const auto file = dir / "ports.ini";
    WriteBytes(file, "header\r\n111,3");
    EXPECT_EQ(PortList::RecordScannedLocator(file, "12345", 3), PortList::Change::Appended);
    EXPECT_EQ(ReadBytes(file), "header\r\n111,3\r\n12345,3\r\n");
    EXPECT_EQ(PortList::Read(file), (std::vector<PortRecord>{{"111", 3}, {"12345", 3}}));

    WriteBytes(file, "");
    EXPECT_EQ(PortList::RecordScannedLocator(file, "12345", 3), PortList::Change::Appended);
    EXPECT_EQ(ReadBytes(file), "\r\n12345,3\r\n");

    WriteBytes(file, "header only");
    EXPECT_EQ(PortList::RecordScannedLocator(file, "9", 1), PortList::Change::Appended);
    EXPECT_EQ(ReadBytes(file), "header only\r\n9,1\r\n");
}

TEST(PortList, RewritesChangeOnlyTheLinesTheyMustAndKeepEverythingElse) {
    test::TempDir dir;
    const auto file = dir / "ports.ini";
    // 121 lines: 120 records, then lines a reader cannot use.
    std::string body;
    for (int i = 0; i < 120; ++i)
        body += "S" + std::to_string(i) + "," + std::to_string(i % 16 + 1) + "\r\n";
    const std::string odd = "no comma here\r\n222,x\r\n";
    WriteBytes(file, "header\r\n" + body + odd);

    // A port change rewrites that one line; records past the hundredth and odd lines stay.
    EXPECT_EQ(PortList::RecordScannedLocator(file, "S5", 9), PortList::Change::Rewritten);
    std::string expected = body;
    expected.replace(expected.find("S5,6"), 4, "S5,9");
    EXPECT_EQ(ReadBytes(file), "\r\n" + expected + odd);
    // Beyond the hundredth record nothing is found, and a full list takes no new one.
    EXPECT_EQ(PortList::RecordScannedLocator(file, "S110", 1), PortList::Change::None);
    EXPECT_EQ(ReadBytes(file), "\r\n" + expected + odd);

    // The editor's save: the first record deleted, the others kept as they stood, one added.
    WriteBytes(file, "x\r\n111,3\r\nrubbish\r\n222,x\r\n333,4");
    ASSERT_EQ(PortList::Read(file), (std::vector<PortRecord>{{"111", 3}, {"222", 0}, {"333", 4}}));
    ASSERT_TRUE(PortList::Rewrite(file, {1, 2}, {{"444", 5}}));
    EXPECT_EQ(ReadBytes(file), "\r\nrubbish\r\n222,x\r\n333,4\r\n444,5\r\n");
}

TEST(PortList, PortNumbersAreWholeNumbersFromOneToSixteen) {
    EXPECT_EQ(ParsePortNumber("3"), 3);
    EXPECT_EQ(ParsePortNumber(" 16 "), 16);
    for (const char* bad : {"0", "17", "-1", "3a", "", "1.5", "003"})
        EXPECT_FALSE(ParsePortNumber(bad)) << bad;
}

} // namespace
} // namespace tarvik
