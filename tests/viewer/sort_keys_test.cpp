#include "viewer/sort_keys.h"

#include <gtest/gtest.h>

using namespace tarvik;

TEST(SortKeys, TagsAreComparedInUpperCase) {
    EXPECT_EQ(SortTypeFromTag("DATE"), SortType::Date);
    EXPECT_EQ(SortTypeFromTag("date"), SortType::Date);
    EXPECT_EQ(SortTypeFromTag("Number"), SortType::Number);
    EXPECT_EQ(SortTypeFromTag("STRING"), SortType::Text);
    EXPECT_EQ(SortTypeFromTag(""), SortType::Text);
}

TEST(SortKeys, DateKeyReadsTheViewersDayFirstText) {
    EXPECT_EQ(DateKey("05/06/13   14:02:09"), "20130605140209");
    EXPECT_EQ(DateKey("31/12/13   23:59:59"), "20131231235959");
    EXPECT_EQ(DateKey("5/6/2013 4:02"), "20130605040200");
    EXPECT_EQ(DateKey("29/02/24   00:00:00"), "20240229000000"); // leap year
    // The day-first texts compare the other way round; the keys in date order.
    EXPECT_LT(DateKey("31/12/13   10:00:00"), DateKey("01/01/14   09:00:00"));
}

TEST(SortKeys, DateKeyIsEmptyForAnythingButAValidDate) {
    for (const char* text :
         {"", "garbage", "32/01/13   10:00:00", "29/02/23   10:00:00", "00/01/13   10:00:00",
          "01/13/13   10:00:00", "01/01/13   24:00:00", "01/01/13   10:60:00",
          "//   ::", "01/01/1   10:00:00", "01/01/13   10:00:00x", "01/01/13x"})
        EXPECT_EQ(DateKey(text), "") << text;
}

TEST(SortKeys, NumberKeyHasThirtyDigitsEachSideOfThePoint) {
    const std::string zeros(30, '0');
    EXPECT_EQ(NumberKey("007"), std::string(27, '0') + "007." + zeros);
    EXPECT_EQ(NumberKey("100"), std::string(27, '0') + "100." + zeros);
    EXPECT_EQ(NumberKey(" 2.5 "), std::string(29, '0') + "2.5" + std::string(29, '0'));
    EXPECT_EQ(NumberKey("0"), zeros + "." + zeros);
    EXPECT_EQ(NumberKey("-0"), zeros + "." + zeros);
    EXPECT_EQ(NumberKey("+12").size(), 61u);
}

TEST(SortKeys, NegativeNumbersSortBeforeAndLargerMagnitudesFirst) {
    const std::string minus25 = NumberKey("-25");
    EXPECT_EQ(minus25, "&" + InvertDigits(NumberKey("25")));
    EXPECT_EQ(minus25.front(), '&');
    EXPECT_LT(NumberKey("-100"), minus25);
    EXPECT_LT(minus25, NumberKey("-2.5"));
    EXPECT_LT(NumberKey("-2.5"), NumberKey("0"));
    EXPECT_LT(NumberKey("0"), NumberKey("0.5"));
    EXPECT_LT(NumberKey("025"), NumberKey("100"));
    EXPECT_LT(std::string(), minus25); // an empty key sorts first of all
}

TEST(SortKeys, NumberKeyIsEmptyForWordsAndOddTexts) {
    for (const char* text :
         {"", "LF", "8KHz", "CF", "None", "Sonde", "1-2", "1.2.3", ".", "-", "0x10", "12a", "1 2"})
        EXPECT_EQ(NumberKey(text), "") << text;
    EXPECT_EQ(NumberKey(std::string(31, '9')), "");
    EXPECT_FALSE(NumberKey(std::string(30, '9')).empty());
}

TEST(SortKeys, InvertDigitsMirrorsEveryDigitAndBlanksMinus) {
    EXPECT_EQ(InvertDigits("0123456789"), "9876543210");
    EXPECT_EQ(InvertDigits("-1.5&x"), " 8.4&x");
}

TEST(SortKeys, TextComparisonIgnoresCaseFirst) {
    EXPECT_LT(CompareAsText("a", "B"), 0);
    EXPECT_GT(CompareAsText("b", "A"), 0);
    EXPECT_GT(CompareAsText("B", "a"), 0);
    EXPECT_EQ(CompareAsText("* P *", "* P *"), 0);
    EXPECT_LT(CompareAsText("", "&"), 0);
    EXPECT_LT(CompareAsText("&9", "00"), 0);
    EXPECT_NE(CompareAsText("p", "P"), 0); // still a total order
}
