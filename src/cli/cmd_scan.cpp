#include "cli/command.h"
#include "cli/link_command_session.h"
#include "link/port_naming.h"

#include <filesystem>
#include <ostream>

namespace tarvik::cli {

namespace {

// The devices present behind COM1 to COM16, so that a scan that found nothing shows where
// it looked.
void PrintPortDevices(std::ostream& out) {
    bool any = false;
    for (int port = Discovery::kFirstPort; port <= Discovery::kLastPort; ++port) {
        const std::string device = PortDeviceText(port);
        std::error_code ec;
        if (!device.empty() && std::filesystem::exists(PortDeviceName(port), ec)) {
            out << "  COM" << port << ": " << device << "\n";
            any = true;
        }
    }
    if (!any)
        out << "  no serial devices were found\n";
}

// tarvik scan [--yes]: the Scan button without a window: probes COM1 to COM16, asks (or
// with --yes takes) the first locator that answers, records its port and prints where and
// who it is.
int ScanCommand(Context& context) {
    if (!context.args.empty()) {
        context.err << "usage: tarvik scan [--yes]\n";
        return kUsage;
    }
    LinkCommandSession link(context);
    if (!link.discovery.ScanForLocator()) {
        context.err << "tarvik: No locator found\n";
        PrintPortDevices(context.err);
        return kFailure;
    }
    link.session.OpenSessionPort(link.session.LocatorPort);
    link.session.senders().SendCommandSlow("#LD");
    link.session.senders().SendCommandSlow("#ST");
    link.session.RequestLocatorTime();
    link.WaitForFirstReplies();
    context.out << "port: " << link.session.LocatorPort << "\n";
    context.out << "device: " << PortDeviceText(link.session.LocatorPort) << "\n";
    link.PrintIdentity(context.out);
    return kSuccess;
}

// tarvik info --port N: connects as a saved port does and prints the locator's identity,
// firmware, last download date and self-test letter.
int InfoCommand(Context& context) {
    const auto port = TakePortOption(context);
    if (!port || !context.args.empty()) {
        context.err << "usage: tarvik info --port N\n";
        return kUsage;
    }
    LinkCommandSession link(context);
    if (!link.Connect(*port))
        return kFailure;
    context.out << "port: " << *port << "\n";
    link.PrintIdentity(context.out);
    return kSuccess;
}

const RegisterCommand kScan{
    {"scan", "[--yes]                  find a locator on COM1..COM16, print port and identity",
     &ScanCommand}};
const RegisterCommand kInfo{
    {"info", "--port N                 identity, firmware, last download date, self-test letter",
     &InfoCommand}};

} // namespace

} // namespace tarvik::cli
