#include "charts/chart_file.h"

#include "charts/chart_content.h"
#include "charts/chart_image.h"
#include "charts/pie_chart.h"

namespace tarvik {

bool WriteUsageChartJpeg(const std::filesystem::path& dataFile, const RecordSelection& selection,
                         const std::filesystem::path& output, std::string& error) {
    const SelectionTally records = TallySelection(dataFile, selection);
    if (records.summary.status != DataFileStatus::Ok) {
        error = dataFile.string() + ": " + DataFileProblemText(records.summary.status);
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
