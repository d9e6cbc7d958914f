#include "viewer/usage_summary.h"

#include "viewer/duration.h"

namespace tarvik {

std::string ModeName(int modeIndex, std::string_view modelCode) {
    switch (modeIndex) {
    case 0:
        return "Power";
    case 1:
        return "Radio";
    case 2:
        return IsGeneratorModel(modelCode) ? "Generator" : "Transmitter";
    case 3:
        return "Sweep";
    default:
        return {};
    }
}

std::vector<std::string> UsageSummaryLines(const SelectionTally& selected) {
    std::vector<std::string> lines;
    lines.push_back("Records: " + std::to_string(selected.recordCount));
    for (int mode = 0; mode < 4; ++mode)
        lines.push_back(ModeName(mode, selected.summary.identity.model) + ": " +
                        UsageTimeText(selected.usage.seconds[static_cast<std::size_t>(mode)]));
    lines.push_back("Total: " + UsageTimeText(selected.usage.Total()));
    return lines;
}

} // namespace tarvik
