#pragma once

#include "common/folders.h"
#include "pdf/pdf_printer.h"
#include "report/report_period.h"

#include <filesystem>
#include <optional>
#include <string>

namespace tarvik {

// What the viewer says of a selection without records; a report of it says the same.
inline constexpr const char* kNoDataForSelection = "No Data for this Selection";

struct UsageReportRequest {
    std::filesystem::path dataFile;
    ReportPeriod period;
    // Where to write; empty: a new file in the reports folder named after the locator and the
    // period, " (2)", " (3)" ... added so that no earlier report is replaced.
    std::optional<std::filesystem::path> output;
    std::filesystem::path fontsFolder; // the metrics of Helvetica and Helvetica-Bold
};

struct UsageReportResult {
    std::optional<std::filesystem::path> file; // the finished report
    std::string error;                         // why there is none
};

// Reads the data file and writes its usage report for the period. A file that cannot be read,
// has no records or a damaged identity line, and a period without records, give an error and
// no document; so does a document that could not be written whole (a file already at the
// wanted name is left as it was).
UsageReportResult CreateUsageReport(const UsageReportRequest& request, const Folders& folders,
                                    PdfPrinterServices services);

} // namespace tarvik
