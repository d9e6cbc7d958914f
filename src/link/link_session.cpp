#include "link/link_session.h"

#include "common/colours.h"
#include "common/text.h"
#include "datafile/data_file_header.h"
#include "link/wire_protocol.h"

#include <cstdlib>

namespace tarvik {

namespace {

// The lost device travels the event queue, so chunks that came before it are handled first.
constexpr int kDeviceLostEvent = -1;

} // namespace

LinkSession::LinkSession(SerialPort& linkPort, SerialPort& probePort, Pacer& pacer, LinkView& view,
                         Prompts& prompts, const Clock& clock, SharedFileHandle& file1)
    : link_(linkPort), probe_(probePort), senders_(linkPort, probePort, pacer), view_(view),
      prompts_(prompts), clock_(clock), file1_(file1),
      events_([this](const PortEvent& event) { Handle(event); }) {
    link_.onEvent = [this](PortEvent event) { MSComm1_OnComm(std::move(event)); };
    link_.onDeviceLost = [this] { events_.Deliver(PortEvent{kDeviceLostEvent, {}}); };
    senders_.beforeLinkCommand = [this] { discarding_ = false; };
}

LinkSession::~LinkSession() {
    link_.onEvent = nullptr;
    link_.onDeviceLost = nullptr;
}

bool LinkSession::OpenSessionPort(int port) {
    discarding_ = false;
    if (link_.IsOpen())
        link_.Close();
    // A new link: nothing of the last one's replies counts, and it may ask for a date again,
    // though not before the request that follows every opening has had its time to answer
    // (a late answer to a second request would land in a transfer started meanwhile).
    replies_.Forget();
    lastDownloadRequests_ = 0;
    lastDownloadRequestAt_ = steadyNow();
    return link_.Open(port, PortRole::Link);
}

void LinkSession::ClosePorts() {
    if (link_.IsOpen())
        link_.Close();
    if (probe_.IsOpen())
        probe_.Close();
}

void LinkSession::RequestLocatorTime() {
    senders_.SendCommandVerySlow(wire::kDateAndTime);
}

void LinkSession::CorrectLocatorTime(int minutes) {
    senders_.SendCommandVerySlow(wire::SetTimeCommand(clock_.Now()));
    prompts_.Inform(wire::ClockCorrectionMessage(minutes));
}

void LinkSession::MSComm1_OnComm(PortEvent event) {
    events_.Deliver(std::move(event));
}

void LinkSession::Handle(const PortEvent& event) {
    if (event.code == kDeviceLostEvent) {
        EndLink("The Locator was disconnected. Any downloads may not have completed.");
        return;
    }
    link_.SetDtr(false);
    const std::string& chunk = event.data;

    if (event.code != PortEvent::kReceive) {
        if (!PortEvent::IsLineEvent(event.code))
            prompts_.Inform("Comms error: " + std::to_string(event.code));
        link_.SetDtr(true);
        return;
    }

    ++receivedChunks_;
    // A transfer's stream is read on its own: nothing from before it counts in it.
    if (flags.DownloadHeaderPending)
        replies_.Forget();
    // Markers and their values may arrive split over two chunks.
    const wire::ReplyMarkers markers = replies_.Scan(chunk);
    if (discarding_ && !markers.powerDown) {
        replies_.Forget();
        link_.SetDtr(true);
        return;
    }

    // Keep asking until the last download date is shown.
    if (view_.LastDownloadCaption().empty() && !markers.lastDownloadSeen)
        AskAgainForLastDownload();

    if (const auto& selfTest = markers.selfTest) {
        if (*selfTest == "P")
            flags.LastSelfTestResult = "Pass";
        else if (*selfTest == "F")
            flags.LastSelfTestResult = "Fail";
        else
            flags.LastSelfTestResult = *selfTest;
    }

    if (const auto& lastDownload = markers.lastDownload) {
        if (wire::IsNoLogModel(view_.ShownIdentity().model)) {
            view_.ShowLastDownloadDate("N/A");
        } else {
            flags.LastDownloadDate = *lastDownload;
            view_.ShowLastDownloadDate(*lastDownload);
        }
    }

    if (const auto& locatorTime = markers.locatorTime) {
        const int minutes = wire::MinuteDifference(FormatWireTime(clock_.Now()), *locatorTime);
        if (std::abs(minutes) > 2)
            CorrectLocatorTime(minutes);
    }

    if (markers.powerDown) {
        EndLink("The Locator has powered down. Any downloads may not have completed.");
        link_.SetDtr(true);
        return;
    }

    if (flags.SelfTestLookupPending) {
        // A reader may have closed file #1 meanwhile; the reply still goes on after what is
        // there.
        file1_.ReopenForAppending();
        file1_.Append(chunk);
        if (chunk.find(wire::kEndOfTransfer) != std::string::npos)
            flags.SelfTestLookupPending = false;
        link_.SetDtr(true);
        return;
    }

    view_.ShowDataArriving(!flags.NoLogModel);
    if (flags.DownloadHeaderPending) {
        view_.ShowTransferRunning();
        flags.DownloadInProgress = true;
        flags.DownloadHeaderPending = false;
        const LocatorIdentity shown = view_.ShownIdentity();
        const LocatorIdentity trimmed{Trim(shown.user), Trim(shown.model), Trim(shown.serial), {}};
        HandleTransferChunk(BuildDataFileHeader() + BuildIdentityLine(trimmed) + chunk,
                            markers.abort);
    } else if (flags.DownloadInProgress) {
        HandleTransferChunk(chunk, markers.abort);
    }

    view_.ShowMonitor(chunk);
    senders_.pacer().LetEventsRun();
    if (link_.IsOpen())
        link_.SetDtr(true);
}

void LinkSession::AskAgainForLastDownload() {
    // Spaced out and limited: a reply still arriving in pieces must not bring a flood of
    // requests, each of which the locator answers again.
    const auto now = steadyNow();
    if (lastDownloadRequests_ >= kLastDownloadRequestsPerLink ||
        (lastDownloadRequestAt_ && now - *lastDownloadRequestAt_ < kLastDownloadRequestSpacing))
        return;
    ++lastDownloadRequests_;
    lastDownloadRequestAt_ = now;
    senders_.SendCommandSlow(wire::kLastDownload);
}

void LinkSession::HandleTransferChunk(const std::string& chunk, bool abortSeen) {
    flags.DownloadByteCount += static_cast<std::uint32_t>(chunk.size());
    if (flags.DownloadByteCount > static_cast<std::uint32_t>(view_.ProgressMaximum()))
        flags.DownloadByteCount = 0;
    view_.ShowProgress(static_cast<int>(flags.DownloadByteCount));

    // A reader may have closed file #1 meanwhile (the tabs come back while data flows): the
    // rest of the transfer still goes into the file, after what is there.
    file1_.ReopenForAppending();
    file1_.Append(chunk);
    // "ABORT" anywhere in the stream, also split over two chunks, makes the transfer a
    // stopped one, whatever chunk brings the end mark.
    if (abortSeen)
        flags.AbortAcknowledged = true;

    if (chunk.find(wire::kEndOfTransfer) != std::string::npos) {
        flags.DownloadInProgress = false;
        view_.StopDownloadBlink();
        if (onTransferEnded)
            onTransferEnded(flags.AbortAcknowledged);
        file1_.Close();
        view_.ShowProgress(view_.ProgressMaximum());
    }
}

bool LinkSession::EndTransferOrLookup(bool tellUser) {
    const bool transfer = flags.DownloadHeaderPending || flags.DownloadInProgress;
    flags.DownloadHeaderPending = false;
    flags.DownloadInProgress = false;
    flags.SelfTestLookupPending = false;
    // Everything received is already on disk (file #1 writes through). Closed, and with the
    // flags down, later chunks of the cut reply reach no file.
    file1_.Close();
    view_.StopDownloadBlink();
    if (transfer && onTransferCut)
        onTransferCut();
    if (onLookupCut)
        onLookupCut(tellUser);
    return transfer;
}

void LinkSession::Disconnect() {
    const bool transfer = EndTransferOrLookup(true);
    view_.SetLinkControls(false);
    view_.DisableDataFileButtons();
    if (transfer)
        view_.SetStatus(kTransferCutStatus, colours::kRed);
}

void LinkSession::DiscardUntilNextCommand() {
    link_.ClearInput();
    discarding_ = true;
}

void LinkSession::EndLink(const std::string& status) {
    EndTransferOrLookup(true);
    // An unplugged port has closed itself, so the unlinking cannot wait for an open port.
    view_.ShowUnlinked();
    view_.SetLinkControls(false);
    view_.DisableDataFileButtons();
    view_.SetStatus(status, colours::kRed);
}

} // namespace tarvik
