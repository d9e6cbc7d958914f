#include "app/window_rules.h"

#include <gtest/gtest.h>

using namespace tarvik;
using Action = KeySum::Action;

TEST(KeySum, CtrlThenAOpensAboutAndStartsAgain) {
    KeySum sum;
    EXPECT_EQ(sum.Press(17), Action::None);
    EXPECT_EQ(sum.Press(65), Action::OpenAbout);
    EXPECT_EQ(sum.value(), 0);
    EXPECT_EQ(sum.Press(17), Action::None);
    EXPECT_EQ(sum.Press(65), Action::OpenAbout);
}

TEST(KeySum, ShiftCtrlQInAnyOrderOpensTheServiceWindow) {
    for (auto order : {std::array{16, 17, 81}, std::array{81, 16, 17}, std::array{17, 81, 16}}) {
        KeySum sum;
        EXPECT_EQ(sum.Press(order[0]), Action::None);
        EXPECT_EQ(sum.Press(order[1]), Action::None);
        EXPECT_EQ(sum.Press(order[2]), Action::OpenServiceWindow);
        EXPECT_EQ(sum.value(), 114); // not reset
    }
}

TEST(KeySum, OtherKeysAddNothingAndAMissedSumKeepsGrowing) {
    KeySum sum;
    EXPECT_EQ(sum.Press('B'), Action::None);
    EXPECT_EQ(sum.value(), 0);
    for (int key : {17, 17, 16, 65})
        EXPECT_EQ(sum.Press(key), Action::None);
    EXPECT_EQ(sum.value(), 115);
    EXPECT_EQ(sum.Press(17), Action::None);
    EXPECT_EQ(sum.value(), 132);
}

TEST(WindowRules, RemainingCharactersAndCommandLinePaths) {
    EXPECT_EQ(RemainingCharsText(0), "- 32 -");
    EXPECT_EQ(RemainingCharsText(32), "- 0 -");
    EXPECT_EQ(RemainingCharsText(40), "--8 -");
    EXPECT_EQ(UnquotePath("\"C:\\data\\x.lgd\""), "C:\\data\\x.lgd");
    EXPECT_EQ(UnquotePath("/home/a/x.lgd"), "/home/a/x.lgd"); // keeps its last character
    EXPECT_EQ(UnquotePath("\"/a b/x.lgd"), "/a b/x.lgd");
}
