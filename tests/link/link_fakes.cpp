#include "link/link_fakes.h"

#include <algorithm>

namespace tarvik::test {

namespace {

const FixedClock& PcClock() {
    static const FixedClock clock(DateTime{2026, 12, 5, 10, 0, 0});
    return clock;
}

} // namespace

sim::LocatorEngine& SimulatedPorts::Plug(int comNumber, sim::LocatorSettings settings) {
    engines_[comNumber] = std::make_unique<sim::LocatorEngine>(std::move(settings), PcClock());
    return *engines_[comNumber];
}

sim::LocatorEngine* SimulatedPorts::At(int comNumber) {
    const auto found = engines_.find(comNumber);
    return found == engines_.end() ? nullptr : found->second.get();
}

void WireLog::Written(const std::string& port, std::string_view bytes) {
    entries_.push_back({port, std::string(bytes), true, std::nullopt});
}

void WireLog::Paused(Pause pause) {
    for (auto entry = entries_.rbegin(); entry != entries_.rend(); ++entry) {
        if (entry->written && entry->text.size() == 1 && !entry->pause) {
            entry->pause = pause;
            return;
        }
    }
    entries_.push_back({{}, {}, false, pause});
}

void WireLog::Line(const std::string& port, const std::string& what) {
    entries_.push_back({port, what, false, std::nullopt});
}

std::vector<WireLog::Entry> WireLog::Grouped() const {
    std::vector<Entry> grouped;
    for (const Entry& entry : entries_) {
        if (!grouped.empty()) {
            Entry& last = grouped.back();
            const bool sameKind = last.written == entry.written && last.port == entry.port &&
                                  last.pause == entry.pause;
            if (sameKind && entry.written) {
                last.text += entry.text;
                continue;
            }
            if (sameKind && entry.port.empty()) {
                last.count += entry.count;
                continue;
            }
        }
        grouped.push_back(entry);
    }
    return grouped;
}

std::string WireLog::Render(const Entry& entry) {
    static const char* const kPauseNames[] = {"short", "medium", "long"};
    const std::string pause = entry.pause ? kPauseNames[static_cast<int>(*entry.pause)] : "";
    if (entry.port.empty())
        return "wait " + pause + (entry.count > 1 ? " x" + std::to_string(entry.count) : "");
    if (!entry.written)
        return entry.port + " " + entry.text;
    return entry.port + " [" + entry.text + "]" + (pause.empty() ? "" : " " + pause);
}

std::vector<std::string> WireLog::Steps() const {
    std::vector<std::string> steps;
    for (const Entry& entry : Grouped())
        steps.push_back(Render(entry));
    return steps;
}

std::vector<std::string> WireLog::StepsOf(const std::string& port) const {
    std::vector<std::string> steps;
    for (const Entry& entry : Grouped())
        if (entry.port == port)
            steps.push_back(Render(entry));
    return steps;
}

bool SimulatedPorts::Port::Open(int comNumber, PortRole role) {
    openedPorts.push_back(comNumber);
    role_ = role;
    // Only ports with a locator plugged in exist.
    if (!ports_.At(comNumber))
        return false;
    open_ = comNumber;
    Line("open " + std::to_string(comNumber));
    return true;
}

void SimulatedPorts::Port::Close() {
    if (open_)
        Line("close");
    open_ = 0;
}

void SimulatedPorts::Port::ClearInput() {
    // Replies reach the reader as soon as they are made, so there is never anything to drop.
    Line("flush");
}

void SimulatedPorts::Port::Write(std::string_view bytes) {
    if (!open_)
        return;
    written.append(bytes);
    ports_.log.Written(Name(), bytes);
    sim::LocatorEngine& engine = *ports_.At(open_);
    ports_.now_ += 10;
    engine.Receive(bytes, ports_.now_);
    if (role_ == PortRole::Link && onEvent) {
        while (engine.HasOutput())
            onEvent(PortEvent{PortEvent::kReceive, engine.TakeOutput(ports_.chunkSize)});
    }
}

std::string SimulatedPorts::Port::ReadAll() {
    if (!open_)
        return {};
    sim::LocatorEngine& engine = *ports_.At(open_);
    const std::size_t most = ports_.probePiece ? ports_.probePiece : std::string::npos;
    std::string all;
    while (engine.HasOutput() && all.size() < most)
        all += engine.TakeOutput(std::min<std::size_t>(4096, most - all.size()));
    if (!all.empty())
        Line("read " + std::to_string(all.size()));
    return all;
}

InProcessLink::InProcessLink(DateTime now)
    : clock(now), session(link, probe, pacer, view, prompts, clock, file1) {
    pacer.log = &ports.log;
    view.onUnlink = [this] { session.ClosePorts(); };
}

sim::LocatorEngine& InProcessLink::LinkTo(int comNumber, sim::LocatorSettings settings) {
    sim::LocatorEngine& engine = ports.Plug(comNumber, std::move(settings));
    link.Open(comNumber, PortRole::Link);
    return engine;
}

} // namespace tarvik::test
