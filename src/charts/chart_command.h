#pragma once

#include "viewer/record_selection.h"

#include <filesystem>
#include <string>

namespace tarvik {

// Writes the usage chart JPEG for the command line: tarvik-chart-render beside the program draws
// it in a process of its own, so that the command itself links no drawing library. False with
// the reason on failure.
bool WriteUsageChartFromCommandLine(const std::filesystem::path& dataFile,
                                    const RecordSelection& selection,
                                    const std::filesystem::path& output, std::string& error);

} // namespace tarvik
