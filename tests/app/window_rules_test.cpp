#include "app/window_rules.h"

#include <gtest/gtest.h>

using namespace tarvik;

TEST(WindowRules, KeySumRemainingCharactersCommandLinePathsAndTheMonitorLine) {
    // Keys pressed; what each did ('.' nothing, 'A' About, 'S' service) and the sum after.
    const std::pair<std::vector<int>, std::string> keys[] = {
        {{17, 65, 17, 65}, ".A.A 0"},
        {{16, 17, 81}, "..S 114"}, // the sum stays
        {{81, 16, 17}, "..S 114"},
        {{17, 81, 16}, "..S 114"},
        {{'B', 17, 17, 16, 65, 17}, "...... 132"}}; // missed: it keeps growing
    for (const auto& [pressed, expected] : keys) {
        KeySum sum;
        std::string did;
        for (int key : pressed)
            did += ".SA"[static_cast<int>(sum.Press(key))];
        EXPECT_EQ(did + " " + std::to_string(sum.value()), expected);
    }
    EXPECT_EQ(RemainingCharsText(0) + RemainingCharsText(32) + RemainingCharsText(40),
              "- 32 -- 0 ---8 -");
    EXPECT_EQ(UnquotePath("\"C:\\data\\x.lgd\"") + "|" + UnquotePath("/home/a/x.lgd") + "|" +
                  UnquotePath("\"/a b/x.lgd"),
              "C:\\data\\x.lgd|/home/a/x.lgd|/a b/x.lgd");
    // CR and LF a space each, the end mark and control characters left out, Latin-1 kept.
    EXPECT_EQ(MonitorLine(std::string("0512\r\n0613\r\nABORT\x1a\tb\0c\x7f\xe9", 24)),
              "0512  0613  ABORTbc\xe9");
}

TEST(ToolkitArguments, HelpVersionFilesAndMistakes) {
    using enum ToolkitArguments::Action;
    const std::tuple<std::vector<std::string>, ToolkitArguments::Action, std::string> cases[] = {
        {{"x.lgd", "--help"}, Help, "x.lgd"},      {{"--version"}, Version, ""},
        {{"--", "--help"}, Run, "--help"},         {{"--hepl"}, UsageError, ""},
        {{"a.lgd", "b.lgd"}, UsageError, "a.lgd"}, {{"--documents"}, UsageError, ""}};
    for (const auto& [arguments, action, file] : cases) {
        const ToolkitArguments parsed = ParseToolkitArguments(arguments);
        EXPECT_EQ(parsed.action, action) << file;
        EXPECT_EQ(parsed.dataFile, file);
    }
    const ToolkitArguments run =
        ParseToolkitArguments({"--documents", "/d", "my file.lgd", "--appdata", "/a"});
    EXPECT_EQ(run.dataFile + run.documents + run.appData, "my file.lgd/d/a");
}
