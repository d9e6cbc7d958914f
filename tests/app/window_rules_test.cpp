#include "app/window_rules.h"

#include <gtest/gtest.h>

using namespace tarvik;

TEST(KeySum, CtrlAOpensAboutAndShiftCtrlQTheServiceWindowInAnyOrder) {
    // Keys pressed; what each did ('.' nothing, 'A' About, 'S' service); the sum after.
    const std::tuple<std::vector<int>, std::string, int> cases[] = {
        {{17, 65, 17, 65}, ".A.A", 0},
        {{16, 17, 81}, "..S", 114}, // the sum stays
        {{81, 16, 17}, "..S", 114},
        {{17, 81, 16}, "..S", 114},
        {{'B', 17, 17, 16, 65, 17}, "......", 132}, // missed: it keeps growing
    };
    for (const auto& [keys, actions, value] : cases) {
        KeySum sum;
        std::string did;
        for (int key : keys)
            did += ".SA"[static_cast<int>(sum.Press(key))];
        EXPECT_EQ(did, actions);
        EXPECT_EQ(sum.value(), value) << actions;
    }
}

TEST(WindowRules, RemainingCharactersCommandLinePathsAndTheMonitorLine) {
    EXPECT_EQ(RemainingCharsText(0) + RemainingCharsText(32) + RemainingCharsText(40),
              "- 32 -- 0 ---8 -");
    EXPECT_EQ(UnquotePath("\"C:\\data\\x.lgd\""), "C:\\data\\x.lgd");
    EXPECT_EQ(UnquotePath("/home/a/x.lgd"), "/home/a/x.lgd"); // keeps its last character
    EXPECT_EQ(UnquotePath("\"/a b/x.lgd"), "/a b/x.lgd");
    // One line: CR and LF a space each, the end mark and other control characters left out;
    // Latin-1 stays.
    EXPECT_EQ(MonitorLine("0512\r\n0613\r\nABORT\x1a"), "0512  0613  ABORT");
    EXPECT_EQ(MonitorLine(std::string("a\tb\0c\x7f"
                                      "d\xe9",
                                      8)),
              "abcd\xe9");
}

TEST(ToolkitArguments, HelpVersionFilesAndMistakes) {
    using enum ToolkitArguments::Action;
    const std::tuple<std::vector<std::string>, ToolkitArguments::Action, std::string> cases[] = {
        {{}, Run, ""},
        {{"--help"}, Help, ""},
        {{"x.lgd", "-h"}, Help, "x.lgd"},
        {{"--version"}, Version, ""},
        {{"--", "--help"}, Run, "--help"},
        {{"--hepl"}, UsageError, ""},
        {{"a.lgd", "b.lgd"}, UsageError, "a.lgd"},
        {{"--documents"}, UsageError, ""},
    };
    for (const auto& [arguments, action, file] : cases) {
        const ToolkitArguments parsed = ParseToolkitArguments(arguments);
        EXPECT_EQ(parsed.action, action) << file;
        EXPECT_EQ(parsed.dataFile, file);
    }
    const ToolkitArguments run =
        ParseToolkitArguments({"--documents", "/d", "my file.lgd", "--appdata", "/a"});
    EXPECT_EQ(run.dataFile + run.documents + run.appData, "my file.lgd/d/a");
}
