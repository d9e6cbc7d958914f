#include "charts/chart_command.h"
#include "cli/command.h"
#include "viewer/selection_option.h"

#include <ostream>

namespace tarvik::cli {

namespace {

constexpr const char* kUsageText =
    "usage: tarvik chart FILE.lgd (--month MM/YY | --day DD/MM/YY) -o OUT.jpg\n";

// tarvik chart FILE.lgd (--month MM/YY | --day DD/MM/YY) -o OUT.jpg: the month or day usage
// pie of the chart windows as a JPEG; prints the output path.
int ChartCommand(Context& context) {
    const auto month = context.TakeOption("--month");
    const auto day = context.TakeOption("--day");
    const auto output = context.TakeOption("-o");
    if (context.args.size() != 1 || !output || month.has_value() == day.has_value()) {
        context.err << kUsageText;
        return kUsage;
    }
    const auto selection = month ? ParseMonthOption(*month) : ParseDayOption(*day);
    if (!selection) {
        context.err << "tarvik: '" << (month ? *month : *day) << "' is not a valid "
                    << (month ? "MM/YY month" : "DD/MM/YY day") << "\n"
                    << kUsageText;
        return kUsage;
    }
    std::string error;
    if (!WriteUsageChartFromCommandLine(context.args[0], *selection, *output, error)) {
        context.err << "tarvik: " << error << "\n";
        return kFailure;
    }
    context.out << *output << "\n";
    return kSuccess;
}

const RegisterCommand kRegistered{
    {"chart", "FILE.lgd (--month MM/YY | --day DD/MM/YY) -o OUT.jpg  the usage pie as a JPEG",
     &ChartCommand}};

} // namespace

} // namespace tarvik::cli
