#pragma once

#include "common/locator_identity.h"

namespace tarvik {

// What a download changes on the window beyond the link's own controls.
class TransferView {
public:
    virtual ~TransferView() = default;

    // A transfer was asked for: Stop on; both download buttons and the Connect, Analyse and
    // Setup tabs off.
    virtual void ShowTransferStarting() = 0;
    // The blinking "Downloading ..." status; with `textNow` the text shows at once.
    virtual void StartDownloadBlink(bool textNow) = 0;
    // The timer that repeats Stop every three seconds.
    virtual void RestartAbortTimer() = 0;
    virtual void StopAbortTimer() = 0;

    // A complete transfer: the live monitor emptied and the Analyse tab selected.
    virtual void ShowTransferComplete() = 0;
    // The new file holds data: its identity shown and the data viewer opened on it.
    virtual void ShowDownloadedFile(const LocatorIdentity& identity) = 0;
    // Whatever the ending: the three tabs on, the download buttons on when
    // `downloadButtons`, View Current and Export on when `dataFileButtons`.
    virtual void ShowTransferOver(bool downloadButtons, bool dataFileButtons) = 0;
    // Whether View Current and Export are on now.
    virtual bool DataFileButtonsEnabled() const = 0;
};

} // namespace tarvik
