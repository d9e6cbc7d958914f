#include "datafile/data_record.h"

#include <algorithm>
#include <cstring>

namespace tarvik {

namespace {
// The value of a two-character numeric field; non-digits end the number (0 when none).
int TwoDigitValue(std::string_view field) {
    unsigned value = 0;
    for (char c : field) {
        if (c < '0' || c > '9')
            break;
        value = value * 10 + static_cast<unsigned>(c - '0');
    }
    return static_cast<int>(value);
}

// The field at [start, start + 2) of a line, cut short where the line ends.
std::string_view TwoCharacters(std::string_view line, std::size_t start) {
    return start < line.size() ? line.substr(start, 2) : std::string_view();
}
} // namespace

RecordDay ReadRecordDay(std::string_view line) {
    // The usual case, six digits, without the general reading: every reader of a large log
    // asks this of every record.
    if (line.size() >= 6) {
        unsigned digits[6];
        bool allDigits = true;
        for (std::size_t i = 0; i < 6; ++i) {
            digits[i] = static_cast<unsigned char>(line[i]) - unsigned{'0'};
            allDigits &= digits[i] < 10;
        }
        if (allDigits)
            return {static_cast<int>(digits[0] * 10 + digits[1]),
                    static_cast<int>(digits[2] * 10 + digits[3]),
                    static_cast<int>(digits[4] * 10 + digits[5])};
    }
    return {TwoDigitValue(TwoCharacters(line, 0)), TwoDigitValue(TwoCharacters(line, 2)),
            TwoDigitValue(TwoCharacters(line, 4))};
}

DataRecord ParseRecordLine(std::string_view line) {
    DataRecord record;
    const std::size_t length = std::min(line.size(), DataRecord::kLineLength);
    std::copy_n(line.begin(), length, record.line_.begin());
    record.length_ = static_cast<std::uint8_t>(length);
    return record;
}

bool IsGeneratorModel(std::string_view modelCode) {
    // Files written through a saved port by earlier versions carry the identity reply's "_"
    // fill after the model code ("KVZ3____"): the code is what stands before it.
    const std::size_t fill = modelCode.find_last_not_of('_');
    modelCode = modelCode.substr(0, fill == std::string_view::npos ? 0 : fill + 1);
    return modelCode == "KVZ3" || modelCode == "PVZ3";
}

std::string_view ModeLetterView(std::string_view modeCode, std::string_view modelCode) {
    if (modeCode == "0")
        return "P";
    if (modeCode == "1")
        return "R";
    if (modeCode == "2")
        return IsGeneratorModel(modelCode) ? "G" : "T";
    if (modeCode == "3")
        return "A";
    return modeCode;
}

std::string ModeLetter(std::string_view modeCode, std::string_view modelCode) {
    return std::string(ModeLetterView(modeCode, modelCode));
}

namespace {
// Frequency and measurement codes are compared as numbers: "0" and " 0" both mean 0.
// Only a single digit (with optional blanks) counts; anything else is shown as stored.
int CodeNumber(std::string_view code) {
    int value = -1;
    for (char c : code) {
        if (c == ' ')
            continue;
        if (c < '0' || c > '9' || value >= 0)
            return -1;
        value = c - '0';
    }
    return value;
}
} // namespace

std::string FrequencyText(std::string_view frequencyCode) {
    return std::string(FrequencyTextView(frequencyCode));
}

std::string MeasurementText(std::string_view measurementCode) {
    return std::string(MeasurementTextView(measurementCode));
}

std::string_view FrequencyTextView(std::string_view frequencyCode) {
    switch (CodeNumber(frequencyCode)) {
    case 0:
        return "LF";
    case 1:
        return "8KHz";
    case 2:
        return "CF";
    default:
        return frequencyCode;
    }
}

std::string_view MeasurementTextView(std::string_view measurementCode) {
    switch (CodeNumber(measurementCode)) {
    case 0:
        return "None";
    case 1:
        return "Line";
    case 2:
        return "Sonde";
    case 3:
        return "Current";
    default:
        return measurementCode;
    }
}

} // namespace tarvik
