#include "link/download.h"

#include "common/colours.h"
#include "common/text.h"
#include "datafile/file_checks.h"
#include "datafile/file_label.h"
#include "link/wire_protocol.h"

#include <cstdio>
#include <system_error>

namespace tarvik {

namespace {

// "dd-MM-yy", the form the file name shows.
std::string DashedDate(const DateTime& date) {
    char text[16];
    std::snprintf(text, sizeof text, "%02d-%02d-%02d", date.day, date.month, date.year % 100);
    return text;
}

const char* const kDownloading = "Downloading data from the locator, please wait.";

} // namespace

Download::Download(LinkSession& session, TransferView& view, Folders folders,
                   CurrentDataFile& currentFile, LocatorIdentity& currentFileIdentity)
    : session_(session), view_(view), folders_(std::move(folders)), currentFile_(currentFile),
      currentFileIdentity_(currentFileIdentity) {
    session_.onTransferEnded = [this](bool aborted) { Finish(aborted); };
    session_.onTransferCut = [this] { Cut(); };
}

Download::~Download() {
    session_.onTransferEnded = nullptr;
    session_.onTransferCut = nullptr;
}

bool Download::cmdDownloadAll_Click() {
    return Start(true, {}, {});
}

bool Download::cmdDownloadByDate_Click(const DateTime& start, const DateTime& end) {
    return Start(false, start, end);
}

bool Download::Start(bool all, const DateTime& start, const DateTime& end) {
    SerialPort& port = session_.linkPort();
    LinkFlags& flags = session_.flags;
    previousFile_ = currentFile_;
    previousIdentity_ = currentFileIdentity_;
    previousDataFileButtons_ = view_.DataFileButtonsEnabled();
    port.SetDtr(false);
    session_.view().ShowProgress(0);
    flags.DownloadByteCount = 0;
    // A new transfer can be stopped again: an answer to an earlier Stop does not count
    // for it, and the earlier Stop's timer must not stop it unasked.
    flags.AbortAcknowledged = false;
    view_.StopAbortTimer();
    view_.ShowTransferStarting();

    const LocatorIdentity shown = session_.view().ShownIdentity();
    currentFileIdentity_ = {Trim(shown.user), Trim(shown.model), Trim(shown.serial),
                            shown.firmware};
    FileLabelDetails details;
    if (!all) {
        details.start = DashedDate(start);
        details.end = DashedDate(end);
    }
    const std::string name = BuildFileLabel(all ? FileLabelKind::DA : FileLabelKind::DD,
                                            currentFileIdentity_, session_.clock().Now(), details) +
                             ".lgd";

    std::error_code ec;
    std::filesystem::create_directories(folders_.DataFolder(), ec);
    const CurrentDataFile target{folders_.DataFolder(), name};
    std::string error;
    if (!session_.file1().OpenForWriting(target.Path(), &error)) {
        session_.prompts().Inform("The data file " + target.Path().string() +
                                  " could not be created: " + error);
        session_.view().SetStatus("Download not started", colours::kRed);
        currentFileIdentity_ = previousIdentity_;
        view_.ShowTransferOver(!flags.NoLogModel, previousDataFileButtons_);
        port.SetDtr(true);
        return false;
    }
    currentFile_ = target;

    view_.StartDownloadBlink(all);
    if (all)
        session_.view().SetStatus(kDownloading, colours::kRed);
    else
        port.ClearInput();
    flags.DownloadHeaderPending = true;
    session_.senders().SendCommand(all ? std::string(wire::kDownloadAll)
                                       : wire::DateRangeCommand("#DD", start, end));
    port.SetDtr(true);
    return true;
}

void Download::cmdStop_Click() {
    SerialPort& port = session_.linkPort();
    port.SetDtr(false);
    session_.view().SetStatus("Stopping the download, please wait.", colours::kRed);
    if (!session_.flags.AbortAcknowledged) {
        view_.RestartAbortTimer();
        session_.senders().SendAbort(wire::kStop);
    } else {
        view_.StopAbortTimer();
        session_.view().SetStatus("Download aborted successfully...", colours::kDarkGrey);
    }
    port.SetDtr(true);
}

void Download::tmrAbort_Timer() {
    if (!session_.flags.AbortAcknowledged)
        cmdStop_Click();
}

void Download::Finish(bool aborted) {
    LinkView& view = session_.view();
    // The file is complete: close it before it is read.
    session_.file1().Close();
    bool dataFileButtons = true;
    if (aborted) {
        view.SetStatus("File download aborted. Incomplete data written to file", colours::kRed);
        session_.flags.AbortAcknowledged = true;
    } else {
        view.SetStatus("File download complete", colours::kDarkGrey);
        view_.ShowTransferComplete();
        if (FileHasData(currentFile_.Path())) {
            view.ShowProgress(0);
            view.SetStatus("File '" + currentFile_.name + "' successfully opened",
                           colours::kDarkGrey);
            LocatorIdentity identity;
            ReadFileIdentity(currentFile_.Path(), identity);
            currentFileIdentity_ = identity;
            view_.ShowDownloadedFile(identity);
        } else {
            session_.prompts().Inform("There was no data to download for this date range.");
            ForgetFileWithoutData();
            dataFileButtons = previousDataFileButtons_;
        }
    }
    view_.StopAbortTimer();
    view_.ShowTransferOver(!session_.flags.NoLogModel, dataFileButtons);
    view.ShowProgress(view.ProgressMaximum());
}

void Download::Cut() {
    view_.StopAbortTimer();
    bool dataFileButtons = true;
    if (!FileHasData(currentFile_.Path())) {
        ForgetFileWithoutData();
        dataFileButtons = previousDataFileButtons_;
    }
    view_.ShowTransferOver(!session_.flags.NoLogModel, dataFileButtons);
}

void Download::ForgetFileWithoutData() {
    std::error_code ec;
    std::filesystem::remove(currentFile_.Path(), ec);
    currentFile_ = previousFile_;
    currentFileIdentity_ = previousIdentity_;
}

} // namespace tarvik
