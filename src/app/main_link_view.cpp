#include "app/main_link_view.h"

#include "app/frm_main.h"
#include "app/latin1_text.h"
#include "app/window_rules.h"

#include <QCalendarWidget>
#include <QCoreApplication>
#include <QGroupBox>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTabWidget>
#include <QTimer>

namespace tarvik {

void MainLinkView::SetStatus(const std::string& text, std::uint32_t colour) {
    w_.SetStatus(Latin1(text), colour);
}

void MainLinkView::SetLamp(std::uint32_t colour) {
    w_.SetLamp(colour);
}

void MainLinkView::SetLinkControls(bool linked) {
    w_.SetLinkControls(linked);
}

void MainLinkView::ShowUnlinked() {
    w_.ShowUnlinked();
}

void MainLinkView::DisableDataFileButtons() {
    w_.SetDataFileButtonsEnabled(false);
}

LocatorIdentity MainLinkView::ShownIdentity() const {
    return w_.ShownIdentity();
}

void MainLinkView::ShowIdentity(const LocatorIdentity& identity) {
    w_.ShowIdentity(identity);
}

void MainLinkView::ShowFirmware(const std::string& text) {
    w_.FirmwareVersionText = Latin1(text);
    w_.lblFirmwareVersion->setText(w_.FirmwareVersionText);
    QCoreApplication::processEvents();
}

std::string MainLinkView::LastDownloadCaption() const {
    return Bytes(w_.lblLastDownloadDate->text());
}

void MainLinkView::ShowLastDownloadDate(const std::string& text) {
    w_.lblLastDownloadDate->setText(Latin1(text));
}

void MainLinkView::ShowPortList(const std::vector<PortRecord>& records) {
    w_.ShowPortList(records);
}

void MainLinkView::EnableTransferFrame(bool enabled) {
    w_.Frame2->setEnabled(enabled);
}

void MainLinkView::ShowDataArriving(bool downloadButtons) {
    w_.SetLamp(colours::kGreen);
    w_.tabstrip->setTabEnabled(frmMain::TabTransfer, true);
    w_.tabstrip->setCurrentIndex(frmMain::TabTransfer);
    SetTransferControls(true, downloadButtons);
}

void MainLinkView::ShowTransferRunning() {
    SetTransferControls(false, false);
}

void MainLinkView::SetTransferControls(bool tabs, bool downloadButtons) {
    for (int tab : {frmMain::TabConnect, frmMain::TabAnalyse, frmMain::TabSetup})
        w_.tabstrip->setTabEnabled(tab, tabs);
    w_.cmdDownloadByDate->setEnabled(downloadButtons);
    w_.cmdDownloadAll->setEnabled(downloadButtons);
}

void MainLinkView::ShowProgress(int value) {
    w_.ProgressBar1->setValue(value);
}

int MainLinkView::ProgressMaximum() const {
    return w_.ProgressBar1->maximum();
}

void MainLinkView::StopDownloadBlink() {
    w_.StopDownloadBlink();
}

void MainLinkView::ShowMonitor(const std::string& chunk) {
    w_.lblMonitor->setText(Latin1(MonitorLine(chunk)));
}

void MainLinkView::ShowTransferStarting() {
    w_.cmdStop->setEnabled(true);
    ShowTransferRunning();
}

void MainLinkView::StartDownloadBlink(bool) {
    w_.StartDownloadBlink();
}

void MainLinkView::RestartAbortTimer() {
    w_.tmrAbort->stop();
    w_.tmrAbort->start();
}

void MainLinkView::StopAbortTimer() {
    w_.tmrAbort->stop();
}

void MainLinkView::ShowTransferComplete() {
    w_.lblMonitor->clear();
    w_.tabstrip->setCurrentIndex(frmMain::TabAnalyse);
}

void MainLinkView::ShowDownloadedFile(const LocatorIdentity& identity) {
    w_.SetDataFileButtonsEnabled(true);
    w_.ShowIdentity(identity);
    w_.ShowDataViewer(false);
}

void MainLinkView::ShowTransferOver(bool downloadButtons, bool dataFileButtons) {
    w_.SetDataFileButtonsEnabled(dataFileButtons);
    SetTransferControls(true, downloadButtons);
}

bool MainLinkView::DataFileButtonsEnabled() const {
    return w_.cmdAnalyse->isEnabled();
}

void MainLinkView::EnableCalendar(bool enabled) {
    w_.MonthView1->setEnabled(enabled);
}

void MainLinkView::EnableStopButton(bool enabled) {
    w_.cmdStop->setEnabled(enabled);
}

void MainLinkView::FlashStatus(const std::string& text, int count, std::uint32_t colour) {
    w_.FlashStatusMessage(count, Latin1(text), colour);
}

void MainLinkView::StopStatusFlash() {
    w_.StopStatusFlash();
}

void MainLinkView::SetMonitorTimer(bool on) {
    if (on)
        w_.tmrSTDLMonitor->start();
    else
        w_.tmrSTDLMonitor->stop();
}

void MainLinkView::ShowLookupOver(bool downloadButtons) {
    SetTransferControls(true, downloadButtons);
}

} // namespace tarvik
