#pragma once

#include "link/serial_port.h"

#include <deque>
#include <functional>

namespace tarvik {

// Hands port events to a receive handler one at a time. An event that arrives while the
// handler runs (its paced sends let events run) waits, and is handled, in order, right after.
class SerialEventQueue {
public:
    using Handler = std::function<void(const PortEvent&)>;

    explicit SerialEventQueue(Handler handler) : handler_(std::move(handler)) {}

    void Deliver(PortEvent event) {
        waiting_.push_back(std::move(event));
        if (handling_)
            return;
        handling_ = true;
        while (!waiting_.empty()) {
            const PortEvent next = std::move(waiting_.front());
            waiting_.pop_front();
            handler_(next);
        }
        handling_ = false;
    }

private:
    Handler handler_;
    bool handling_ = false;
    std::deque<PortEvent> waiting_;
};

} // namespace tarvik
