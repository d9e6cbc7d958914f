#include "datafile/file_label.h"

#include <gtest/gtest.h>

using namespace tarvik;

namespace {
const DateTime kNow{2026, 12, 5, 9, 4, 7};
const LocatorIdentity kId{"  Crew 7 ", " KVZ3", "12345678 ", ""};
} // namespace

TEST(FileLabel, AllFourKinds) {
    EXPECT_EQ(BuildFileLabel(FileLabelKind::DA, kId, kNow),
              "12345678 KVZ3 Crew 7 [All] [05122026090407]");
    EXPECT_EQ(BuildFileLabel(FileLabelKind::DD, kId, kNow, {"01-12-26", "05-12-26"}),
              "12345678 KVZ3 Crew 7 [From 01-12-26 to 05-12-26] [05122026090407]");
    EXPECT_EQ(BuildFileLabel(FileLabelKind::TShoot, kId, kNow), "Troubleshoot [] [05122026090407]");
    FileLabelDetails day;
    day.day = "03";
    day.month = "12";
    day.year = "26";
    // The stamp comes before " [Day]".
    EXPECT_EQ(BuildFileLabel(FileLabelKind::DAY, kId, kNow, day),
              "12345678 KVZ3 Crew 7 [on 03-12-26] [05122026090407] [Day]");
}

TEST(FileLabel, LocatorTextsCannotLeaveTheFolder) {
    const LocatorIdentity hostile{"../../etc/pass\\wd:*?", "K/Z3", "1|2<3>\"", ""};
    const std::string label = BuildFileLabel(FileLabelKind::DA, hostile, kNow);
    EXPECT_EQ(label, "1_2_3__ K_Z3 .._.._etc_pass_wd___ [All] [05122026090407]");
    EXPECT_EQ(SafeFileName(".."), "__");
    EXPECT_EQ(SafeFileName("a\tb"), "a_b");
}
