#include "selftest/self_test_lookup.h"

#include "common/colours.h"
#include "common/text.h"
#include "datafile/data_file_reader.h"
#include "link/wire_protocol.h"

#include <system_error>

namespace tarvik {

SelfTestLookup::SelfTestLookup(LinkSession& session, SelfTestView& view, Folders folders,
                               CurrentDataFile& currentFile, CertificateWriter writeCertificate)
    : session_(session), view_(view), folders_(std::move(folders)), currentFile_(currentFile),
      writeCertificate_(std::move(writeCertificate)) {
    session_.onLookupCut = [this](bool tellUser) { Cut(tellUser); };
}

SelfTestLookup::~SelfTestLookup() {
    session_.onLookupCut = nullptr;
}

void SelfTestLookup::MonthView1_DateClick(const DateTime& day) {
    view_.EnableCalendar(false);
    CheckSelfTestForDate(day);
}

void SelfTestLookup::CheckSelfTestForDate(const DateTime& day) {
    const std::string model = session_.view().ShownIdentity().model;
    const char* command = wire::IsNoLogModel(model) ? "#ND" : "#DD";
    SerialPort& port = session_.linkPort();
    port.SetDtr(false);
    view_.EnableStopButton(false);
    view_.FlashStatus("Checking for a System Validation completed on the chosen date.", 20,
                      colours::kRed);

    savedFile_ = currentFile_;
    std::error_code ec;
    std::filesystem::create_directories(folders_.DataFolder(), ec);
    currentFile_ = {folders_.DataFolder(), kTemporaryFileName};
    std::string error;
    if (!session_.file1().OpenForWriting(currentFile_.Path(), &error)) {
        session_.prompts().Inform(
            "The self-test lookup cannot start: " + currentFile_.Path().string() + ": " + error);
        view_.StopStatusFlash();
        session_.view().SetStatus("", colours::kRed);
        currentFile_ = savedFile_;
        view_.EnableCalendar(true);
        port.SetDtr(true);
        return;
    }
    port.ClearInput();
    session_.flags.SelfTestLookupPending = true;
    running_ = true;
    waitingTicks_ = 0;
    chunksSeen_ = session_.receivedChunks();
    session_.senders().SendCommand(wire::DateRangeCommand(command, day, day));
    view_.SetMonitorTimer(true);
    port.SetDtr(true);
}

void SelfTestLookup::tmrSTDLMonitor_Timer() {
    if (!running_)
        return;
    if (session_.flags.SelfTestLookupPending) {
        if (session_.receivedChunks() != chunksSeen_) {
            chunksSeen_ = session_.receivedChunks();
            waitingTicks_ = 0;
        } else if (++waitingTicks_ >= kTimeoutTicks) {
            GiveUp();
        }
        return;
    }
    // The reply is complete: from here on nothing cuts the lookup short.
    running_ = false;
    StopWaiting();
    session_.view().SetStatus("Details received.", colours::kRed);
    session_.senders().pacer().LetEventsRun();

    session_.file1().Close();
    // The reply up to its end mark (an unreadable file is an empty reply).
    std::string reply;
    LoadDataFileBytes(TemporaryFile(), reply);
    const SelfTestOutcome outcome = ParseSelfTestReply(reply);
    lastOutcome_ = outcome;
    lastCertificate_.reset();
    view_.StopStatusFlash();
    session_.senders().pacer().LetEventsRun();

    const SelfTestDecision decision = DecideSelfTest(outcome);
    if (decision.message)
        session_.prompts().Inform(*decision.message);
    if (decision.flashCount > 0)
        view_.FlashStatus(decision.status, decision.flashCount, colours::kRed);
    else
        session_.view().SetStatus(decision.status, colours::kRed);
    if (decision.createCertificate) {
        session_.senders().pacer().LetEventsRun();
        const LocatorIdentity shown = session_.view().ShownIdentity();
        const CertificateResult result = writeCertificate_(
            {outcome.passDate, outcome.passTime, shown.model, shown.serial, shown.user});
        if (result.file) {
            lastCertificate_ = result.file;
            view_.FlashStatus("Certificate successfully retrieved. Go to 'Connect' tab to review.",
                              5, colours::kDarkGrey);
        } else {
            view_.StopStatusFlash();
            session_.view().SetStatus("Certificate NOT created.", colours::kRed);
            session_.prompts().Inform(result.error);
        }
        session_.senders().pacer().LetEventsRun();
    }
    End();
}

std::filesystem::path SelfTestLookup::TemporaryFile() const {
    return folders_.DataFolder() / kTemporaryFileName;
}

void SelfTestLookup::GiveUp() {
    // Later chunks must not go on into the temporary file, nor be taken for the reply to a
    // later lookup; the link stays usable.
    session_.flags.SelfTestLookupPending = false;
    session_.file1().Close();
    session_.DiscardUntilNextCommand();
    StopWaiting();
    session_.view().SetStatus("", colours::kRed);
    End();
    session_.prompts().Inform("The locator stopped answering the self-test lookup for 30 "
                              "seconds. Please check the connection and choose the date again.");
}

void SelfTestLookup::Cut(bool tellUser) {
    if (!running_)
        return;
    StopWaiting();
    End();
    if (tellUser)
        session_.prompts().Inform("The self-test lookup did not complete: the link to the "
                                  "locator ended. Please link it and choose the date again.");
}

void SelfTestLookup::StopWaiting() {
    view_.SetMonitorTimer(false);
    view_.StopStatusFlash();
    view_.ShowLookupOver(!session_.flags.NoLogModel);
}

void SelfTestLookup::End() {
    view_.EnableCalendar(true);
    // A file the user opened meanwhile stays the current one.
    if (currentFile_.Path() == TemporaryFile())
        currentFile_ = savedFile_;
    running_ = false;
}

} // namespace tarvik
