#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace tarvik {

// The mode code of a record line as one character, '\0' when the line has none.
inline char ModeCodeOf(std::string_view line) {
    return line.size() > 12 ? line[12] : '\0';
}

// The numeric day, month and two-digit year of a record line (an empty or non-numeric field
// counts as 0), for readers that select records without decoding them.
struct RecordDay {
    int day = 0;
    int month = 0;
    int year = 0; // two digits
};
RecordDay ReadRecordDay(std::string_view line);

// One decoded record line of the locator's usage log: one second of use.
// The record keeps its own copy of the 32 characters; every field is a view into that copy,
// cut at the fixed positions. A short line gives empty (or partly empty) fields where it
// has no characters.
class DataRecord {
public:
    static constexpr std::size_t kLineLength = 32;

    DataRecord() = default;

    std::string_view Day() const { return Field(0, 2); }
    std::string_view Month() const { return Field(2, 2); }
    std::string_view Year() const { return Field(4, 2); }
    std::string_view Hours() const { return Field(6, 2); }
    std::string_view Minutes() const { return Field(8, 2); }
    std::string_view Seconds() const { return Field(10, 2); }
    std::string_view Mode() const { return Field(12, 1); }
    std::string_view GenModeFrequency() const { return Field(13, 1); }
    std::string_view Bargraph() const { return Field(14, 2); }
    std::string_view SensitivityLevel() const { return Field(16, 3); }
    std::string_view MeasurementType() const { return Field(19, 1); }
    std::string_view Depth() const { return Field(20, 3); }
    std::string_view AccelWarningOn() const { return Field(23, 1); }
    std::string_view Overload() const { return Field(24, 1); }
    std::string_view BladeAngleSign() const { return Field(25, 1); }
    std::string_view BladeAngle() const { return Field(26, 2); }
    std::string_view PaddleAngleSign() const { return Field(28, 1); }
    std::string_view PaddleAngle() const { return Field(29, 2); }
    std::string_view SelfTest() const { return Field(31, 1); }

    // Numeric date; an empty or non-numeric field counts as 0. The year is 2000 + YY.
    int DayNumber() const { return ReadRecordDay(Line()).day; }
    int MonthNumber() const { return ReadRecordDay(Line()).month; }
    int YearNumber() const { return 2000 + TwoDigitYear(); }
    int TwoDigitYear() const { return ReadRecordDay(Line()).year; }

    // The mode code as one character, '\0' when the line has none.
    char ModeCode() const { return ModeCodeOf(Line()); }

    std::string_view Line() const { return std::string_view(line_.data(), length_); }

private:
    friend DataRecord ParseRecordLine(std::string_view line);

    // An empty field still points into the record, so that copying it never reads from null.
    std::string_view Field(std::size_t start, std::size_t width) const {
        if (start >= length_)
            return std::string_view(line_.data(), 0);
        return std::string_view(line_.data() + start, std::min(width, length_ - start));
    }

    std::array<char, kLineLength> line_{};
    std::uint8_t length_ = 0;
};

// Cuts a record line at its fixed positions. Characters beyond the 32nd are never read;
// no digit or range check is made.
DataRecord ParseRecordLine(std::string_view line);

// "P", "R", "G"/"T" (by model), "A"; any other code is returned as it stands.
std::string ModeLetter(std::string_view modeCode, std::string_view modelCode);
// "LF", "8KHz", "CF"; any other code as it stands.
std::string FrequencyText(std::string_view frequencyCode);
// "None", "Line", "Sonde", "Current"; any other code as it stands.
std::string MeasurementText(std::string_view measurementCode);

// The same without a copy: views of static texts or of the code passed in.
std::string_view ModeLetterView(std::string_view modeCode, std::string_view modelCode);
std::string_view FrequencyTextView(std::string_view frequencyCode);
std::string_view MeasurementTextView(std::string_view measurementCode);

// True for the models whose mode "2" is the generator ("KVZ3", "PVZ3"), also when followed
// only by "_" fill.
bool IsGeneratorModel(std::string_view modelCode);

} // namespace tarvik
