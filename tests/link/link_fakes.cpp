#include "link/link_fakes.h"

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

bool SimulatedPorts::Port::Open(int comNumber, PortRole role) {
    openedPorts.push_back(comNumber);
    // Only ports with a locator plugged in exist.
    if (!ports_.At(comNumber))
        return false;
    open_ = comNumber;
    role_ = role;
    return true;
}

void SimulatedPorts::Port::Write(std::string_view bytes) {
    if (!open_)
        return;
    written.append(bytes);
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
    std::string all;
    while (engine.HasOutput())
        all += engine.TakeOutput(4096);
    return all;
}

InProcessLink::InProcessLink(DateTime now)
    : clock(now), session(link, probe, pacer, view, prompts, clock, file1) {
    view.onUnlink = [this] { session.ClosePorts(); };
}

sim::LocatorEngine& InProcessLink::LinkTo(int comNumber, sim::LocatorSettings settings) {
    sim::LocatorEngine& engine = ports.Plug(comNumber, std::move(settings));
    link.Open(comNumber, PortRole::Link);
    return engine;
}

} // namespace tarvik::test
