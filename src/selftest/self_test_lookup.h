#pragma once

#include "common/current_data_file.h"
#include "common/folders.h"
#include "link/link_session.h"
#include "selftest/certificate.h"
#include "selftest/self_test_parse.h"

#include <functional>
#include <optional>

namespace tarvik {

// What the lookup changes on the window beyond the link's own controls.
class SelfTestView {
public:
    virtual ~SelfTestView() = default;
    virtual void EnableCalendar(bool enabled) = 0;
    virtual void EnableStopButton(bool enabled) = 0;
    // The status-flash operation, in the status colour of the text; StopStatusFlash also
    // resets its count.
    virtual void FlashStatus(const std::string& text, int count, std::uint32_t colour) = 0;
    virtual void StopStatusFlash() = 0;
    // The 700 ms monitor timer that watches for the end of the reply.
    virtual void SetMonitorTimer(bool on) = 0;
    // The Connect, Analyse and Setup tabs on; the download buttons on when `downloadButtons`.
    virtual void ShowLookupOver(bool downloadButtons) = 0;
};

// The Transfer tab's calendar: asks the locator for the records of one day, waits for the
// reply in a temporary file, decides from the self-test letters and, on a pass, has the
// certificate written.
class SelfTestLookup {
public:
    static constexpr const char* kTemporaryFileName = "~LastSTPass.tmp";
    // Ticks of the monitor timer (700 ms) without a chunk received before a reply that
    // stopped coming is given up: 30 s of silence. A long reply that keeps coming is waited
    // for.
    static constexpr int kTimeoutTicks = 43;

    using CertificateWriter = std::function<CertificateResult(const CertificateDetails&)>;

    SelfTestLookup(LinkSession& session, SelfTestView& view, Folders folders,
                   CurrentDataFile& currentFile, CertificateWriter writeCertificate);
    ~SelfTestLookup();
    SelfTestLookup(const SelfTestLookup&) = delete;
    SelfTestLookup& operator=(const SelfTestLookup&) = delete;

    void MonthView1_DateClick(const DateTime& day);
    void CheckSelfTestForDate(const DateTime& day);
    void tmrSTDLMonitor_Timer();

    bool running() const { return running_; }
    // The last outcome and the certificate written for it, when there was one.
    const std::optional<SelfTestOutcome>& lastOutcome() const { return lastOutcome_; }
    const std::optional<std::filesystem::path>& lastCertificate() const { return lastCertificate_; }

private:
    std::filesystem::path TemporaryFile() const;
    void GiveUp();
    // The link ended or changed while the reply was awaited.
    void Cut(bool tellUser);
    // The waiting is over: monitor off, the tabs and download buttons back.
    void StopWaiting();
    void End();

    LinkSession& session_;
    SelfTestView& view_;
    Folders folders_;
    CurrentDataFile& currentFile_;
    CertificateWriter writeCertificate_;
    CurrentDataFile savedFile_;
    bool running_ = false;
    int waitingTicks_ = 0; // ticks since the last chunk arrived
    std::uint64_t chunksSeen_ = 0;
    std::optional<SelfTestOutcome> lastOutcome_;
    std::optional<std::filesystem::path> lastCertificate_;
};

} // namespace tarvik
