#include "viewer/record_columns.h"
#include "viewer/record_fixtures.h"
#include "viewer/row_sort.h"

#include <algorithm>
#include <gtest/gtest.h>

using namespace tarvik;
using tarvik::test::RecordLine;

namespace {
std::vector<DataRecord> Records(const std::vector<test::RecordFields>& fields) {
    std::vector<DataRecord> records;
    for (const auto& f : fields)
        records.push_back(ParseRecordLine(RecordLine(f)));
    return records;
}

// Sorts the rows by a column as the viewer does and returns the column's texts in row order.
std::vector<std::string> SortedTexts(const std::vector<DataRecord>& records, int column,
                                     bool descending,
                                     std::vector<std::uint32_t>* orderOut = nullptr) {
    std::vector<std::uint32_t> order(records.size());
    for (std::uint32_t i = 0; i < order.size(); ++i)
        order[i] = i;
    const RecordColumn& c = RecordColumns()[static_cast<std::size_t>(column)];
    SortRowOrder(
        order, SortTypeFromTag(c.sortTag), descending,
        [&](std::uint32_t row, std::string& out) { CellText(records[row], column, "KVZ3", out); });
    std::vector<std::string> texts;
    for (std::uint32_t row : order)
        texts.push_back(CellText(records[row], column, "KVZ3"));
    if (orderOut)
        *orderOut = order;
    return texts;
}
} // namespace

TEST(RowSort, DepthsSortByValueBothWays) {
    const auto records = Records({{.depth = "100"}, {.depth = "025"}, {.depth = "007"}});
    EXPECT_EQ(SortedTexts(records, kDepthColumn, false),
              (std::vector<std::string>{"007", "025", "100"}));
    EXPECT_EQ(SortedTexts(records, kDepthColumn, true),
              (std::vector<std::string>{"100", "025", "007"}));
}

TEST(RowSort, DatesSortByDateNotByDayFirstText) {
    const auto records = Records({{.date = "010114", .time = "000000"},
                                  {.date = "311213", .time = "235959"},
                                  {.date = "311213", .time = "120000"}});
    EXPECT_EQ(SortedTexts(records, kDateColumn, false),
              (std::vector<std::string>{"31/12/13   12:00:00", "31/12/13   23:59:59",
                                        "01/01/14   00:00:00"}));
    EXPECT_EQ(SortedTexts(records, kDateColumn, true).front(), "01/01/14   00:00:00");
}

TEST(RowSort, InvalidDatesAndNonNumbersGetEmptyKeysAndComeFirstAscending) {
    const auto records =
        Records({{.date = "311213"}, {.date = "991399"}, {.depth = "050"}, {.depth = "0-1"}});
    EXPECT_EQ(SortedTexts(records, kDateColumn, false).front(), "99/13/99   14:03:09");
    EXPECT_EQ(SortedTexts(records, kDepthColumn, false).front(), "0-1");
    EXPECT_EQ(SortedTexts(records, kDepthColumn, true).back(), "0-1");
}

TEST(RowSort, WordColumnsHaveOnlyEmptyKeysAndKeepTheirOrder) {
    const auto records = Records({{.frequency = '2', .measurement = '3'},
                                  {.frequency = '0', .measurement = '1'},
                                  {.frequency = '1', .measurement = '0'}});
    std::vector<std::uint32_t> order;
    EXPECT_EQ(SortedTexts(records, kFrequencyColumn, false, &order),
              (std::vector<std::string>{"CF", "LF", "8KHz"}));
    EXPECT_EQ(order, (std::vector<std::uint32_t>{0, 1, 2}));
    SortedTexts(records, kMeasurementColumn, true, &order);
    EXPECT_EQ(order, (std::vector<std::uint32_t>{0, 1, 2}));
    // A code outside the table shows as its digit, which is a number and sorts after words.
    const auto odd = Records({{.frequency = '5'}, {.frequency = '0'}});
    EXPECT_EQ(SortedTexts(odd, kFrequencyColumn, false), (std::vector<std::string>{"LF", "5"}));
}

