#include "link/senders.h"

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

} // namespace tarvik
