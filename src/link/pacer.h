#pragma once

#include <functional>

namespace tarvik {

// The pause after each character of a paced command. The three lengths keep the locator's
// ratio 1 : 4 : 40 (2.5 ms, 10 ms, 100 ms on a real link).
enum class Pause { Short, Medium, Long };

// Waiting between characters. The real pacer waits on the event loop, so windows stay
// alive and received data is handled meanwhile; tests use one that does not wait.
class Pacer {
public:
    virtual ~Pacer() = default;
    // Lets pending window events run.
    virtual void LetEventsRun() = 0;
    virtual void Wait(Pause pause) = 0;
};

// Lets the pacer wait, a medium pause at a time, until `done` holds or `milliseconds` have
// passed; whether `done` holds in the end.
bool WaitUntil(Pacer& pacer, const std::function<bool()>& done, int milliseconds);

// Pause lengths in microseconds.
constexpr int PauseMicroseconds(Pause pause) {
    switch (pause) {
    case Pause::Short:
        return 2500;
    case Pause::Medium:
        return 10000;
    case Pause::Long:
        return 100000;
    }
    return 0;
}

} // namespace tarvik
