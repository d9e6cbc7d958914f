#pragma once

#include "datafile/data_file_header.h"
#include "support/temp_dir.h"

#include <cstdio>
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

inline std::string RecordLine(const RecordFields& f) {
    std::string line = f.date + f.time + f.mode + f.frequency + f.bargraph + "045" + f.measurement +
                       f.depth + "0N+12-05" + f.selfTest;
    line.resize(32, ' ');
    return line;
}

// `count` records of one mode on one day, one a second from the given time of day.
inline std::vector<std::string> RecordsOnDay(const std::string& date, char mode, std::size_t count,
                                             int startSecondOfDay = 8 * 3600) {
    std::vector<std::string> lines;
    for (std::size_t i = 0; i < count; ++i) {
        const int second = (startSecondOfDay + static_cast<int>(i)) % 86400;
        char time[16];
        std::snprintf(time, sizeof time, "%02d%02d%02d", second / 3600, second / 60 % 60,
                      second % 60);
        lines.push_back(RecordLine({.date = date, .time = time, .mode = mode}));
    }
    return lines;
}

// Groups of record lines (days, modes) as one list, in the order given.
inline std::vector<std::string> Concatenated(const std::vector<std::vector<std::string>>& groups) {
    std::vector<std::string> lines;
    for (const auto& group : groups)
        lines.insert(lines.end(), group.begin(), group.end());
    return lines;
}

// Writes a data file: header block, identity line, the record lines and the end mark.
inline void WriteDataFile(const std::filesystem::path& file, const std::string& identityLine,
                          const std::vector<std::string>& recordLines) {
    std::string bytes = BuildDataFileHeader() + identityLine + "\r\n";
    for (const std::string& line : recordLines)
        bytes += line + "\r\n";
    bytes += '\x1a';
    std::filesystem::create_directories(file.parent_path());
    WriteBytes(file, bytes);
}

} // namespace tarvik::test
