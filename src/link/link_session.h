#pragma once

#include "common/clock.h"
#include "common/prompts.h"
#include "datafile/shared_file_handle.h"
#include "link/link_view.h"
#include "link/reply_scanner.h"
#include "link/senders.h"
#include "link/serial_event_queue.h"
#include "link/serial_port.h"

#include <chrono>
#include <functional>
#include <optional>
#include <string>

namespace tarvik {

// The flags the receive handler reads and writes.
struct LinkFlags {
    bool DownloadHeaderPending = false;
    bool DownloadInProgress = false;
    bool AbortAcknowledged = false;
    std::uint32_t DownloadByteCount = 0;
    bool SelfTestLookupPending = false;
    bool NoLogModel = false;
    std::string LastDownloadDate;
    std::string LastSelfTestResult;
};

// The link to one locator: the link port (MSComm1), the probe port (MSComm2), the senders,
// the shared flags and the receive handler. Plain C++: the window supplies the view, the
// ports and the pacer.
class LinkSession {
public:
    LinkSession(SerialPort& linkPort, SerialPort& probePort, Pacer& pacer, LinkView& view,
                Prompts& prompts, const Clock& clock, SharedFileHandle& file1);
    ~LinkSession();

    SerialPort& linkPort() { return link_; }
    SerialPort& probePort() { return probe_; }
    Senders& senders() { return senders_; }
    LinkView& view() { return view_; }
    Prompts& prompts() { return prompts_; }
    const Clock& clock() const { return clock_; }
    SharedFileHandle& file1() { return file1_; }

    LinkFlags flags;
    int LocatorPort = 0;

    // Opens the link port on `port`, configured for the link. False when it cannot open.
    bool OpenSessionPort(int port);
    bool AnyPortOpen() const { return link_.IsOpen() || probe_.IsOpen(); }
    void ClosePorts();

    // Asks the locator for its clock; the reply's "#T" drives the clock check.
    void RequestLocatorTime();
    // Puts the locator's clock right and says so; `minutes` is PC minus locator.
    void CorrectLocatorTime(int minutes);

    // One port event. Events that arrive while one is being handled (a paced send inside
    // the handler lets events run) wait and are handled, in order, right after it.
    void MSComm1_OnComm(PortEvent event);

    // Called when a chunk holding the end of a transfer has been written, before file #1 is
    // closed; `aborted` when the locator acknowledged a stop. The download flow sets it.
    std::function<void(bool aborted)> onTransferEnded;

    // The one ending of a transfer or a lookup before its end mark, whatever the cause
    // (power-down, unplug, Disconnect, a new link, Exit): flags cleared, the blink stopped,
    // file #1 closed, nothing more written to it; the download and the lookup then tidy up
    // through the hooks below. With `tellUser` a cut lookup says so. True when a transfer
    // was running.
    bool EndTransferOrLookup(bool tellUser);
    // Set by the download and the lookup flows.
    std::function<void()> onTransferCut;
    std::function<void(bool tellUser)> onLookupCut;
    static constexpr const char* kTransferCutStatus =
        "File download aborted. Incomplete data written to file";

    // Disconnect: whatever runs ends, the link closes, and a cut transfer says so.
    void Disconnect();

    // After a lookup was given up: the receive buffer is emptied and whatever still arrives
    // before the next command goes out is dropped, so a late reply answers nothing.
    void DiscardUntilNextCommand();
    // Data chunks received so far: lets a waiting flow tell silence from a slow reply.
    std::uint64_t receivedChunks() const { return receivedChunks_; }

    // How often the handler asks again for a last download date that has not come.
    static constexpr auto kLastDownloadRequestSpacing = std::chrono::seconds(1);
    static constexpr int kLastDownloadRequestsPerLink = 5;
    // The time the re-requests are spaced by; tests move it on.
    std::function<std::chrono::steady_clock::time_point()> steadyNow = [] {
        return std::chrono::steady_clock::now();
    };

private:
    void Handle(const PortEvent& event);
    void HandleTransferChunk(const std::string& chunk, bool abortSeen);
    void AskAgainForLastDownload();
    // The link is over (power-down, a lost device): no transfer goes on, the locator's
    // identity and the link controls go, even when the port has already closed itself.
    void EndLink(const std::string& status);

    SerialPort& link_;
    SerialPort& probe_;
    Senders senders_;
    LinkView& view_;
    Prompts& prompts_;
    const Clock& clock_;
    SharedFileHandle& file1_;

    bool discarding_ = false;
    std::uint64_t receivedChunks_ = 0;
    wire::ReplyScanner replies_;
    int lastDownloadRequests_ = 0;
    std::optional<std::chrono::steady_clock::time_point> lastDownloadRequestAt_;
    SerialEventQueue events_;
};

} // namespace tarvik
