#include "viewer/record_columns.h"
#include "viewer/record_fixtures.h"
#include "viewer/row_sort.h"
#include "viewer/sort_keys.h"

#include <algorithm>
#include <gtest/gtest.h>

using namespace tarvik;
using tarvik::test::RecordLine;

TEST(SortKeys, DatesReadDayFirstAndNumbersSortByValueAndTextIgnoresCase) {
    EXPECT_EQ(DateKey("05/06/13   14:02:09") + " " + DateKey("5/6/2013 4:02") + " " +
                  DateKey("29/02/24"),
              "20130605140209 20130605040200 20240229000000");
    for (const char* text :
         {"", "garbage", "32/01/13   10:00:00", "29/02/23   10:00:00", "00/01/13   10:00:00",
          "01/13/13   10:00:00", "01/01/13   24:00:00", "01/01/13   10:60:00",
          "//   ::", "01/01/1   10:00:00", "01/01/13   10:00:00x", "01/01/13x"})
        EXPECT_EQ(DateKey(text), "") << text;

    // Negatives first, larger magnitudes first among them; the empty key of a word before all.
    const char* ascending[] = {"LF", "-100", "-25", "-2.5", "0", "0.5", "025", "100", "1000.01"};
    for (std::size_t i = 1; i < std::size(ascending); ++i)
        EXPECT_LT(CompareAsText(NumberKey(ascending[i - 1]), NumberKey(ascending[i])), 0)
            << ascending[i];
    EXPECT_EQ(NumberKey(" 2.5 ") + NumberKey("-0"), NumberKey("2.50") + NumberKey("0"));
    for (const char* text : {"", "8KHz", "1-2", "1.2.3", ".", "-", "0x10", "12a", "1 2"})
        EXPECT_EQ(NumberKey(text), "") << text;
    EXPECT_EQ(NumberKey(std::string(31, '9')), "");
    EXPECT_NE(NumberKey(std::string(30, '9')), "");

    EXPECT_LT(CompareAsText("a", "B"), 0);
    EXPECT_GT(CompareAsText("B", "a"), 0);
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
                                std::vector<std::uint32_t>&& order = {}) {
    if (order.empty())
        for (std::uint32_t i = 0; i < records.size(); ++i)
            order.push_back(i);
    SortRowOrder(order, SortTypeFromTag(RecordColumns()[static_cast<std::size_t>(column)].sortTag),
                 descending, [&](std::uint32_t row, std::string& out) {
                     CellText(records[row], column, "KVZ3", out);
                 });
    std::vector<std::string> texts;
    for (std::uint32_t row : order)
        texts.push_back(CellText(records[row], column, "KVZ3") + ":" + std::to_string(row));
    return texts;
}

using Texts = std::vector<std::string>;
} // namespace

TEST(RowSort, ColumnsSortByTheirKeysAndEqualRowsKeepTheirOrder) {
    // Cells that are no date or no number get empty keys and come first ascending. Words have
    // only empty keys and keep their order; a code outside the table shows as its digit, a
    // number, which sorts after them.
    const auto records = Records({{.date = "311213", .mode = '3', .frequency = '2', .depth = "100"},
                                  {.date = "991399", .mode = '0', .frequency = '0', .depth = "025"},
                                  {.mode = '2', .frequency = '5', .depth = "0-1"},
                                  {.mode = '1', .measurement = '3', .depth = "025"}});
    EXPECT_EQ(Sorted(records, kDepthColumn, false), (Texts{"0-1:2", "025:1", "025:3", "100:0"}));
    EXPECT_EQ(Sorted(records, kDepthColumn, true), (Texts{"100:0", "025:1", "025:3", "0-1:2"}));
    EXPECT_EQ(Sorted(records, kDateColumn, false).front(), "99/13/99   14:03:09:1");
    EXPECT_EQ(Sorted(records, kFrequencyColumn, false), (Texts{"CF:0", "LF:1", "8KHz:3", "5:2"}));
    EXPECT_EQ(Sorted(records, kMeasurementColumn, true),
              (Texts{"Line:0", "Line:1", "Line:2", "Current:3"}));
    EXPECT_EQ(Sorted(records, kModeColumn, false), (Texts{"A:0", "G:2", "P:1", "R:3"}));
    EXPECT_EQ(Sorted(records, kModeColumn, true, {3, 2, 1, 0}),
              (Texts{"R:3", "P:1", "G:2", "A:0"}));
    // Sorting by depth after a sort by mode keeps the mode order among equal depths.
    EXPECT_EQ(Sorted(records, kDepthColumn, false, {3, 2, 1, 0}),
              (Texts{"0-1:2", "025:3", "025:1", "100:0"}));
    const auto tests = Records({{.selfTest = 'P'}, {.selfTest = 'G'}, {.selfTest = 'F'}});
    EXPECT_EQ(Sorted(tests, kSelfTestColumn, true), (Texts{"G:1", "* P *:0", "* F *:2"}));
}

TEST(RowSort, TheDateNumberSortsAsTheDateKeyTextsAndKeepsEqualRowsInTheirOrder) {
    // Dates that repeat (equal keys), invalid ones (empty keys), short and damaged lines, in a
    // mixed order; then the same rows already in date order, where the sort takes short cuts.
    std::vector<DataRecord> records;
    const char* dates[] = {"311213", "010114", "311213", "991399", "290224", "290223", "0512"};
    const char* times[] = {"235959", "000000", "120000", "140309", "000000", "000000", "14"};
    for (int i = 0; i < 700; ++i) {
        std::string line = RecordLine({.date = dates[i % 7], .time = times[(i / 7) % 7]});
        records.push_back(ParseRecordLine(i % 7 == 6 ? line.substr(0, 4 + i % 9) : line));
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
}

TEST(RecordCells, ColoursFollowTheModeAndTheSelfTest) {
    EXPECT_EQ(CellText(ParseRecordLine(RecordLine({})), kSignalColumn, ""), "12");
    std::string colours;
    for (const DataRecord& r : Records({{.mode = '0', .selfTest = 'P'},
                                        {.mode = '1', .selfTest = 'F'},
                                        {.mode = '2', .selfTest = 'B'},
                                        {.mode = '3'},
                                        {.mode = '8'}}))
        for (int column : {kSelfTestColumn, kDepthColumn}) {
            const Rgb c = CellColour(r, column);
            colours += std::to_string(c.red) + "," + std::to_string(c.green) + "," +
                       std::to_string(c.blue) + "|";
        }
    EXPECT_EQ(colours, "0,255,0|255,142,70|255,0,0|139,186,0|246,189,15|246,189,15|"
                       "175,216,248|175,216,248|192,192,192|192,192,192|");
}
