#pragma once

#include "link/pacer.h"
#include "link/serial_port.h"

#include <functional>
#include <string_view>

namespace tarvik {

// Writes a command one character at a time, letting events run and pausing after each
// character. No terminator is added.
void SendPaced(SerialPort& port, Pacer& pacer, std::string_view command, Pause pause);

// The four senders: the link port at the short, medium and long pause, and the probe port
// at the medium pause.
class Senders {
public:
    Senders(SerialPort& link, SerialPort& probe, Pacer& pacer)
        : link_(link), probe_(probe), pacer_(pacer) {}

    void SendCommand(std::string_view command) { Send(link_, command, Pause::Short); }
    void SendCommandSlow(std::string_view command) { Send(link_, command, Pause::Medium); }
    void SendCommandVerySlow(std::string_view command) { Send(link_, command, Pause::Long); }
    void SendProbeCommand(std::string_view command) { Send(probe_, command, Pause::Medium); }

    Pacer& pacer() { return pacer_; }

    // Called before each command goes out on the link port.
    std::function<void()> beforeLinkCommand;

private:
    void Send(SerialPort& port, std::string_view command, Pause pause) {
        if (&port == &link_ && beforeLinkCommand)
            beforeLinkCommand();
        SendPaced(port, pacer_, command, pause);
    }

    SerialPort& link_;
    SerialPort& probe_;
    Pacer& pacer_;
};

} // namespace tarvik
