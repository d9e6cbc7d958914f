#include "report/usage_report.h"

#include "datafile/file_checks.h"
#include "datafile/file_label.h"
#include "report/usage_report_data.h"
#include "report/usage_report_document.h"

#include <fstream>
#include <system_error>

namespace tarvik {

namespace {

// Why a data file gives no report; empty when it can give one.
std::string FileProblem(const UsageReportData& data, const std::filesystem::path& file) {
    if (data.summary.status == DataFileStatus::Unreadable)
        return file.string() + ": the file cannot be read";
    // As opening a file tells it: no records first, then a damaged identity line.
    if (data.summary.status == DataFileStatus::NoIdentityLine || data.summary.recordCount == 0)
        return file.string() + ": " + kNoDataMessage;
    if (data.summary.status == DataFileStatus::DamagedIdentity)
        return file.string() + ": " + DamagedIdentityMessage();
    if (data.days.empty())
        return kNoDataForSelection;
    return {};
}

bool Readable(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    return in && in.peek() != std::ifstream::traits_type::eof();
}

} // namespace

std::filesystem::path FreeReportPath(const std::filesystem::path& folder,
                                     const std::string& label) {
    std::filesystem::path path = folder / (label + ".pdf");
    for (int n = 2; std::filesystem::exists(path); ++n)
        path = folder / (label + " (" + std::to_string(n) + ").pdf");
    return path;
}

UsageReportResult CreateUsageReport(const UsageReportRequest& request, const Folders& folders,
                                    PdfPrinterServices services) {
    UsageReportResult result;
    const UsageReportData data = GatherUsageReport(request.dataFile, request.period);
    result.error = FileProblem(data, request.dataFile);
    if (!result.error.empty())
        return result;
    for (const char* font : {"Helvetica.afm", "Helvetica-Bold.afm"}) {
        if (!Readable(request.fontsFolder / font)) {
            result.error = "The report cannot be made: " + (request.fontsFolder / font).string() +
                           " is missing or unreadable.";
            return result;
        }
    }

    std::error_code error;
    std::filesystem::path file;
    if (request.output) {
        file = *request.output;
        if (file.has_parent_path())
            std::filesystem::create_directories(file.parent_path(), error);
    } else {
        std::filesystem::create_directories(folders.ReportsFolder(), error);
        FileLabelDetails details;
        details.period = request.period.Label();
        file = FreeReportPath(
            folders.ReportsFolder(),
            BuildFileLabel(FileLabelKind::Report, data.summary.identity, DateTime{}, details));
    }
    SystemClock systemClock;
    const Clock& clock = services.clock ? *services.clock : systemClock;
    if (!WriteUsageReportPdf(data, file, request.fontsFolder, clock.Now(), std::move(services))) {
        std::filesystem::remove(file, error);
        result.error = "The report " + file.string() + " could not be written.";
        return result;
    }
    result.file = file;
    return result;
}

} // namespace tarvik
