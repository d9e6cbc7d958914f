#include "link/link_fakes.h"

#include <algorithm>

namespace tarvik::test {

sim::LocatorSettings Locator(std::string user, std::string model, std::string serial) {
    sim::LocatorSettings settings;
    settings.identity = {std::move(user), std::move(model), std::move(serial), "V2.04"};
    return settings;
}

sim::LocatorSettings SilentLocator() {
    sim::LocatorSettings settings;
    settings.silent = true;
    return settings;
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

Texts WireLog::StepsOf(const std::string& port) const {
    // Characters written in a row with the same pause make one step, as do pauses in a row
    // that followed no character.
    std::vector<Entry> grouped;
    for (const Entry& entry : entries_) {
        Entry* last = grouped.empty() ? nullptr : &grouped.back();
        const bool same = last && last->written == entry.written && last->port == entry.port &&
                          last->pause == entry.pause;
        if (same && entry.written)
            last->text += entry.text;
        else if (same && entry.port.empty())
            last->count += entry.count;
        else
            grouped.push_back(entry);
    }
    static const char* const kPauseNames[] = {"short", "medium", "long"};
    Texts steps;
    for (const Entry& e : grouped) {
        const std::string pause = e.pause ? kPauseNames[static_cast<int>(*e.pause)] : "";
        if (!port.empty() && e.port != port)
            continue;
        if (e.port.empty())
            steps.push_back("wait " + pause + (e.count > 1 ? " x" + std::to_string(e.count) : ""));
        else if (!e.written)
            steps.push_back(e.port + " " + e.text);
        else
            steps.push_back(e.port + " [" + e.text + "]" + (pause.empty() ? "" : " " + pause));
    }
    return steps;
}

sim::LocatorEngine& SimulatedPorts::Plug(int comNumber, sim::LocatorSettings settings) {
    static const FixedClock pcClock(DateTime{2026, 12, 5, 10, 0, 0});
    engines_[comNumber] = std::make_unique<sim::LocatorEngine>(std::move(settings), pcClock);
    return *engines_[comNumber];
}

sim::LocatorEngine* SimulatedPorts::At(int comNumber) {
    const auto found = engines_.find(comNumber);
    return found == engines_.end() ? nullptr : found->second.get();
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

void SimulatedPorts::Port::Unplug() {
    Line("unplugged");
    open_ = 0;
    if (onDeviceLost)
        onDeviceLost();
}

void SimulatedPorts::Port::Write(std::string_view bytes) {
    if (!open_)
        return;
    written.append(bytes);
    ports_.log.Written(Name(), bytes);
    sim::LocatorEngine& engine = *ports_.At(open_);
    ports_.now_ += 10;
    engine.Receive(bytes, ports_.now_);
    while (role_ == PortRole::Link && onEvent && engine.HasOutput())
        onEvent(PortEvent{PortEvent::kReceive, engine.TakeOutput(ports_.chunkSize)});
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
