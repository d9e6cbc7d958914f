#include "pdf/windows_1252.h"

#include <gtest/gtest.h>

using namespace tarvik::pdf;

TEST(Windows1252, KeepsWhatTheCodePageHoldsAndMarksTheRest) {
    EXPECT_EQ(ToWindows1252("plain ASCII"), "plain ASCII");
    EXPECT_EQ(ToWindows1252("G\xC3\xA9n\xC3\xA9ration"), "G\xE9n\xE9ration");
    EXPECT_EQ(ToWindows1252("\xE2\x82\xAC 5"), "\x80 5");               // euro sign
    EXPECT_EQ(ToWindows1252("\xC5\xB8"), "\x9F");                       // Y with diaeresis
    EXPECT_EQ(ToWindows1252("\xE2\x80\x9Cq\xE2\x80\x9D"), "\x93q\x94"); // curly quotes
    EXPECT_EQ(ToWindows1252("\xE4\xB8\xAD"), "?");                      // a CJK character
    EXPECT_EQ(ToWindows1252("\xF0\x9F\x98\x80!"), "?!");                // outside the BMP
    EXPECT_EQ(ToWindows1252("\xC2\x81"), "?"); // U+0081 is no character of the code page
}

TEST(Windows1252, BrokenUtf8BecomesQuestionMarksPerByte) {
    EXPECT_EQ(ToWindows1252("a\xE9z"), "a?z");       // a Latin-1 byte, not UTF-8
    EXPECT_EQ(ToWindows1252("\xC3"), "?");           // cut short at the end
    EXPECT_EQ(ToWindows1252("\xC0\xAF"), "??");      // overlong "/"
    EXPECT_EQ(ToWindows1252("\xED\xA0\x80"), "???"); // a UTF-16 surrogate
    EXPECT_EQ(ToWindows1252(std::string("a\0b", 3)), std::string("a\0b", 3));
}
