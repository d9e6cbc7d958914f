#pragma once

#include "datafile/data_record.h"
#include "viewer/sort_keys.h"

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace tarvik {

// A colour as red, green and blue.
struct Rgb {
    std::uint8_t red = 0;
    std::uint8_t green = 0;
    std::uint8_t blue = 0;

    bool operator==(const Rgb&) const = default;
};

enum class CellAlignment { Left, Centre };

// One column of the viewer's record table.
struct RecordColumn {
    const char* header;
    int widthTwips; // 1/1440 inch
    CellAlignment alignment;
    const char* sortTag; // "DATE", "NUMBER" or "STRING"
};

enum RecordColumnIndex {
    kDateColumn,
    kModeColumn,
    kFrequencyColumn,
    kMeasurementColumn,
    kDepthColumn,
    kSignalColumn,
    kSelfTestColumn,
    kRecordColumnCount
};

const std::array<RecordColumn, kRecordColumnCount>& RecordColumns();

// The text of one cell of a record's row; `modelCode` decides the letter of mode "2".
// Appends to `out` (cleared first) so that a caller walking a million rows reuses one buffer.
void CellText(const DataRecord& record, int column, std::string_view modelCode, std::string& out);
std::string CellText(const DataRecord& record, int column, std::string_view modelCode);

// The Date cell's sort key as a number (DateKeyNumber of the cell's text), worked out from the
// record's digits without writing the text.
std::uint64_t DateSortNumber(const DataRecord& record);

// The text colour of a record's row: its mode's colour.
Rgb ModeColour(char modeCode);
// The colour of one cell: the row's, except "P" green and "F" red in the Self Test cell.
Rgb CellColour(const DataRecord& record, int column);

inline constexpr Rgb kDarkGrey{64, 64, 64}; // the table's and the mode key's background

} // namespace tarvik
