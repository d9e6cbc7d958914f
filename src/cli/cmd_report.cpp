#include "cli/command.h"
#include "cli/pdf_command_output.h"
#include "report/usage_report.h"
#include "viewer/selection_option.h"

#include <ostream>

namespace tarvik::cli {

namespace {

constexpr const char* kUsageText = "usage: tarvik report FILE.lgd [--month MM/YY | --day DD/MM/YY "
                                   "| --from DD/MM/YY --to DD/MM/YY] [-o OUT.pdf]\n";

struct PeriodOptions {
    std::optional<std::string> month, day, from, to;
};

ReportPeriod::Date DateOf(const RecordSelection& selection) {
    return {selection.day, selection.month, selection.year};
}

bool Before(const ReportPeriod::Date& a, const ReportPeriod::Date& b) {
    return std::tie(a.year, a.month, a.day) < std::tie(b.year, b.month, b.day);
}

// The period the options name; an error text when they name none.
std::optional<ReportPeriod> ParsePeriod(const PeriodOptions& o, std::string& error) {
    const int given = (o.month ? 1 : 0) + (o.day ? 1 : 0) + (o.from || o.to ? 1 : 0);
    if (given > 1 || (o.from.has_value() != o.to.has_value())) {
        error = "choose one of --month, --day, or --from with --to";
        return std::nullopt;
    }
    if (o.month) {
        const auto month = ParseMonthOption(*o.month);
        if (!month)
            error = "'" + *o.month + "' is not a valid MM/YY month";
        return month ? std::optional(ReportPeriod::Of(*month)) : std::nullopt;
    }
    const std::optional<std::string>* days[] = {&o.day, &o.from, &o.to};
    std::optional<RecordSelection> parsed[3];
    for (int i = 0; i < 3; ++i) {
        if (!*days[i])
            continue;
        parsed[i] = ParseDayOption(**days[i]);
        if (!parsed[i]) {
            error = "'" + **days[i] + "' is not a valid DD/MM/YY day";
            return std::nullopt;
        }
    }
    if (parsed[0])
        return ReportPeriod::Of(*parsed[0]);
    if (parsed[1]) {
        if (Before(DateOf(*parsed[2]), DateOf(*parsed[1]))) {
            error = "the day after --to comes before the day after --from";
            return std::nullopt;
        }
        return ReportPeriod::Range(DateOf(*parsed[1]), DateOf(*parsed[2]));
    }
    return ReportPeriod::All();
}

// tarvik report FILE.lgd [period] [-o OUT.pdf]: the usage report as a PDF document; prints its
// path. Without -o it goes into the reports folder, beside earlier reports, never over them.
int ReportCommand(Context& context) {
    PeriodOptions options{context.TakeOption("--month"), context.TakeOption("--day"),
                          context.TakeOption("--from"), context.TakeOption("--to")};
    const auto output = context.TakeOption("-o");
    if (context.args.size() != 1) {
        context.err << kUsageText;
        return kUsage;
    }
    std::string error;
    const auto period = ParsePeriod(options, error);
    if (!period) {
        context.err << "tarvik: " << error << "\n" << kUsageText;
        return kUsage;
    }
    const CommandPdfServices pdf(context);
    UsageReportRequest request{context.args[0], *period,
                               output ? std::optional<std::filesystem::path>(*output)
                                      : std::nullopt,
                               ProgramResources() / "Fonts"};
    const UsageReportResult result = CreateUsageReport(request, context.folders, pdf.services());
    return PrintWrittenDocument(context, result.file, result.error);
}

const RegisterCommand kRegistered{
    {"report",
     "FILE.lgd [--month MM/YY | --day DD/MM/YY | --from DD/MM/YY --to DD/MM/YY] [-o OUT.pdf]  "
     "the usage report",
     &ReportCommand}};

} // namespace

} // namespace tarvik::cli
