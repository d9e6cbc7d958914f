#include "link/link_fakes.h"

#include <algorithm>

namespace tarvik::test {

void WireLog::Paused(Pause pause) {
    // Events run between a character and its pause may have logged lines in between.
    for (auto e = entries_.rbegin(); e != entries_.rend(); ++e) {
        if (e->written && e->text.size() == 1 && e->pause < 0) {
            e->pause = static_cast<int>(pause);
            return;
        }
    }
    if (!entries_.empty() && entries_.back().port.empty() &&
        entries_.back().pause == static_cast<int>(pause))
        ++entries_.back().count;
    else
        entries_.push_back({{}, {}, false, static_cast<int>(pause)});
}

Texts WireLog::Steps(const std::string& port) const {
    // Characters written in a row with the same pause make one step.
    std::vector<Entry> grouped;
    for (const Entry& e : entries_) {
        if (!port.empty() && e.port != port)
            continue;
        Entry* last = grouped.empty() ? nullptr : &grouped.back();
        if (last && e.written && last->written && last->port == e.port && last->pause == e.pause)
            last->text += e.text;
        else
            grouped.push_back(e);
    }
    static const char* const kPauses[] = {"", " short", " medium", " long"};
    Texts steps;
    for (const Entry& e : grouped) {
        const std::string pause = kPauses[e.pause + 1];
        if (e.port.empty())
            steps.push_back("wait" + pause + (e.count > 1 ? " x" + std::to_string(e.count) : ""));
        else
            steps.push_back(e.port + (e.written ? " [" + e.text + "]" + pause : " " + e.text));
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
    problem_ = refuse ? refuse(comNumber) : "";
    if (refuse || !ports_.At(comNumber)) // only ports with a locator plugged in exist
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
    ports_.log.Written(role_ == PortRole::Link ? "link" : "probe", bytes);
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
