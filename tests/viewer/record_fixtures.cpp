#include "viewer/record_fixtures.h"

#include "datafile/data_file_header.h"
#include "support/temp_dir.h"

#include <cstdio>

namespace tarvik::test {

std::string RecordLine(const RecordFields& f) {
    std::string line = f.date + f.time + f.mode + f.frequency + f.bargraph + "045" + f.measurement +
                       f.depth + "0N+12-05" + f.selfTest;
    line.resize(32, ' ');
    return line;
}

std::vector<std::string> RecordsOnDay(const std::string& date, char mode, std::size_t count,
                                      int startSecondOfDay) {
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

std::vector<std::string> Concatenated(const std::vector<std::vector<std::string>>& groups) {
    std::vector<std::string> lines;
    for (const auto& group : groups)
        lines.insert(lines.end(), group.begin(), group.end());
    return lines;
}

void WriteDataFile(const std::filesystem::path& file, const std::string& identityLine,
                   const std::vector<std::string>& recordLines) {
    std::string bytes = BuildDataFileHeader() + identityLine + "\r\n";
    for (const std::string& line : recordLines)
        bytes += line + "\r\n";
    bytes += '\x1a';
    std::filesystem::create_directories(file.parent_path());
    WriteBytes(file, bytes);
}

} // namespace tarvik::test
