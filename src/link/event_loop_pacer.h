#pragma once

#include "link/pacer.h"

namespace tarvik {

// Waits on the Qt event loop, so windows repaint and received data is handled meanwhile.
class EventLoopPacer final : public Pacer {
public:
    void LetEventsRun() override;
    void Wait(Pause pause) override;
};

} // namespace tarvik
