#include "cli/command.h"
#include "cli/link_command_session.h"
#include "cli/pdf_command_output.h"
#include "selftest/certificate.h"
#include "selftest/self_test_lookup.h"

#include <ostream>

namespace tarvik::cli {

namespace {

CertificateResult WriteCertificate(Context& context, const CertificateDetails& details) {
    const CommandPdfServices pdf(context);
    return CreateValidationCertificate(details, context.folders, ProgramResources(),
                                       pdf.services());
}

// The lookup's window, as the command line sees it: nothing to enable or blink.
class ConsoleSelfTestView final : public SelfTestView {
public:
    void EnableCalendar(bool) override {}
    void EnableStopButton(bool) override {}
    void FlashStatus(const std::string&, int, std::uint32_t) override {}
    void StopStatusFlash() override {}
    void SetMonitorTimer(bool) override {}
    void ShowLookupOver(bool) override {}
};

// tarvik selftest --port N DD/MM/YY: the calendar of the Transfer tab without a window. On a
// pass the certificate is written and its path printed; exit 1 when there is no pass.
int SelfTestCommand(Context& context) {
    constexpr const char* usage = "usage: tarvik selftest --port N DD/MM/YY\n";
    const auto port = TakePortOption(context);
    const auto day = context.args.size() == 1 ? ParseWireDate(context.args[0]) : std::nullopt;
    if (!port || !day) {
        context.err << usage;
        return kUsage;
    }
    LinkCommandSession link(context);
    if (!link.Connect(*port))
        return kFailure;
    ConsoleSelfTestView view;
    SelfTestLookup lookup(
        link.session, view, context.folders, link.currentFile,
        [&](const CertificateDetails& d) { return WriteCertificate(context, d); });
    lookup.MonthView1_DateClick(*day);
    while (lookup.running()) {
        WaitUntil(
            link.pacer, [] { return false; }, 700); // the monitor's tick
        lookup.tmrSTDLMonitor_Timer();
    }
    if (lookup.lastCertificate()) {
        context.out << "Pass on " << lookup.lastOutcome()->passDate << " at "
                    << lookup.lastOutcome()->passTime << "\n"
                    << lookup.lastCertificate()->string() << "\n";
        return kSuccess;
    }
    return kFailure;
}

// tarvik certificate --model M --serial S --user U --pass "DD/MM/YY hh:mm:ss": the
// certificate of a pass, as a found pass writes it; prints its path.
int CertificateCommand(Context& context) {
    constexpr const char* usage =
        "usage: tarvik certificate --model M --serial S --user U --pass \"DD/MM/YY hh:mm:ss\"\n";
    const auto model = context.TakeOption("--model");
    const auto serial = context.TakeOption("--serial");
    const auto user = context.TakeOption("--user");
    const auto pass = context.TakeOption("--pass");
    if (!model || !serial || !user || !pass || !context.args.empty() || pass->size() != 17 ||
        !ParseWireDate(pass->substr(0, 8)) || (*pass)[8] != ' ') {
        context.err << usage;
        return kUsage;
    }
    const CertificateResult result =
        WriteCertificate(context, {pass->substr(0, 8), pass->substr(9), *model, *serial, *user});
    return PrintWrittenDocument(context, result.file, result.error);
}

const RegisterCommand kSelfTest{
    {"selftest",
     "--port N DD/MM/YY        the self-test lookup of a day; on a pass, the certificate",
     &SelfTestCommand}};
const RegisterCommand kCertificate{
    {"certificate",
     "--model M --serial S --user U --pass \"DD/MM/YY hh:mm:ss\"  write a certificate",
     &CertificateCommand}};

} // namespace

} // namespace tarvik::cli
