#pragma once

#include "common/clock.h"
#include "pdf/pdf_printer.h"
#include "report/usage_report_data.h"

#include <filesystem>
#include <string>

namespace tarvik {

// Writes the usage report of `data` (which holds at least one day) as an A4 document: on every
// page a header with the maker, the locator's identity, the period and the date of writing, and
// a footer "Page n of m"; the usage per mode on the first page; then one row per day with its
// usage, first and last record, self test and a timeline strip of its minutes of use, under a
// table header repeated on every page. The metrics of Helvetica and Helvetica-Bold come from
// `fontsFolder`. False when the document could not be written whole.
bool WriteUsageReportPdf(const UsageReportData& data, const std::filesystem::path& output,
                         const std::filesystem::path& fontsFolder, const DateTime& written,
                         PdfPrinterServices services);

} // namespace tarvik