TEST(RowSort, TextColumnsSortAsTextAndEveryRowKeepsItsCells) {
    const auto records = Records({{.mode = '3', .selfTest = 'P'},
                                  {.mode = '0', .selfTest = 'G'},
                                  {.mode = '2', .selfTest = 'F'},
                                  {.mode = '1', .selfTest = 'P'}});
    std::vector<std::uint32_t> order;
    EXPECT_EQ(SortedTexts(records, kModeColumn, false, &order),
              (std::vector<std::string>{"A", "G", "P", "R"}));
    EXPECT_EQ(order, (std::vector<std::uint32_t>{0, 2, 1, 3}));
    EXPECT_EQ(SortedTexts(records, kSelfTestColumn, true),
              (std::vector<std::string>{"G", "* P *", "* P *", "* F *"}));
}

TEST(RowSort, SortsTheOrderAsShownNotTheFileOrder) {
    // Sorting by mode after a sort by depth keeps the depth order inside each mode.
    const auto records = Records({{.mode = '1', .depth = "300"},
                                  {.mode = '0', .depth = "200"},
                                  {.mode = '1', .depth = "100"},
                                  {.mode = '0', .depth = "400"}});
    std::vector<std::uint32_t> order{0, 1, 2, 3};
    const auto textOf = [&](int column) {
        return [&records, column](std::uint32_t row, std::string& out) {
            CellText(records[row], column, "KVZ3", out);
        };
    };
    SortRowOrder(order, SortType::Number, false, textOf(kDepthColumn));
    EXPECT_EQ(order, (std::vector<std::uint32_t>{2, 1, 0, 3}));
    SortRowOrder(order, SortType::Text, false, textOf(kModeColumn));
    EXPECT_EQ(order, (std::vector<std::uint32_t>{1, 3, 2, 0}));
}

TEST(SortHeader, DateStartsAscendingSoItsFirstClickSortsDescending) {
    SortHeaderState header(kRecordColumnCount);
    EXPECT_EQ(header.ImageOf(kDateColumn), SortHeaderState::Image::Asc);
    EXPECT_TRUE(header.Click(kDateColumn));
    EXPECT_EQ(header.ImageOf(kDateColumn), SortHeaderState::Image::Desc);
    EXPECT_FALSE(header.Click(kDateColumn));
    EXPECT_EQ(header.ImageOf(kDateColumn), SortHeaderState::Image::Asc);
}

TEST(SortHeader, ModeTwiceGivesAscendingThenDescendingAndMovesTheImage) {
    SortHeaderState header(kRecordColumnCount);
    EXPECT_FALSE(header.Click(kModeColumn));
    EXPECT_EQ(header.ImageOf(kModeColumn), SortHeaderState::Image::Asc);
    EXPECT_EQ(header.ImageOf(kDateColumn), SortHeaderState::Image::None);
    EXPECT_TRUE(header.Click(kModeColumn));
    EXPECT_EQ(header.ImageOf(kModeColumn), SortHeaderState::Image::Desc);
    // Another column starts ascending again.
    EXPECT_FALSE(header.Click(kDepthColumn));
    EXPECT_EQ(header.ImageOf(kModeColumn), SortHeaderState::Image::None);
}

TEST(RecordCells, TextsAndColoursFollowTheModeAndSelfTest) {
    const DataRecord g = ParseRecordLine(RecordLine({.mode = '2', .selfTest = 'P'}));
    EXPECT_EQ(CellText(g, kDateColumn, "KVZ3"), "05/12/26   14:03:09");
    EXPECT_EQ(CellText(g, kModeColumn, "KVZ3"), "G");
    EXPECT_EQ(CellText(g, kModeColumn, "PVZ3"), "G");
    EXPECT_EQ(CellText(g, kModeColumn, "NVZ3"), "T");
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

TEST(RowSort, TheDateNumberSortsAsTheDateKeyTextsAndKeepsEqualRowsInTheirOrder) {
    // Dates that repeat (equal keys), invalid ones (empty keys), short and damaged lines, in a
    // mixed order; then the same rows already in date order, where the sort takes short cuts.
    std::vector<DataRecord> records;
    const char* dates[] = {"311213", "010114", "311213", "991399", "290224", "290223", "0512"};
    const char* times[] = {"235959", "000000", "120000", "140309", "000000", "000000", "14"};
    for (int i = 0; i < 70; ++i) {
        std::string line = test::RecordLine({.date = dates[i % 7], .time = times[(i / 7) % 7]});
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
        }
    EXPECT_EQ(DateSortNumber(records[0]), 20131231235959u);
    EXPECT_EQ(DateSortNumber(records[3]), 0u); // 99/13/99 is no date
    EXPECT_EQ(DateSortNumber(records[5]), 0u); // 29/02/23 is no date
}
