#pragma once

#include "viewer/record_selection.h"

#include <string>
#include <string_view>
#include <vector>

namespace tarvik {

// The names of the four modes as the viewer's usage rows and mode key show them; mode "2" is
// the generator on models "KVZ3" and "PVZ3", the transmitter on the others.
std::string ModeName(int modeIndex, std::string_view modelCode);

// "Records: N", then "Power: 1 Hrs 2 Mins 5 Secs" and so on for the four modes and "Total".
std::vector<std::string> UsageSummaryLines(const SelectionTally& selected);

} // namespace tarvik
