#pragma once

#include "common/locator_identity.h"
#include "link/port_list.h"

#include <cstdint>
#include <string>
#include <vector>

namespace tarvik {

// What the link flows show and read on the main window. The window implements it; tests
// record it. Colours are 24-bit numbers with red in the low byte.
class LinkView {
public:
    virtual ~LinkView() = default;

    virtual void SetStatus(const std::string& text, std::uint32_t colour) = 0;
    virtual void SetLamp(std::uint32_t colour) = 0;
    // The main window's SetLinkControls: with false it also closes the ports.
    virtual void SetLinkControls(bool linked) = 0;
    // What SetLinkControls(false) does while a port is open, done whether or not one is:
    // ports closed, identity, monitor and status emptied, lamp dark red, the Transfer and
    // Setup tabs off.
    virtual void ShowUnlinked() = 0;
    // Open, View Current and Export (and their labels) off: after a power-down.
    virtual void DisableDataFileButtons() = 0;

    // The identity boxes (model, serial number, user text) and the remaining-characters label.
    virtual LocatorIdentity ShownIdentity() const = 0;
    virtual void ShowIdentity(const LocatorIdentity& identity) = 0;
    virtual void ShowFirmware(const std::string& text) = 0;
    virtual std::string LastDownloadCaption() const = 0;
    virtual void ShowLastDownloadDate(const std::string& text) = 0;
    // The saved locators of the port list, as the drop-down shows them.
    virtual void ShowPortList(const std::vector<PortRecord>& records) = 0;
    // The Transfer frame: off for a locator without a log.
    virtual void EnableTransferFrame(bool enabled) = 0;

    // Data arrived: lamp green, Transfer tab on and selected, the other tabs on, the
    // download buttons on when `downloadButtons`.
    virtual void ShowDataArriving(bool downloadButtons) = 0;
    // A transfer began: Connect, Analyse and Setup tabs and both download buttons off.
    virtual void ShowTransferRunning() = 0;
    virtual void ShowProgress(int value) = 0;
    virtual int ProgressMaximum() const = 0;
    virtual void StopDownloadBlink() = 0;
    virtual void ShowMonitor(const std::string& chunk) = 0;
};

} // namespace tarvik
