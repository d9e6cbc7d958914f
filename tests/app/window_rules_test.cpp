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

TEST(MonitorLine, OneLineWithoutControlCharacters) {
    EXPECT_EQ(MonitorLine("0512\r\n0613\r\nABORT\x1a"), "0512  0613  ABORT");
    EXPECT_EQ(MonitorLine(std::string("a\tb\0c\x7f"
                                      "d\xe9",
                                      8)),
              "abcd\xe9"); // Latin-1 stays
    EXPECT_EQ(MonitorLine("\r"), " ");
}

TEST(ToolkitArguments, HelpVersionFilesAndMistakes) {
    using Action = ToolkitArguments::Action;
    EXPECT_EQ(ParseToolkitArguments({}).action, Action::Run);
    EXPECT_EQ(ParseToolkitArguments({"--help"}).action, Action::Help);
    EXPECT_EQ(ParseToolkitArguments({"x.lgd", "-h"}).action, Action::Help);
    EXPECT_EQ(ParseToolkitArguments({"--version"}).action, Action::Version);

    const ToolkitArguments run =
        ParseToolkitArguments({"--documents", "/d", "my file.lgd", "--appdata", "/a"});
    EXPECT_EQ(run.action, Action::Run);
    EXPECT_EQ(run.dataFile, "my file.lgd");
    EXPECT_EQ(run.documents, "/d");
    EXPECT_EQ(run.appData, "/a");
    EXPECT_EQ(ParseToolkitArguments({"--", "--help"}).dataFile, "--help");

    EXPECT_EQ(ParseToolkitArguments({"--hepl"}).action, Action::UsageError);
    EXPECT_EQ(ParseToolkitArguments({"a.lgd", "b.lgd"}).action, Action::UsageError);
    EXPECT_EQ(ParseToolkitArguments({"--documents"}).action, Action::UsageError);
}
