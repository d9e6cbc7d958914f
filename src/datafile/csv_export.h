#pragma once

#include <filesystem>
#include <string>

namespace tarvik {

struct CsvExportResult {
    bool ok = false;
    std::filesystem::path output;
    std::string error; // why it failed, naming the file
};

// Where the export of a data file goes: the data folder's "csv" sub-folder, the data file's
// name with ".csv" added (x.lgd -> x.lgd.csv).
std::filesystem::path CsvOutputPath(const std::filesystem::path& dataFolder,
                                    const std::string& dataFileName);

// Converts a data file into the spreadsheet text: identity line, header row, one row per
// record, the end mark. `modelShown` decides what mode "2" reads as. The output folder is
// created when missing; an existing output is replaced only once the new one is complete.
CsvExportResult ExportCsv(const std::filesystem::path& dataFile,
                          const std::filesystem::path& output, const std::string& modelShown);

} // namespace tarvik
