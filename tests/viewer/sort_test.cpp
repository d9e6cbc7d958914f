#include "viewer/record_columns.h"
#include "viewer/record_fixtures.h"
#include "viewer/row_sort.h"
#include "viewer/sort_keys.h"

#include <algorithm>
#include <gtest/gtest.h>

using namespace tarvik;
using tarvik::test::RecordLine;

TEST(SortKeys, DateKeysReadTheViewersDayFirstTextAndAreEmptyForNoDate) {
    EXPECT_EQ(SortTypeFromTag("date"), SortType::Date);
    EXPECT_EQ(SortTypeFromTag("Number"), SortType::Number);
    EXPECT_EQ(SortTypeFromTag("STRING"), SortType::Text);
    EXPECT_EQ(DateKey("05/06/13   14:02:09"), "20130605140209");
    EXPECT_EQ(DateKey("5/6/2013 4:02"), "20130605040200");
    EXPECT_EQ(DateKey("29/02/24   00:00:00"), "20240229000000"); // leap year
    for (const char* text :
         {"", "garbage", "32/01/13   10:00:00", "29/02/23   10:00:00", "00/01/13   10:00:00",
          "01/13/13   10:00:00", "01/01/13   24:00:00", "01/01/13   10:60:00",
          "//   ::", "01/01/1   10:00:00", "01/01/13   10:00:00x", "01/01/13x"})
        EXPECT_EQ(DateKey(text), "") << text;
}

TEST(SortKeys, NumberKeysOrderNumbersAsTextAndAreEmptyForWords) {
    const std::string zeros(30, '0');
    EXPECT_EQ(NumberKey("007"), std::string(27, '0') + "007." + zeros);
    EXPECT_EQ(NumberKey(" 2.5 "), std::string(29, '0') + "2.5" + std::string(29, '0'));
    EXPECT_EQ(NumberKey("-0"), zeros + "." + zeros);
    EXPECT_EQ(NumberKey("-25"), "&" + InvertDigits(NumberKey("25")));
    EXPECT_EQ(InvertDigits("0123456789-1.5&x"), "9876543210 8.4&x");
    // Text order is value order; negatives first, larger magnitudes first among them, and
    // an empty key before everything.
    const char* ascending[] = {"-100", "-25", "-2.5", "0", "0.5", "025", "100"};
    EXPECT_LT(std::string(), NumberKey(ascending[0]));
    for (std::size_t i = 1; i < std::size(ascending); ++i)
        EXPECT_LT(CompareAsText(NumberKey(ascending[i - 1]), NumberKey(ascending[i])), 0)
            << ascending[i];
    for (const char* text :
         {"", "LF", "8KHz", "None", "1-2", "1.2.3", ".", "-", "0x10", "12a", "1 2"})
        EXPECT_EQ(NumberKey(text), "") << text;
    EXPECT_EQ(NumberKey(std::string(31, '9')), "");
    EXPECT_FALSE(NumberKey(std::string(30, '9')).empty());
}

TEST(SortKeys, TextComparisonIgnoresCaseFirst) {
    EXPECT_LT(CompareAsText("a", "B"), 0);
    EXPECT_GT(CompareAsText("b", "A"), 0);
    EXPECT_GT(CompareAsText("B", "a"), 0);
    EXPECT_EQ(CompareAsText("* P *", "* P *"), 0);
    EXPECT_LT(CompareAsText("&9", "00"), 0);
    EXPECT_NE(CompareAsText("p", "P"), 0); // still a total order
}

