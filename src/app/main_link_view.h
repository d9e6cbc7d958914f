#pragma once

#include "link/link_view.h"
#include "link/transfer_view.h"
#include "selftest/self_test_lookup.h"

namespace tarvik {

class frmMain;

// The main window as the link and download flows see it.
class MainLinkView final : public LinkView, public TransferView, public SelfTestView {
public:
    explicit MainLinkView(frmMain& window) : w_(window) {}

    void SetStatus(const std::string& text, std::uint32_t colour) override;
    void SetLamp(std::uint32_t colour) override;
    void SetLinkControls(bool linked) override;
    void ShowUnlinked() override;
    void DisableDataFileButtons() override;
    LocatorIdentity ShownIdentity() const override;
    void ShowIdentity(const LocatorIdentity& identity) override;
    void ShowFirmware(const std::string& text) override;
    std::string LastDownloadCaption() const override;
    void ShowLastDownloadDate(const std::string& text) override;
    void ShowPortList(const std::vector<PortRecord>& records) override;
    void EnableTransferFrame(bool enabled) override;
    void ShowDataArriving(bool downloadButtons) override;
    void ShowTransferRunning() override;
    void ShowProgress(int value) override;
    int ProgressMaximum() const override;
    void StopDownloadBlink() override;
    void ShowMonitor(const std::string& chunk) override;

    void ShowTransferStarting() override;
    void StartDownloadBlink(bool textNow) override;
    void RestartAbortTimer() override;
    void StopAbortTimer() override;
    void ShowTransferComplete() override;
    void ShowDownloadedFile(const LocatorIdentity& identity) override;
    void ShowTransferOver(bool downloadButtons, bool dataFileButtons) override;
    bool DataFileButtonsEnabled() const override;

    void EnableCalendar(bool enabled) override;
    void EnableStopButton(bool enabled) override;
    void FlashStatus(const std::string& text, int count, std::uint32_t colour) override;
    void StopStatusFlash() override;
    void SetMonitorTimer(bool on) override;
    void ShowLookupOver(bool downloadButtons) override;

private:
    // The Connect, Analyse and Setup tabs, and both download buttons.
    void SetTransferControls(bool tabs, bool downloadButtons);

    frmMain& w_;
};

} // namespace tarvik
