#pragma once

#include "link/link_view.h"
#include "link/transfer_view.h"

#include <functional>
#include <iosfwd>

namespace tarvik::cli {

// The link's window as a terminal sees it: status texts go to stderr as progress lines,
// everything shown is kept for the command to print at the end.
class ConsoleLinkView final : public LinkView, public TransferView {
public:
    explicit ConsoleLinkView(std::ostream& progress) : progress_(progress) {}

    void SetStatus(const std::string& text, std::uint32_t colour) override;
    void SetLamp(std::uint32_t) override {}
    void SetLinkControls(bool linked) override;
    void ShowUnlinked() override;
    void DisableDataFileButtons() override {}
    LocatorIdentity ShownIdentity() const override { return identity; }
    void ShowIdentity(const LocatorIdentity& shown) override {
        identity = {shown.user, shown.model, shown.serial, identity.firmware};
    }
    void ShowFirmware(const std::string& text) override { identity.firmware = text; }
    std::string LastDownloadCaption() const override { return lastDownload; }
    void ShowLastDownloadDate(const std::string& text) override { lastDownload = text; }
    void ShowPortList(const std::vector<PortRecord>&) override {}
    void EnableTransferFrame(bool) override {}
    void ShowDataArriving(bool) override {}
    void ShowTransferRunning() override {}
    void ShowProgress(int value) override { progress = value; }
    int ProgressMaximum() const override { return 165000; }
    void StopDownloadBlink() override {}
    void ShowMonitor(const std::string&) override {}

    void ShowTransferStarting() override {}
    void StartDownloadBlink(bool) override {}
    void RestartAbortTimer() override { abortTimerOn = true; }
    void StopAbortTimer() override { abortTimerOn = false; }
    void ShowTransferComplete() override {}
    void ShowDownloadedFile(const LocatorIdentity&) override { downloadedWithData = true; }
    void ShowTransferOver(bool, bool) override { transferOver = true; }
    bool DataFileButtonsEnabled() const override { return false; }

    // Called when the flows drop the link (they close the ports through it).
    std::function<void()> onUnlink;

    LocatorIdentity identity;
    std::string lastDownload;
    std::string lastStatus;
    int progress = 0;
    bool downloadedWithData = false;
    bool transferOver = false;
    // Stop's repeat timer: the command ticks it while it runs.
    bool abortTimerOn = false;

private:
    std::ostream& progress_;
};

} // namespace tarvik::cli
