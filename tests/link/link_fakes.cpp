#include "link/link_fakes.h"

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

bool SimulatedPorts::Port::Open(int comNumber, PortRole role) {
    openedPorts.push_back(comNumber);
    role_ = role;
    problem_ = refuse ? refuse(comNumber) : "";
    if (!problem_.empty() || !ports_.engines_.count(comNumber)) // no locator, no port
        return false;
    open_ = comNumber;
    Line("open " + std::to_string(comNumber));
    return true;
}

void SimulatedPorts::Port::Write(std::string_view bytes) {
    if (!open_)
        return;
    written.append(bytes);
    ports_.log.Written(role_ == PortRole::Link ? "link" : "probe", bytes);
    sim::LocatorEngine& engine = *ports_.engines_.at(open_);
    ports_.now_ += 10;
    engine.Receive(bytes, ports_.now_);
    while (role_ == PortRole::Link && onEvent && engine.HasOutput())
        onEvent(PortEvent{PortEvent::kReceive, engine.TakeOutput(ports_.chunkSize)});
}

std::string SimulatedPorts::Port::ReadAll() {
    if (!open_)
        return {};
    sim::LocatorEngine& engine = *ports_.engines_.at(open_);
    std::string all;
    while (engine.HasOutput())
        all += engine.TakeOutput(4096);
    if (!all.empty())
        Line("read " + std::to_string(all.size()));
    return all;
}

} // namespace tarvik::test
