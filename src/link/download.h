#pragma once

#include "common/current_data_file.h"
#include "common/folders.h"
#include "link/link_session.h"
#include "link/transfer_view.h"

namespace tarvik {

// Downloads of the usage log into a new data file in the data folder: all of it, or the
// days between two dates; Stop, and the three endings of a transfer.
class Download {
public:
    Download(LinkSession& session, TransferView& view, Folders folders,
             CurrentDataFile& currentFile, LocatorIdentity& currentFileIdentity);
    ~Download();
    Download(const Download&) = delete;
    Download& operator=(const Download&) = delete;

    // The "All" and "Start Transfer" buttons. False when the data file could not be
    // created: the user has been told why and nothing was sent.
    bool cmdDownloadAll_Click();
    bool cmdDownloadByDate_Click(const DateTime& start, const DateTime& end);
    // "Stop", and the timer that repeats it while the locator has not answered.
    void cmdStop_Click();
    void tmrAbort_Timer();

    // The file a download writes; set when it starts.
    const CurrentDataFile& file() const { return currentFile_; }

private:
    bool Start(bool all, const DateTime& start, const DateTime& end);
    void Finish(bool aborted);
    // The transfer was cut short before its end mark (power-down, Disconnect, ...).
    void Cut();
    // A transfer without records leaves no file behind: the file is removed and the current
    // file, its identity and View Current and Export are what they were before it.
    void ForgetFileWithoutData();

    LinkSession& session_;
    TransferView& view_;
    Folders folders_;
    CurrentDataFile& currentFile_;
    LocatorIdentity& currentFileIdentity_;
    CurrentDataFile previousFile_;
    LocatorIdentity previousIdentity_;
    bool previousDataFileButtons_ = false;
};

} // namespace tarvik
