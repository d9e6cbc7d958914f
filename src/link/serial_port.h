#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace tarvik {

// The two ways the toolkit uses a serial port: the link port raises an event for every
// chunk that arrives; the probe port is only polled.
enum class PortRole { Link, Probe };

// What a port reports. Received data carries the chunk that was read from the port when it
// arrived, so chunks are never merged or reordered, whatever the receiver is doing.
struct PortEvent {
    // The serial control's event numbers: 2 is received data; 1, 3, 4, 5 and 7 are the
    // harmless line events; others are errors (1001 break, 1004 framing, 1006 overrun, ...).
    static constexpr int kReceive = 2;
    static constexpr int kBreak = 1001;
    static constexpr int kFrame = 1004;
    static constexpr int kOverrun = 1006;
    static constexpr int kRxParity = 1009;

    int code = kReceive;
    std::string data;

    // Send buffer low, CTS, DSR, carrier, end-of-file character: nothing to act on.
    static constexpr bool IsLineEvent(int code) {
        return code == 1 || code == 3 || code == 4 || code == 5 || code == 7;
    }
};

// One serial port as the toolkit drives it. The real one is a QSerialPort adapter; tests
// use a scripted fake or a simulated locator behind it.
class SerialPort {
public:
    virtual ~SerialPort() = default;

    // Opens COM `comNumber` configured for its role. False when the port does not exist or
    // cannot be opened (the port is then "not valid").
    virtual bool Open(int comNumber, PortRole role) = 0;
    // After a failed Open: why, in words for the user, when there is more to say than that
    // the port is not valid (a device the user may not open, one in use elsewhere).
    virtual std::string OpenProblem() const { return {}; }
    virtual void Close() = 0;
    virtual bool IsOpen() const = 0;

    virtual void Write(std::string_view bytes) = 0;
    // Everything buffered so far (the probe port's way of reading).
    virtual std::string ReadAll() = 0;
    // Empties the receive buffer.
    virtual void ClearInput() = 0;

    virtual void SetDtr(bool on) = 0;
    virtual void SetRts(bool on) = 0;

    // Link port only: called for every chunk or event. Never called for the probe port.
    std::function<void(PortEvent)> onEvent;
    // The device went away (unplugged, switched off): the link is over.
    std::function<void()> onDeviceLost;
};

} // namespace tarvik