namespace {
std::vector<DataRecord> Records(const std::vector<test::RecordFields>& fields) {
    std::vector<DataRecord> records;
    for (const auto& f : fields)
        records.push_back(ParseRecordLine(RecordLine(f)));
    return records;
}

// Sorts the rows in `order` by a column as the viewer does; returns the column's texts.
std::vector<std::string> Sorted(const std::vector<DataRecord>& records, int column, bool descending,
                                std::vector<std::uint32_t>& order) {
    if (order.empty())
        for (std::uint32_t i = 0; i < records.size(); ++i)
            order.push_back(i);
    SortRowOrder(order, SortTypeFromTag(RecordColumns()[static_cast<std::size_t>(column)].sortTag),
                 descending, [&](std::uint32_t row, std::string& out) {
                     CellText(records[row], column, "KVZ3", out);
                 });
    std::vector<std::string> texts;
    for (std::uint32_t row : order)
        texts.push_back(CellText(records[row], column, "KVZ3"));
    return texts;
}

std::vector<std::string> Sorted(const std::vector<DataRecord>& records, int column,
                                bool descending) {
    std::vector<std::uint32_t> order;
    return Sorted(records, column, descending, order);
}

using Texts = std::vector<std::string>;
} // namespace

TEST(RowSort, ColumnsSortByTheirKeys) {
    const auto depths = Records({{.depth = "100"}, {.depth = "025"}, {.depth = "007"}});
    EXPECT_EQ(Sorted(depths, kDepthColumn, false), (Texts{"007", "025", "100"}));
    EXPECT_EQ(Sorted(depths, kDepthColumn, true), (Texts{"100", "025", "007"}));
    // Cells that are no date or no number get empty keys and come first ascending.
    const auto odd =
        Records({{.date = "311213"}, {.date = "991399"}, {.depth = "050"}, {.depth = "0-1"}});
    EXPECT_EQ(Sorted(odd, kDateColumn, false).front(), "99/13/99   14:03:09");
    EXPECT_EQ(Sorted(odd, kDepthColumn, false).front(), "0-1");
    EXPECT_EQ(Sorted(odd, kDepthColumn, true).back(), "0-1");
    // Words have only empty keys and keep their order; a code outside the table shows as its
    // digit, a number, which sorts after them.
    const auto words = Records({{.frequency = '2', .measurement = '3'},
                                {.frequency = '0', .measurement = '1'},
                                {.frequency = '5', .measurement = '0'}});
    EXPECT_EQ(Sorted(words, kFrequencyColumn, false), (Texts{"CF", "LF", "5"}));
    EXPECT_EQ(Sorted(words, kMeasurementColumn, true), (Texts{"Current", "Line", "None"}));
    // Text columns sort as text.
    const auto modes = Records({{.mode = '3', .selfTest = 'P'},
                                {.mode = '0', .selfTest = 'G'},
                                {.mode = '2', .selfTest = 'F'},
                                {.mode = '1', .selfTest = 'P'}});
    EXPECT_EQ(Sorted(modes, kModeColumn, false), (Texts{"A", "G", "P", "R"}));
    EXPECT_EQ(Sorted(modes, kSelfTestColumn, true), (Texts{"G", "* P *", "* P *", "* F *"}));
}

TEST(RowSort, SortsTheOrderAsShownAndKeepsEqualRowsInIt) {
    // Sorting by mode after a sort by depth keeps the depth order inside each mode.
    const auto records = Records({{.mode = '1', .depth = "300"},
                                  {.mode = '0', .depth = "200"},
                                  {.mode = '1', .depth = "100"},
                                  {.mode = '0', .depth = "400"}});
    std::vector<std::uint32_t> order;
    Sorted(records, kDepthColumn, false, order);
    EXPECT_EQ(order, (std::vector<std::uint32_t>{2, 1, 0, 3}));
    Sorted(records, kModeColumn, false, order);
    EXPECT_EQ(order, (std::vector<std::uint32_t>{1, 3, 2, 0}));
}

