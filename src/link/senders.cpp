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

bool WaitUntil(Pacer& pacer, const std::function<bool()>& done, int milliseconds) {
    const auto deadline =
        std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
    while (!done() && std::chrono::steady_clock::now() < deadline)
        pacer.Wait(Pause::Medium);
    return done();
}

} // namespace tarvik
