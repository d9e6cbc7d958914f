#pragma once

#include "viewer/record_selection.h"

#include <filesystem>
#include <string>

namespace tarvik {

// Writes the usage chart JPEG for the command line. A process without a GUI application (the
// tarvik command) has the chart drawn by tarvik-chart-render beside it; one with a GUI
// application draws it itself. False with the reason on failure.
bool WriteUsageChartFromCommandLine(const std::filesystem::path& dataFile,
                                    const RecordSelection& selection,
                                    const std::filesystem::path& output, std::string& error);

} // namespace tarvik
