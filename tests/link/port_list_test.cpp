#include "link/port_list.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

namespace tarvik {
namespace {

using test::ReadBytes;
using test::WriteBytes;

TEST(PortList, AScannedLocatorIsAppendedMovedOrLeftAloneChangingNoOtherLine) {
    test::TempDir dir;
    const auto file = dir / "tarvik" / "ports.ini";
    using Change = PortList::Change;
    // Before ("-": no file, nor its folder), the scanned locator, what changed, after.
    for (const auto& [before, serial, port, change, after] :
         std::vector<std::tuple<std::string, std::string, int, Change, std::string>>{
             {"-", "111", 3, Change::Appended, "\r\n111,3\r\n"},
             {"", "111", 3, Change::Appended, "\r\n111,3\r\n"},
             {"kept header\r\n111,3\r\n222,4\r\n", "111", 3, Change::None,
              "kept header\r\n111,3\r\n222,4\r\n"},
             {"kept header\r\n111,3\r\n222,4\r\n", "222", 7, Change::Rewritten,
              "\r\n111,3\r\n222,7\r\n"},
             {"\r\n111,3\r\n111,5\r\n", "111", 9, Change::Rewritten, "\r\n111,3\r\n111,9\r\n"},
             {"header\r\n111,3", "12345", 3, Change::Appended, "header\r\n111,3\r\n12345,3\r\n"},
             {"header only", "9", 1, Change::Appended, "header only\r\n9,1\r\n"},
         }) {
        std::filesystem::remove_all(dir / "tarvik");
        if (before != "-")
            WriteBytes(file, before);
        EXPECT_EQ(PortList::RecordScannedLocator(file, serial, port), change) << before;
        EXPECT_EQ(ReadBytes(file), after) << before;
    }
    EXPECT_TRUE(PortList::Read(dir / "missing.ini").empty());
}

TEST(PortList, ReadsAHundredAndRewritesKeepRecordsPastThemAndLinesTheyCannotRead) {
    test::TempDir dir;
    const auto file = dir / "ports.ini";
    std::string body; // 120 records, then lines a reader cannot use
    for (int i = 0; i < 120; ++i)
        body += "S" + std::to_string(i) + "," + std::to_string(i % 16 + 1) + "\r\n";
    const std::string odd = "no comma here\r\n222,x\r\n";
    WriteBytes(file, "S99,1\r\n" + body + odd);
    const std::vector<PortRecord> read = PortList::Read(file);
    EXPECT_EQ(read.size(), PortList::kMaxRecords);
    EXPECT_EQ(read[0], (PortRecord{"S0", 1})); // the first line is the header

    // A port change rewrites that one line; beyond the hundredth nothing is found or added.
    EXPECT_EQ(PortList::RecordScannedLocator(file, "S5", 9), PortList::Change::Rewritten);
    body.replace(body.find("S5,6"), 4, "S5,9");
    EXPECT_EQ(ReadBytes(file), "\r\n" + body + odd);
    EXPECT_EQ(PortList::RecordScannedLocator(file, "S110", 1), PortList::Change::None);
    EXPECT_EQ(ReadBytes(file), "\r\n" + body + odd);

    // The editor's save: the first record deleted, the others kept as they stood, one added.
    WriteBytes(file, "x\r\n111,3\r\nrubbish\r\n222,x\r\n333,4,extra");
    ASSERT_EQ(PortList::Read(file), (std::vector<PortRecord>{{"111", 3}, {"222", 0}, {"333", 4}}));
    ASSERT_TRUE(PortList::Rewrite(file, {1, 2}, {{"444", 5}}));
    EXPECT_EQ(ReadBytes(file), "\r\nrubbish\r\n222,x\r\n333,4,extra\r\n444,5\r\n");
}

} // namespace
} // namespace tarvik
