#pragma once

#include "common/locator_identity.h"
#include "viewer/record_columns.h"
#include "viewer/record_selection.h"

#include <cstdint>
#include <string>
#include <vector>

namespace tarvik {

// The month chart calls mode "2" the generator, the day chart the transmitter.
enum class ChartKind { Month, Day };

struct PieSlice {
    std::string label;
    std::uint64_t seconds = 0;
    Rgb colour;
};

// Everything a usage pie shows, worked out without a window.
struct ChartContent {
    bool hasData = false;
    std::string status;    // "No data for ..." when there is nothing to chart, else empty
    std::string title;     // two lines joined by CR LF
    std::string usageTime; // "1 Hrs 2 Mins 5 Secs"
    std::vector<PieSlice> slices;
};

// The chart's fixed looks.
namespace chart_style {
inline constexpr Rgb kForeground{192, 192, 192};
inline constexpr Rgb kSecondColour{64, 64, 64};
inline constexpr Rgb kBackground{255, 239, 213};
inline constexpr const char* kLegendCaption = "Mode";
} // namespace chart_style

// "January" to "December"; empty outside 1 to 12.
std::string MonthName(int month);

// "December 2026" from month 12 and two-digit year 26.
std::string MonthAndYear(int month, int year);

// "Locator KVZ3, Serial no. 7. User: Bob" CR LF "Usage by Mode for " period.
std::string ChartTitle(const LocatorIdentity& identity, const std::string& period);

// A slice for every mode with records, in the order Power, Radio, mode "2", Sweep.
std::vector<PieSlice> ModeSlices(const ModeTally& tally, ChartKind kind);

// The month chart: the period is the first to the last record's date, or the month's name and
// year when all records are of one day.
ChartContent MonthChart(const SelectionTally& month, int monthNumber, int year);

// The day chart: the period is the date of the day's first record.
ChartContent DayChart(const SelectionTally& day);

} // namespace tarvik
