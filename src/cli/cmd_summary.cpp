#include "cli/command.h"
#include "viewer/selection_option.h"
#include "viewer/usage_summary.h"

#include <ostream>

namespace tarvik::cli {

namespace {

constexpr const char* kUsageText =
    "usage: tarvik summary FILE.lgd [--month MM/YY | --day DD/MM/YY]\n";

// tarvik summary FILE.lgd [--month MM/YY | --day DD/MM/YY]: the record count and the usage time
// per mode of all records, a month or a day, as the data viewer totals them.
int SummaryCommand(Context& context) {
    const auto month = context.TakeOption("--month");
    const auto day = context.TakeOption("--day");
    if (context.args.size() != 1 || (month && day)) {
        context.err << kUsageText;
        return kUsage;
    }
    RecordSelection selection = RecordSelection::All();
    if (month || day) {
        const auto parsed = month ? ParseMonthOption(*month) : ParseDayOption(*day);
        if (!parsed) {
            context.err << "tarvik: '" << (month ? *month : *day) << "' is not a valid "
                        << (month ? "MM/YY month" : "DD/MM/YY day") << "\n"
                        << kUsageText;
            return kUsage;
        }
        selection = *parsed;
    }
    const std::filesystem::path file = context.args[0];
    const SelectionTally selected = TallySelection(file, selection);
    if (selected.summary.status != DataFileStatus::Ok) {
        context.err << "tarvik: " << file.string() << ": "
                    << DataFileProblemText(selected.summary.status) << "\n";
        return kFailure;
    }
    for (const std::string& line : UsageSummaryLines(selected))
        context.out << line << "\n";
    return kSuccess;
}

const RegisterCommand kRegistered{
    {"summary", "FILE.lgd [--month MM/YY | --day DD/MM/YY]  records and usage time per mode",
     &SummaryCommand}};

} // namespace

} // namespace tarvik::cli
