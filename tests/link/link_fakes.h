#pragma once

#include "common/colours.h"
#include "datafile/shared_file_handle.h"
#include "link/link_session.h"
#include "link/link_view.h"
#include "link/pacer.h"
#include "link/serial_port.h"
#include "link/transfer_view.h"
#include "sim/locator_engine.h"
#include "support/scripted_prompts.h"

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tarvik::test {

using Texts = std::vector<std::string>;

// What the ports and the pacer did, in the order they did it, so a test can fail when a
// wire detail changes. Steps() reads one line per step:
//   "link [#LD] medium"   characters written, each followed by a medium pause
//   "link [MM]"           characters written with no pause after them
//   "link dtr off", "probe rts on", "link flush", "probe open 3", "probe close"
//   "probe read 50"       a read that took 50 characters (reads that found none are left out)
//   "wait medium x10"     pauses that followed no character (waiting for a reply)
class WireLog {
public:
    void Written(const std::string& port, std::string_view bytes) {
        entries_.push_back({port, std::string(bytes), true});
    }
    // The pause goes with the last character written that has none yet.
    void Paused(Pause pause);
    void Line(const std::string& port, const std::string& what) {
        entries_.push_back({port, what});
    }
    void Clear() { entries_.clear(); }

    Texts Steps() const { return StepsOf({}); }
    // The steps of one port only (its writes, lines, flushes, opens and closes).
    Texts StepsOf(const std::string& port) const;

private:
    struct Entry {
        std::string port; // empty for a pause that followed no character
        std::string text;
        bool written = false;
        std::optional<Pause> pause;
        int count = 1; // pauses in a row that followed no character
    };
    std::vector<Entry> entries_;
};

// A pacer that never waits but records every wait in `log` when it has one; `onLetEventsRun`
// lets a test deliver an event mid-send.
class ZeroPacer final : public Pacer {
public:
    void LetEventsRun() override {
        if (onLetEventsRun)
            onLetEventsRun();
    }
    void Wait(Pause pause) override {
        ++waits;
        if (log)
            log->Paused(pause);
    }

    std::function<void()> onLetEventsRun;
    int waits = 0;
    WireLog* log = nullptr;
};

// A locator's settings with its identity (firmware "V2.04"), or one that answers nothing.
sim::LocatorSettings Locator(std::string user, std::string model, std::string serial);
sim::LocatorSettings SilentLocator();

// A serial port whose COM numbers lead to simulated locators run in-process. Every write
// reaches the locator at once; its replies are read back (probe) or delivered as events
// (link) after each write.
class SimulatedPorts {
public:
    sim::LocatorEngine& Plug(int comNumber, sim::LocatorSettings settings);
    sim::LocatorEngine* At(int comNumber);
    // The largest chunk a reply arrives in on the link port.
    std::size_t chunkSize = 4096;
    // When set, the most a read of the probe port finds: a reply arrives in pieces of this
    // size, one by every read.
    std::size_t probePiece = 0;
    // What every port of this set did, in order.
    WireLog log;

    class Port final : public SerialPort {
    public:
        explicit Port(SimulatedPorts& ports) : ports_(ports) {}
        bool Open(int comNumber, PortRole role) override;
        void Close() override;
        bool IsOpen() const override { return open_ != 0; }
        void Write(std::string_view bytes) override;
        std::string ReadAll() override;
        // Replies reach the reader as soon as they are made: there is never anything to drop.
        void ClearInput() override { Line("flush"); }
        void SetDtr(bool on) override { Line(on ? "dtr on" : "dtr off"); }
        void SetRts(bool on) override { Line(on ? "rts on" : "rts off"); }
        // The device goes away: the port closes itself, then says so.
        void Unplug();

        std::string written;          // everything written while open
        std::vector<int> openedPorts; // every COM number an Open was asked for
        int openNumber() const { return open_; }

    private:
        // "link" or "probe", after the role it was last opened for.
        std::string Name() const { return role_ == PortRole::Link ? "link" : "probe"; }
        void Line(const std::string& what) { ports_.log.Line(Name(), what); }

        SimulatedPorts& ports_;
        int open_ = 0;
        PortRole role_ = PortRole::Probe;
    };

private:
    std::map<int, std::unique_ptr<sim::LocatorEngine>> engines_;
    sim::LocatorEngine::Millis now_ = 0;
};

// Records what the link shows on the window.
class RecordingView final : public LinkView {
public:
    void SetStatus(const std::string& text, std::uint32_t) override { statuses.push_back(text); }
    void SetLamp(std::uint32_t colour) override { lamp = colour; }
    void SetLinkControls(bool on) override {
        linkControls.push_back(on);
        if (!on && onUnlink)
            onUnlink();
    }
    void ShowUnlinked() override {
        ++unlinked;
        identity = {};
        lamp = colours::kDarkRed;
        if (onUnlink)
            onUnlink();
    }
    void DisableDataFileButtons() override { dataFileButtons = false; }
    LocatorIdentity ShownIdentity() const override { return identity; }
    void ShowIdentity(const LocatorIdentity& shown) override { identity = shown; }
    void ShowFirmware(const std::string& text) override { firmware = text; }
    std::string LastDownloadCaption() const override { return lastDownload; }
    void ShowLastDownloadDate(const std::string& text) override { lastDownload = text; }
    void ShowPortList(const std::vector<PortRecord>& records) override { portList = records; }
    void EnableTransferFrame(bool on) override { transferFrame = on; }
    void ShowDataArriving(bool) override {}
    void ShowTransferRunning() override {}
    void ShowProgress(int value) override { progress = value; }
    int ProgressMaximum() const override { return 165000; }
    void StopDownloadBlink() override { blinkStopped = true; }
    void ShowMonitor(const std::string& chunk) override {
        monitor = chunk;
        ++chunksShown;
        if (onMonitor)
            onMonitor();
    }

    Texts statuses;
    std::uint32_t lamp = 0;
    std::vector<bool> linkControls;
    std::function<void()> onUnlink, onMonitor;
    int unlinked = 0, progress = 0, chunksShown = 0;
    bool dataFileButtons = true, transferFrame = true, blinkStopped = false;
    LocatorIdentity identity;
    std::string firmware, lastDownload, monitor;
    std::vector<PortRecord> portList;
};

// Records what a download changes on the window.
class RecordingTransferView final : public TransferView {
public:
    void ShowTransferStarting() override {}
    void StartDownloadBlink(bool textNow) override { blinkWithText = textNow; }
    void RestartAbortTimer() override { abortTimerOn = true; }
    void StopAbortTimer() override { abortTimerOn = false; }
    void ShowTransferComplete() override {}
    void ShowDownloadedFile(const LocatorIdentity& identity) override {
        downloadedFile = identity;
        ++viewerOpened;
    }
    void ShowTransferOver(bool, bool fileButtons) override {
        ++overs;
        dataFileButtons = fileButtons;
    }
    bool DataFileButtonsEnabled() const override { return dataFileButtons; }

    int viewerOpened = 0, overs = 0;
    bool blinkWithText = false, abortTimerOn = false, dataFileButtons = false;
    LocatorIdentity downloadedFile;
};

// A link session over in-process simulated locators, as the flow tests use it: the ports, a
// pacer that never waits (its waits recorded in the ports' log), a recording view and
// scripted prompts. When the flows drop the link, its ports close.
struct InProcessLink {
    explicit InProcessLink(DateTime now = {2026, 12, 5, 10, 0, 0});

    // Plugs a locator into COM `comNumber` and opens the link port on it.
    sim::LocatorEngine& LinkTo(int comNumber, sim::LocatorSettings settings);
    // A chunk arriving on the link port.
    void Receive(const std::string& chunk) { session.MSComm1_OnComm({PortEvent::kReceive, chunk}); }

    SimulatedPorts ports;
    SimulatedPorts::Port link{ports};
    SimulatedPorts::Port probe{ports};
    ZeroPacer pacer;
    RecordingView view;
    ScriptedPrompts prompts;
    FixedClock clock;
    SharedFileHandle file1;
    LinkSession session;
};

} // namespace tarvik::test
