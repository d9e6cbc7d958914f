#pragma once

#include "link/link_session.h"

#include <filesystem>

namespace tarvik {

// Finding a locator: the scan over COM1 to COM16 and the direct connection to a port of the
// port list. Both probe with the probe port, ask who is there and let the user accept it.
class Discovery {
public:
    static constexpr int kFirstPort = 1;
    static constexpr int kLastPort = 16;
    // Replies are waited for in medium pauses (10 ms each on a real link): the identity up
    // to about a second, the firmware until the line has been quiet for about 100 ms.
    static constexpr int kReplyWaits = 100;
    static constexpr int kQuietWaits = 10;

    Discovery(LinkSession& session, std::filesystem::path portsFile)
        : session_(session), portsFile_(std::move(portsFile)) {}

    // Scan, and on acceptance open the link and send the first requests; asks to search
    // again when nothing was accepted.
    void ScanAndConnect();
    // The probing loop: true when the user accepted a locator (LocatorPort then says where).
    bool ScanForLocator();
    // A saved entry was chosen: connect to its port and send the first requests.
    void cboLocators_Click(int port);
    // Probes one saved port and, on acceptance, opens the link on it.
    bool ConnectToSavedPort(int port);

private:
    // Opens the probe port on `port`; false when the port is not valid.
    bool OpenProbe(int port);
    void CloseProbe();
    // Sends "#X" and waits for the whole reply; nothing when none came in time.
    std::optional<LocatorIdentity> AskIdentity();
    std::string AskFirmware();
    // Accepting a locator: identity shown, the no-log flag set from its model.
    void Accept(const LocatorIdentity& identity);

    LinkSession& session_;
    std::filesystem::path portsFile_;
    // The first port of the last scan that could have been opened but for a fixable reason.
    std::string scanProblem_;
};

} // namespace tarvik
