#pragma once

#include "link/pacer.h"
#include "link/serial_port.h"

#include <deque>
#include <functional>
#include <string>
#include <string_view>

namespace tarvik {

// Writes a command one character at a time, letting events run and pausing after each
// character. No terminator is added.
void SendPaced(SerialPort& port, Pacer& pacer, std::string_view command, Pause pause);

// The paced sends of one port, one command at a time. A paced send lets events run, so a
// receive handler, a button or a timer may ask for another command while one is going out:
// it waits and goes out whole after it, in order, since the locator would read two commands
// spliced together as something else. Commands still waiting when the port closes are dropped.
class PacedPort {
public:
    PacedPort(SerialPort& port, Pacer& pacer, std::function<void()> beforeEachCommand = {})
        : port_(port), pacer_(pacer), beforeEachCommand_(std::move(beforeEachCommand)) {}

    void Send(std::string_view command, Pause pause);
    // Goes ahead of the commands still waiting, though never inside the one going out.
    void SendAhead(std::string_view command, Pause pause);

private:
    struct Waiting {
        std::string command;
        Pause pause;
    };
    void SendWaiting();

    SerialPort& port_;
    Pacer& pacer_;
    std::function<void()> beforeEachCommand_;
    bool sending_ = false;
    std::deque<Waiting> waiting_;
};

// The four senders: the link port at the short, medium and long pause, and the probe port
// at the medium pause.
class Senders {
public:
    Senders(SerialPort& link, SerialPort& probe, Pacer& pacer)
        : link_(link, pacer,
                [this] {
                    if (beforeLinkCommand)
                        beforeLinkCommand();
                }),
          probe_(probe, pacer), pacer_(pacer) {}

    void SendCommand(std::string_view command) { link_.Send(command, Pause::Short); }
    void SendCommandSlow(std::string_view command) { link_.Send(command, Pause::Medium); }
    void SendCommandVerySlow(std::string_view command) { link_.Send(command, Pause::Long); }
    void SendProbeCommand(std::string_view command) { probe_.Send(command, Pause::Medium); }
    // Stop's abort character: ahead of whatever else is waiting to go out.
    void SendAbort(std::string_view command) { link_.SendAhead(command, Pause::Short); }

    Pacer& pacer() { return pacer_; }

    // Called before each command goes out on the link port.
    std::function<void()> beforeLinkCommand;

private:
    PacedPort link_;
    PacedPort probe_;
    Pacer& pacer_;
};

} // namespace tarvik
