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
#include <string>
#include <utility>
#include <vector>

namespace tarvik::test {

using Texts = std::vector<std::string>;

// What the ports and the pacer did, a line a step: "link [#LD] medium" (characters each followed
// by a medium pause), "link [MM]" (no pause), "link dtr off", "link flush", "probe open 3",
// "probe read 50", "wait medium x10" (pauses after no character: awaiting a reply).
class WireLog {
public:
    void Written(const std::string& port, std::string_view bytes) {
        entries_.push_back({port, std::string(bytes), true});
    }
    void Paused(Pause pause);
    void Line(const std::string& port, const std::string& what) {
        entries_.push_back({port, what});
    }
    void Clear() { entries_.clear(); }
    Texts Steps(const std::string& port = {}) const;

private:
    struct Entry {
        std::string port, text; // no port: a pause that followed no character
        bool written = false;
        int pause = -1;
        int count = 1;
    };
    std::vector<Entry> entries_;
};

// A pacer that never waits but logs its waits; `onLetEventsRun` delivers events mid-send.
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

inline sim::LocatorSettings SilentLocator() {
    return {.silent = true};
}

// Serial ports whose COM numbers lead to simulated locators run in-process. A write reaches
// the locator at once; its replies are read back (probe) or raised as events (link).
class SimulatedPorts {
public:
    sim::LocatorEngine& Plug(int comNumber, sim::LocatorSettings settings) {
        static const FixedClock pcClock(DateTime{2026, 12, 5, 10, 0, 0});
        return *(engines_[comNumber] =
                     std::make_unique<sim::LocatorEngine>(std::move(settings), pcClock));
    }
    std::size_t chunkSize = 4096; // the largest chunk a link event carries
    WireLog log;

    class Port final : public SerialPort {
    public:
        explicit Port(SimulatedPorts& ports) : ports_(ports) {}
        bool Open(int comNumber, PortRole role) override;
        std::string OpenProblem() const override { return problem_; }
        void Close() override {
            if (std::exchange(open_, 0))
                Line("close");
        }
        bool IsOpen() const override { return open_ != 0; }
        void Write(std::string_view bytes) override;
        std::string ReadAll() override;
        void ClearInput() override { Line("flush"); }
        void SetDtr(bool on) override { Line(on ? "dtr on" : "dtr off"); }
        void SetRts(bool on) override { Line(on ? "rts on" : "rts off"); }
        void Unplug() {
            Line("unplugged");
            open_ = 0;
            if (onDeviceLost)
                onDeviceLost();
        }
        int openNumber() const { return open_; }

        std::string written;          // everything written while open
        std::vector<int> openedPorts; // every COM number an Open was asked for
        // When set, an Open is refused for the reason it gives for the COM number, if any.
        std::function<std::string(int)> refuse;

    private:
        void Line(const std::string& what) {
            ports_.log.Line(role_ == PortRole::Link ? "link" : "probe", what);
        }

        SimulatedPorts& ports_;
        int open_ = 0;
        std::string problem_;
        PortRole role_ = PortRole::Probe;
    };

private:
    std::map<int, std::unique_ptr<sim::LocatorEngine>> engines_;
    sim::LocatorEngine::Millis now_ = 0;
};

// What the link and a download show on the window; like the window, one set of data file
// buttons (View Current and Export).
class RecordingView final : public LinkView, public TransferView {
public:
    void SetStatus(const std::string& text, std::uint32_t) override { statuses.push_back(text); }
    void SetLamp(std::uint32_t colour) override { lamp = colour; }
    void SetLinkControls(bool on) override {
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
    void ShowPortList(const std::vector<PortRecord>&) override {}
    void EnableTransferFrame(bool on) override { transferFrame = on; }
    void ShowDataArriving(bool) override {}
    void ShowTransferRunning() override {}
    void ShowProgress(int value) override { progress = value; }
    int ProgressMaximum() const override { return 165000; }
    void StopDownloadBlink() override { blinkStopped = true; }
    void ShowMonitor(const std::string& chunk) override {
        monitor = chunk;
        if (onMonitor)
            onMonitor();
    }
    void ShowTransferStarting() override {}
    void StartDownloadBlink(bool textNow) override { blinkWithText = textNow; }
    void RestartAbortTimer() override { abortTimerOn = true; }
    void StopAbortTimer() override { abortTimerOn = false; }
    void ShowTransferComplete() override {}
    void ShowDownloadedFile(const LocatorIdentity&) override { ++viewerOpened; }
    void ShowTransferOver(bool, bool fileButtons) override {
        ++overs;
        dataFileButtons = fileButtons;
    }
    bool DataFileButtonsEnabled() const override { return dataFileButtons; }

    Texts statuses;
    std::uint32_t lamp = 0;
    std::function<void()> onUnlink, onMonitor;
    int unlinked = 0, progress = 0, viewerOpened = 0, overs = 0;
    bool dataFileButtons = true, transferFrame = true, blinkStopped = false, blinkWithText = false,
         abortTimerOn = false;
    LocatorIdentity identity;
    std::string firmware, lastDownload, monitor;
};

// A link session over in-process simulated locators, a pacer that never waits and scripted
// prompts. Unlinking closes the ports.
struct InProcessLink {
    explicit InProcessLink(DateTime now = {2026, 12, 5, 10, 0, 0})
        : clock(now), session(link, probe, pacer, view, prompts, clock, file1) {
        pacer.log = &ports.log;
        view.onUnlink = [this] { session.ClosePorts(); };
    }
    void LinkTo(int comNumber, sim::LocatorSettings settings) {
        ports.Plug(comNumber, std::move(settings));
        link.Open(comNumber, PortRole::Link);
    }
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
