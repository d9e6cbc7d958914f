#pragma once

#include <array>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tarvik::pdf {

// Character widths of one font, in thousandths of the font size, indexed by the 8-bit
// character code; codes the metrics do not cover are 0.
struct AfmWidths {
    std::array<int, 256> byCode{};
};

// Reads the character metrics of an Adobe Font Metrics text: the lines after
// "StartCharMetrics" up to "EndCharMetrics" or the first unencoded character ("-1 ;"). Each
// line gives "C code ; WX width ; ..."; lines that do not, and codes outside 1 to 255, are
// passed over. Codes below the first and above the last one read stay 0.
AfmWidths ParseAfmWidths(std::string_view content);

// The same for a file; nothing when it cannot be read.
std::optional<AfmWidths> ReadAfmWidthsFile(const std::filesystem::path& file);

// The sum of the widths of an 8-bit text's characters.
long long SumWidths(const AfmWidths& widths, std::string_view text);

// The font names a folder offers: every file whose name, lower-cased, contains ".afm", with
// the last four characters of its name dropped, sorted by those names so that the fonts are
// numbered the same on every machine (Helvetica before Helvetica-Bold). Empty when the folder
// cannot be listed.
std::vector<std::string> ListAfmNames(const std::filesystem::path& folder);

} // namespace tarvik::pdf
