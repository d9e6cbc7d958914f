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

    LinkSession& session_;
    TransferView& view_;
    Folders folders_;
    CurrentDataFile& currentFile_;
    LocatorIdentity& currentFileIdentity_;
};

} // namespace tarvik
