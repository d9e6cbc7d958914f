#include "charts/chart_file.h"

#include "charts/chart_content.h"
#include "charts/chart_image.h"
#include "charts/pie_chart.h"

namespace tarvik {

bool WriteUsageChartJpeg(const std::filesystem::path& dataFile, const RecordSelection& selection,
                         const std::filesystem::path& output, std::string& error) {
    const SelectedRecords records = ReadSelection(dataFile, selection);
    switch (records.summary.status) {
    case DataFileStatus::Ok:
        break;
    case DataFileStatus::Unreadable:
        error = dataFile.string() + ": the file cannot be read";
        return false;
    case DataFileStatus::NoIdentityLine:
        error = dataFile.string() + ": This file contains no data, please choose another";
        return false;
    case DataFileStatus::DamagedIdentity:
        error = dataFile.string() + ": the identity line of this data file is damaged";
        return false;
    }
    const ChartContent content = selection.day == RecordSelection::kWholeMonth
                                     ? MonthChart(records, selection.month, selection.year)
                                     : DayChart(records);
    if (!content.hasData) {
        error = content.status;
        return false;
    }
    return WriteJpeg(RenderPieChart(content, QSize(kChartWidth, kChartHeight)), output, error);
}

} // namespace tarvik
