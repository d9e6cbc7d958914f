#pragma once

#include "link/pacer.h"

#include <chrono>

namespace tarvik {

// Waits on the Qt event loop, so windows repaint and received data is handled meanwhile.
class EventLoopPacer : public Pacer {
public:
    void LetEventsRun() override;
    void Wait(Pause pause) override {
        WaitFor(std::chrono::microseconds(PauseMicroseconds(pause)));
    }

protected:
    // One pause of `length`, events running for its whole milliseconds.
    virtual void WaitFor(std::chrono::microseconds length);
};

} // namespace tarvik