TEST(RowSort, TheDateNumberSortsAsTheDateKeyTextsAndKeepsEqualRowsInTheirOrder) {
    // Dates that repeat (equal keys), invalid ones (empty keys), short and damaged lines, in a
    // mixed order; then the same rows already in date order, where the sort takes short cuts.
    std::vector<DataRecord> records;
    const char* dates[] = {"311213", "010114", "311213", "991399", "290224", "290223", "0512"};
    const char* times[] = {"235959", "000000", "120000", "140309", "000000", "000000", "14"};
    for (int i = 0; i < 700; ++i) {
        std::string line = RecordLine({.date = dates[i % 7], .time = times[(i / 7) % 7]});
        if (i % 7 == 6)
            line = line.substr(0, 4 + i % 9);
        records.push_back(ParseRecordLine(line));
    }
    const auto byDateKeyText = [&](std::vector<std::uint32_t> order, bool descending) {
        std::stable_sort(order.begin(), order.end(), [&](std::uint32_t a, std::uint32_t b) {
            const std::string ka = DateKey(CellText(records[a], kDateColumn, ""));
            const std::string kb = DateKey(CellText(records[b], kDateColumn, ""));
            return descending ? CompareAsText(kb, ka) < 0 : CompareAsText(ka, kb) < 0;
        });
        return order;
    };
    std::vector<std::uint32_t> start(records.size());
    for (std::uint32_t i = 0; i < start.size(); ++i)
        start[i] = (i * 37) % static_cast<std::uint32_t>(start.size());
    for (const auto& from : {start, byDateKeyText(start, false), byDateKeyText(start, true)})
        for (bool descending : {false, true}) {
            std::vector<std::uint32_t> order = from;
            SortRowOrderByNumber(order, descending,
                                 [&](std::uint32_t row) { return DateSortNumber(records[row]); });
            EXPECT_EQ(order, byDateKeyText(from, descending)) << descending;
            order = from; // the same through the cell texts
            Sorted(records, kDateColumn, descending, order);
            EXPECT_EQ(order, byDateKeyText(from, descending)) << descending;
        }
    EXPECT_EQ(DateSortNumber(records[0]), 20131231235959u);
    EXPECT_EQ(DateSortNumber(records[3]), 0u); // 99/13/99 is no date
    EXPECT_EQ(DateSortNumber(records[5]), 0u); // 29/02/23 is no date
}

TEST(SortHeader, DateStartsAscendingAndAClickedColumnTakesTheImage) {
    SortHeaderState header(kRecordColumnCount);
    EXPECT_EQ(header.ImageOf(kDateColumn), SortHeaderState::Image::Asc);
    EXPECT_TRUE(header.Click(kDateColumn)); // the first click on Date sorts descending
    EXPECT_EQ(header.ImageOf(kDateColumn), SortHeaderState::Image::Desc);
    EXPECT_FALSE(header.Click(kDateColumn));
    EXPECT_FALSE(header.Click(kModeColumn)); // any other column starts ascending
    EXPECT_EQ(header.ImageOf(kModeColumn), SortHeaderState::Image::Asc);
    EXPECT_EQ(header.ImageOf(kDateColumn), SortHeaderState::Image::None);
    EXPECT_TRUE(header.Click(kModeColumn));
    EXPECT_EQ(header.ImageOf(kModeColumn), SortHeaderState::Image::Desc);
}

TEST(RecordCells, TextsAndColoursFollowTheModeAndSelfTest) {
    const DataRecord g = ParseRecordLine(RecordLine({.mode = '2', .selfTest = 'P'}));
    EXPECT_EQ(CellText(g, kDateColumn, "KVZ3"), "05/12/26   14:03:09");
    EXPECT_EQ(CellText(g, kModeColumn, "PVZ3") + CellText(g, kModeColumn, "NVZ3"), "GT");
    EXPECT_EQ(CellText(g, kSelfTestColumn, "KVZ3"), "* P *");
    EXPECT_EQ(CellColour(g, kSelfTestColumn), (Rgb{0, 255, 0}));
    EXPECT_EQ(CellColour(g, kDepthColumn), (Rgb{246, 189, 15}));
    const DataRecord f = ParseRecordLine(RecordLine({.mode = '0', .selfTest = 'F'}));
    EXPECT_EQ(CellColour(f, kSelfTestColumn), (Rgb{255, 0, 0}));
    EXPECT_EQ(CellColour(f, kModeColumn), (Rgb{255, 142, 70}));
    const DataRecord other = ParseRecordLine(RecordLine({.mode = '3', .selfTest = 'B'}));
    EXPECT_EQ(CellText(other, kSelfTestColumn, "KVZ3"), "B");
    EXPECT_EQ(CellColour(other, kSelfTestColumn), (Rgb{175, 216, 248}));
}
