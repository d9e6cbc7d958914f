#include "cli/command.h"
#include "datafile/csv_export.h"
#include "datafile/file_checks.h"

#include <ostream>

namespace tarvik::cli {

namespace {

// tarvik export-csv FILE.lgd [-o OUT]: the same export as the main window's button. Without
// -o the export goes where the window puts it: the data folder's "csv" folder.
int ExportCsvCommand(Context& context) {
    const auto output = context.TakeOption("-o");
    if (context.args.size() != 1) {
        context.err << "usage: tarvik export-csv FILE.lgd [-o OUT]\n";
        return kUsage;
    }
    const std::filesystem::path file = context.args[0];
    LocatorIdentity identity;
    if (const DataFileStatus status = CheckDataFile(file, identity); status != DataFileStatus::Ok) {
        context.err << "tarvik: " << file.string() << ": " << DataFileProblemText(status) << "\n";
        return kFailure;
    }
    const std::filesystem::path target =
        output ? std::filesystem::path(*output)
               : CsvOutputPath(context.folders.DataFolder(), file.filename().string());
    const CsvExportResult result = ExportCsv(file, target, identity.model);
    if (!result.ok) {
        context.err << "tarvik: " << result.error << "\n";
        return kFailure;
    }
    context.out << result.output.string() << "\n";
    return kSuccess;
}

const RegisterCommand kRegistered{{"export-csv",
                                   "FILE.lgd [-o OUT]      the CSV export; prints the output path",
                                   &ExportCsvCommand}};

} // namespace

} // namespace tarvik::cli
