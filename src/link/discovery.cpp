#include "link/discovery.h"

#include "common/colours.h"
#include "link/port_list.h"
#include "link/wire_protocol.h"

namespace tarvik {

namespace {

std::string PortText(int port) {
    return std::to_string(port);
}

} // namespace

bool Discovery::OpenProbe(int port) {
    SerialPort& probe = session_.probePort();
    if (probe.IsOpen())
        probe.Close();
    return probe.Open(port, PortRole::Probe) && probe.IsOpen();
}

void Discovery::CloseProbe() {
    if (session_.probePort().IsOpen())
        session_.probePort().Close();
}

std::optional<LocatorIdentity> Discovery::AskIdentity() {
    SerialPort& probe = session_.probePort();
    session_.senders().SendProbeCommand(wire::kIdentity);
    // A locator hands its reply over in pieces and may answer late; a reply read too soon
    // would give an empty or cut identity.
    std::string reply = probe.ReadAll();
    for (int wait = 0; wait < kReplyWaits && !wire::IsWholeIdentityReply(reply) && probe.IsOpen();
         ++wait) {
        session_.senders().pacer().Wait(Pause::Medium);
        reply += probe.ReadAll();
    }
    if (!wire::IsWholeIdentityReply(reply))
        return std::nullopt;
    return wire::ParseIdentityReply(reply, wire::kDiscoveryLayout);
}

std::string Discovery::AskFirmware() {
    SerialPort& probe = session_.probePort();
    session_.senders().SendProbeCommand(wire::kFirmware);
    // The firmware text has no set length: it is over once the line has been quiet a while.
    std::string firmware = probe.ReadAll();
    int quietWaits = 0;
    for (int wait = 0; wait < kReplyWaits && quietWaits < kQuietWaits && probe.IsOpen(); ++wait) {
        session_.senders().pacer().Wait(Pause::Medium);
        const std::string more = probe.ReadAll();
        if (!more.empty()) {
            firmware += more;
            quietWaits = 0;
        } else if (!firmware.empty()) {
            ++quietWaits;
        }
    }
    session_.view().ShowFirmware(firmware);
    return firmware;
}

void Discovery::Accept(const LocatorIdentity& identity) {
    session_.view().ShowIdentity(identity);
    // Set on every acceptance, by either path, so a locator without a log never gets the
    // download controls and one with a log always does.
    session_.flags.NoLogModel = wire::IsNoLogModel(identity.model);
    session_.view().EnableTransferFrame(!session_.flags.NoLogModel);
}

bool Discovery::ScanForLocator() {
    LinkView& view = session_.view();
    Pacer& pacer = session_.senders().pacer();
    session_.LocatorPort = 0;
    scanProblem_.clear();
    view.SetStatus("Looking for communications port. Please wait...", colours::kRed);
    pacer.LetEventsRun();

    bool found = false;
    for (int port = kFirstPort; port <= kLastPort && !found; ++port) {
        view.SetStatus("Checking com port " + PortText(port) + "...", colours::kRed);
        pacer.LetEventsRun();
        if (!OpenProbe(port)) {
            const std::string problem = session_.probePort().OpenProblem();
            view.SetStatus(problem.empty() ? "Port " + PortText(port) + "not valid." : problem,
                           colours::kRed);
            if (scanProblem_.empty())
                scanProblem_ = problem;
            pacer.LetEventsRun();
            continue;
        }
        const auto identity = AskIdentity();
        if (!identity) {
            CloseProbe();
            continue;
        }
        AskFirmware();
        if (session_.prompts().AskYesNo("Locator type " + identity->model + ", Serial Number " +
                                        identity->serial + ". Use this connection?")) {
            Accept(*identity);
            found = true;
            view.SetStatus("Port found...", colours::kDarkGrey);
            session_.LocatorPort = port;
            view.SetStatus("Using port number " + PortText(port), colours::kDarkGrey);
            if (PortList::RecordScannedLocator(portsFile_, identity->serial, port) !=
                PortList::Change::None)
                view.ShowPortList(PortList::Read(portsFile_));
            view.SetLinkControls(true);
        }
        CloseProbe();
    }
    CloseProbe();
    return found;
}

void Discovery::ScanAndConnect() {
    // A new link ends what the old one was doing: no reply of the new locator may land in
    // the old one's file.
    if (session_.EndTransferOrLookup(true))
        session_.view().SetStatus(LinkSession::kTransferCutStatus, colours::kRed);
    for (;;) {
        if (ScanForLocator()) {
            session_.OpenSessionPort(session_.LocatorPort);
            session_.senders().SendCommandSlow(wire::kLastDownload);
            session_.senders().SendCommandSlow(wire::kSelfTest);
            session_.RequestLocatorTime();
            return;
        }
        // A locator the user may not open is worth more than "not found".
        if (!scanProblem_.empty())
            session_.prompts().Inform(scanProblem_);
        if (!session_.prompts().AskYesNo("No locator found. Search again?")) {
            session_.view().SetLinkControls(false);
            return;
        }
    }
}

void Discovery::cboLocators_Click(int port) {
    const bool transferCut = session_.EndTransferOrLookup(true);
    session_.view().SetLamp(colours::kYellow);
    session_.view().SetLinkControls(false);
    if (transferCut)
        session_.view().SetStatus(LinkSession::kTransferCutStatus, colours::kRed);
    if (ConnectToSavedPort(port)) {
        session_.senders().SendCommandSlow(wire::kLastDownload);
        session_.senders().SendCommandSlow(wire::kSelfTest);
    }
}

bool Discovery::ConnectToSavedPort(int port) {
    LinkView& view = session_.view();
    Pacer& pacer = session_.senders().pacer();
    session_.LocatorPort = 0;
    view.SetStatus("Checking communications port. Please wait...", colours::kRed);
    view.SetStatus("Trying to connect. Please wait... (Port " + PortText(port) + ")",
                   colours::kRed);
    pacer.LetEventsRun();

    if (!OpenProbe(port)) {
        const std::string problem = session_.probePort().OpenProblem();
        if (problem.empty()) {
            view.SetStatus("Port " + PortText(port) + " not valid.", colours::kRed);
            session_.prompts().Inform("Connection information invalid (Port " + PortText(port) +
                                      ") Please click 'Scan' to find the locator");
        } else {
            view.SetStatus(problem, colours::kRed);
            session_.prompts().Inform(problem);
        }
        view.SetLamp(colours::kDarkRed);
        return false;
    }

    const auto identity = AskIdentity();
    if (!identity) {
        view.SetLinkControls(false);
        CloseProbe();
        view.SetStatus("No communications received from locator. Ensure it is powered on or "
                       "try 'Scan' to find the locator.",
                       colours::kDarkGrey);
        view.SetLamp(colours::kDarkRed);
        return false;
    }

    AskFirmware();
    if (!session_.prompts().AskYesNo("Locator type " + identity->model + ", serial number " +
                                     identity->serial + ". Use this connection?")) {
        CloseProbe();
        return false;
    }

    Accept(*identity);
    view.SetStatus("Port found...", colours::kDarkGrey);
    view.SetStatus("Using port number " + PortText(port), colours::kDarkGrey);
    CloseProbe();
    session_.OpenSessionPort(port);
    session_.LocatorPort = port;
    view.SetLinkControls(true);
    session_.senders().SendCommandSlow(wire::kFirmware);
    return true;
}

} // namespace tarvik
