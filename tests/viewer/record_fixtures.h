#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace tarvik::test {

// One record line as the locator sends it (32 characters), built from its fields.
struct RecordFields {
    std::string date = "051226"; // ddmmyy
    std::string time = "140309"; // hhmmss
    char mode = '0';
    char frequency = '1';
    std::string bargraph = "12";
    char measurement = '1';
    std::string depth = "007";
    char selfTest = 'G';
};
std::string RecordLine(const RecordFields& fields);

// `count` records of one mode on one day, one a second from the given time of day.
std::vector<std::string> RecordsOnDay(const std::string& date, char mode, std::size_t count,
                                      int startSecondOfDay = 8 * 3600);

// Groups of record lines (days, modes) as one list, in the order given.
std::vector<std::string> Concatenated(const std::vector<std::vector<std::string>>& groups);

// Writes a data file: header block, identity line, the record lines and the end mark.
void WriteDataFile(const std::filesystem::path& file, const std::string& identityLine,
                   const std::vector<std::string>& recordLines);

} // namespace tarvik::test
