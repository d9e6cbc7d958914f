#include "viewer/record_columns.h"

namespace tarvik {

namespace {
constexpr Rgb kPassGreen{0, 255, 0};
constexpr Rgb kFailRed{255, 0, 0};
// A mode code outside the four known ones is drawn in light grey, readable on the dark table.
constexpr Rgb kUnknownModeColour{192, 192, 192};
} // namespace

const std::array<RecordColumn, kRecordColumnCount>& RecordColumns() {
    static const std::array<RecordColumn, kRecordColumnCount> columns{{
        {"Date", 1700, CellAlignment::Left, "DATE"},
        {"Mode", 1000, CellAlignment::Centre, "STRING"},
        {"Frequency", 1200, CellAlignment::Centre, "NUMBER"},
        {"Measurement", 1700, CellAlignment::Centre, "NUMBER"},
        {"Depth", 1000, CellAlignment::Centre, "NUMBER"},
        {"Signal Strength", 1700, CellAlignment::Centre, "NUMBER"},
        {"Self Test", 1700, CellAlignment::Centre, "STRING"},
    }};
    return columns;
}

void CellText(const DataRecord& r, int column, std::string_view modelCode, std::string& out) {
    out.clear();
    switch (column) {
    case kDateColumn:
        out.append(r.Day()).append("/").append(r.Month()).append("/").append(r.Year());
        out.append("   ").append(r.Hours()).append(":").append(r.Minutes()).append(":");
        out.append(r.Seconds());
        break;
    case kModeColumn:
        out.append(ModeLetterView(r.Mode(), modelCode));
        break;
    case kFrequencyColumn:
        out.append(FrequencyTextView(r.GenModeFrequency()));
        break;
    case kMeasurementColumn:
        out.append(MeasurementTextView(r.MeasurementType()));
        break;
    case kDepthColumn:
        out.append(r.Depth());
        break;
    case kSignalColumn:
        out.append(r.Bargraph());
        break;
    case kSelfTestColumn:
        if (r.SelfTest() == "P" || r.SelfTest() == "F")
            out.append("* ").append(r.SelfTest()).append(" *");
        else
            out.append(r.SelfTest());
        break;
    default:
        break;
    }
}

std::string CellText(const DataRecord& record, int column, std::string_view modelCode) {
    std::string text;
    CellText(record, column, modelCode, text);
    return text;
}

std::uint64_t DateSortNumber(const DataRecord& record) {
    const std::string_view line = record.Line();
    int parts[6];
    for (std::size_t i = 0; i < 6; ++i) {
        const std::size_t at = 2 * i;
        if (line.size() < at + 2 || line[at] < '0' || line[at] > '9' || line[at + 1] < '0' ||
            line[at + 1] > '9')
            // A short or damaged date: read its cell as the text sort would.
            return DateKeyNumber(CellText(record, kDateColumn, {}));
        parts[i] = (line[at] - '0') * 10 + (line[at + 1] - '0');
    }
    return DateTimeNumber(2000 + parts[2], parts[1], parts[0], parts[3], parts[4], parts[5]);
}

Rgb ModeColour(char modeCode) {
    switch (modeCode) {
    case '0':
        return {255, 142, 70};
    case '1':
        return {139, 186, 0};
    case '2':
        return {246, 189, 15};
    case '3':
        return {175, 216, 248};
    default:
        return kUnknownModeColour;
    }
}

Rgb CellColour(const DataRecord& record, int column) {
    if (column == kSelfTestColumn) {
        if (record.SelfTest() == "P")
            return kPassGreen;
        if (record.SelfTest() == "F")
            return kFailRed;
    }
    return ModeColour(record.ModeCode());
}

} // namespace tarvik
