#include "charts/chart_content.h"

#include "viewer/duration.h"

#include <array>
#include <cstdio>

namespace tarvik {

namespace {

struct ModeSliceStyle {
    const char* monthLabel;
    const char* dayLabel;
    Rgb colour;
};

constexpr std::array<ModeSliceStyle, 4> kModeSlices{{
    {"Power", "Power", {175, 216, 248}},
    {"Radio", "Radio", {246, 189, 15}},
    {"Generator", "Transmitter", {139, 186, 0}},
    {"Sweep", "Sweep", {255, 142, 70}},
}};

ChartContent Charted(const SelectionTally& selected, ChartKind kind, const std::string& period) {
    ChartContent content;
    content.hasData = true;
    content.title = ChartTitle(selected.summary.identity, period);
    content.usageTime = UsageTimeText(selected.usage.Total());
    content.slices = ModeSlices(selected.usage, kind);
    return content;
}

} // namespace

std::string MonthName(int month) {
    static constexpr std::array<const char*, 12> kNames{
        "January", "February", "March",     "April",   "May",      "June",
        "July",    "August",   "September", "October", "November", "December"};
    if (month < 1 || month > 12)
        return {};
    return kNames[static_cast<std::size_t>(month - 1)];
}

std::string MonthAndYear(int month, int year) {
    char digits[16];
    std::snprintf(digits, sizeof digits, "%02d", year % 100);
    return MonthName(month) + " 20" + digits;
}

std::string ChartTitle(const LocatorIdentity& identity, const std::string& period) {
    return "Locator " + identity.model + ", Serial no. " + identity.serial +
           ". User: " + identity.user + "\r\nUsage by Mode for " + period;
}

std::vector<PieSlice> ModeSlices(const ModeTally& tally, ChartKind kind) {
    std::vector<PieSlice> slices;
    for (std::size_t mode = 0; mode < kModeSlices.size(); ++mode) {
        if (tally.seconds[mode] == 0)
            continue;
        const ModeSliceStyle& style = kModeSlices[mode];
        slices.push_back({kind == ChartKind::Month ? style.monthLabel : style.dayLabel,
                          tally.seconds[mode], style.colour});
    }
    return slices;
}

ChartContent MonthChart(const SelectionTally& month, int monthNumber, int year) {
    if (month.recordCount == 0) {
        ChartContent empty;
        empty.status = "No data for " + MonthAndYear(monthNumber, year);
        return empty;
    }
    const std::string first = month.FirstDate();
    const std::string last = month.LastDate();
    return Charted(month, ChartKind::Month,
                   first == last ? MonthAndYear(monthNumber, year) : first + " to " + last);
}

ChartContent DayChart(const SelectionTally& day) {
    if (day.recordCount == 0) {
        ChartContent empty;
        empty.status = "No data for chosen day";
        return empty;
    }
    return Charted(day, ChartKind::Day, day.FirstDate());
}

} // namespace tarvik
