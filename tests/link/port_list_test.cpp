#include "link/port_list.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

namespace tarvik {
namespace {

using test::ReadBytes;
using test::WriteBytes;

TEST(PortList, ReadingSkipsTheHeaderAndLinesThatCannotBeSplitAndStopsAtAHundred) {
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

    for (const char* bad : {"0", "17", "-1", "3a", "", "1.5", "003"})
        EXPECT_FALSE(ParsePortNumber(bad)) << bad;
    EXPECT_EQ(ParsePortNumber(" 16 "), 16);
}

TEST(PortList, AScannedLocatorIsAppendedMovedOrLeftAloneChangingNoOtherLine) {
    test::TempDir dir;
    const auto file = dir / "tarvik" / "ports.ini";
    using Change = PortList::Change;
    struct Case {
        std::string before; // "-": no file (its folder neither)
        std::string serial;
        int port;
        Change change;
        std::string after;
    };
    for (const Case& c : std::vector<Case>{
             // The first write creates folder and file, beginning with the empty header line.
             {"-", "111", 3, Change::Appended, "\r\n111,3\r\n"},
             {"", "111", 3, Change::Appended, "\r\n111,3\r\n"}, // an empty file is a missing one
             {"kept header\r\n111,3\r\n222,4\r\n", "111", 3, Change::None,
              "kept header\r\n111,3\r\n222,4\r\n"},
             {"kept header\r\n111,3\r\n222,4\r\n", "222", 7, Change::Rewritten,
              "\r\n111,3\r\n222,7\r\n"},
             // With duplicates the last one is updated.
             {"\r\n111,3\r\n111,5\r\n", "111", 9, Change::Rewritten, "\r\n111,3\r\n111,9\r\n"},
             // An unended last line is ended first.
             {"header\r\n111,3", "12345", 3, Change::Appended, "header\r\n111,3\r\n12345,3\r\n"},
             {"header only", "9", 1, Change::Appended, "header only\r\n9,1\r\n"},
         }) {
        std::filesystem::remove_all(dir / "tarvik");
        if (c.before != "-")
            WriteBytes(file, c.before);
        EXPECT_EQ(PortList::RecordScannedLocator(file, c.serial, c.port), c.change) << c.before;
        EXPECT_EQ(ReadBytes(file), c.after) << c.before;
    }
}

TEST(PortList, RewritesKeepRecordsPastTheHundredthAndLinesTheyCannotRead) {
    test::TempDir dir;
    const auto file = dir / "ports.ini";
    std::string body; // 120 records, then lines a reader cannot use
    for (int i = 0; i < 120; ++i)
        body += "S" + std::to_string(i) + "," + std::to_string(i % 16 + 1) + "\r\n";
    const std::string odd = "no comma here\r\n222,x\r\n";
    WriteBytes(file, "header\r\n" + body + odd);

    // A port change rewrites that one line.
    EXPECT_EQ(PortList::RecordScannedLocator(file, "S5", 9), PortList::Change::Rewritten);
    body.replace(body.find("S5,6"), 4, "S5,9");
    EXPECT_EQ(ReadBytes(file), "\r\n" + body + odd);
    // Beyond the hundredth record nothing is found, and a full list takes no new one.
    EXPECT_EQ(PortList::RecordScannedLocator(file, "S110", 1), PortList::Change::None);
    EXPECT_EQ(ReadBytes(file), "\r\n" + body + odd);

    // The editor's save: the first record deleted, the others kept as they stood, one added.
    WriteBytes(file, "x\r\n111,3\r\nrubbish\r\n222,x\r\n333,4");
    ASSERT_EQ(PortList::Read(file), (std::vector<PortRecord>{{"111", 3}, {"222", 0}, {"333", 4}}));
    ASSERT_TRUE(PortList::Rewrite(file, {1, 2}, {{"444", 5}}));
    EXPECT_EQ(ReadBytes(file), "\r\nrubbish\r\n222,x\r\n333,4\r\n444,5\r\n");
}

} // namespace
} // namespace tarvik
