#include "link/senders.h"

#include <chrono>

namespace tarvik {

void SendPaced(SerialPort& port, Pacer& pacer, std::string_view command, Pause pause) {
    for (char c : command) {
        // A port closed meanwhile (power-down, unplugged) takes nothing more.
        if (!port.IsOpen())
            return;
        port.Write(std::string_view(&c, 1));
        pacer.LetEventsRun();
        pacer.Wait(pause);
    }
}

void PacedPort::Send(std::string_view command, Pause pause) {
    waiting_.push_back({std::string(command), pause});
    if (!sending_)
        SendWaiting();
}

void PacedPort::SendAhead(std::string_view command, Pause pause) {
    waiting_.push_front({std::string(command), pause});
    if (!sending_)
        SendWaiting();
}

void PacedPort::SendWaiting() {
    // Runs in the outermost send only; commands asked for meanwhile join the queue.
    sending_ = true;
    while (!waiting_.empty()) {
        if (!port_.IsOpen()) {
            waiting_.clear();
            break;
        }
        const Waiting next = std::move(waiting_.front());
        waiting_.pop_front();
        if (beforeEachCommand_)
            beforeEachCommand_();
        SendPaced(port_, pacer_, next.command, next.pause);
    }
    sending_ = false;
}

bool WaitUntil(Pacer& pacer, const std::function<bool()>& done, int milliseconds) {
    const auto deadline =
        std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
    while (!done() && std::chrono::steady_clock::now() < deadline)
        pacer.Wait(Pause::Medium);
    return done();
}

} // namespace tarvik
