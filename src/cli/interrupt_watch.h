#pragma once

namespace tarvik::cli {

// Ctrl+C (SIGINT) while a long command runs: the first one is only noted, so the command can
// wind down as the window's Stop would; a second one quits at once, as Ctrl+C always does.
// The usual handling comes back when the watch ends.
class InterruptWatch {
public:
    InterruptWatch();
    ~InterruptWatch();
    InterruptWatch(const InterruptWatch&) = delete;
    InterruptWatch& operator=(const InterruptWatch&) = delete;

    bool Requested() const;
};

} // namespace tarvik::cli
