#pragma once

#include "viewer/record_selection.h"

#include <filesystem>
#include <string>

namespace tarvik {

// The usage chart of one month or one day of a data file, drawn offscreen as the chart window
// draws it, written as a JPEG. Needs a QApplication. False with the reason on failure (the file
// cannot be read, nothing to chart, the image cannot be written).
bool WriteUsageChartJpeg(const std::filesystem::path& dataFile, const RecordSelection& selection,
                         const std::filesystem::path& output, std::string& error);

} // namespace tarvik
