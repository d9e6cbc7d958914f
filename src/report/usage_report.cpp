#include "report/usage_report.h"

#include "common/store_without_replacing.h"
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

    std::filesystem::path folder;
    std::string fileName;
    if (request.output) {
        folder = request.output->parent_path();
        fileName = request.output->filename().string();
    } else {
        folder = folders.ReportsFolder();
        FileLabelDetails details;
        details.period = request.period.Label();
        fileName =
            BuildFileLabel(FileLabelKind::Report, data.summary.identity, DateTime{}, details) +
            ".pdf";
    }
    const std::string wanted = (folder / fileName).string();
    std::error_code error;
    if (!folder.empty())
        std::filesystem::create_directories(folder, error);
    // Written under a name of its own and moved into place only when whole, so a failed write
    // never touches a file already at the wanted name.
    std::filesystem::path temporary;
    std::FILE* created = OpenNewTemporaryFile(folder, fileName, temporary, error);
    if (!created) {
        result.error = "The report " + wanted + " could not be written: " + temporary.string() +
                       ": " + error.message() + ".";
        return result;
    }
    std::fclose(created);
    SystemClock systemClock;
    const Clock& clock = services.clock ? *services.clock : systemClock;
    if (!WriteUsageReportPdf(data, temporary, request.fontsFolder, clock.Now(),
                             std::move(services))) {
        std::filesystem::remove(temporary, error);
        result.error = "The report " + wanted + " could not be written.";
        return result;
    }
    std::string moveError;
    if (!request.output) {
        result.file = MoveToFreeName(temporary, folder, fileName, moveError);
    } else {
        // A file the user named is replaced, as asked.
        std::filesystem::rename(temporary, *request.output, error);
        if (error)
            moveError = error.message();
        else
            result.file = *request.output;
    }
    if (!result.file) {
        std::filesystem::remove(temporary, error);
        result.error = "The report " + wanted + " could not be stored: " + moveError + ".";
    }
    return result;
}

} // namespace tarvik
