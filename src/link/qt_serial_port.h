#pragma once

#include "link/serial_port.h"

#include <QObject>
#include <QSerialPort>
#include <deque>
#include <string>

namespace tarvik {

// The real serial port: a QSerialPort on the device that names COM n (port_naming.h).
class QtSerialPort final : public QObject, public SerialPort {
    Q_OBJECT
public:
    explicit QtSerialPort(QObject* parent = nullptr);
    ~QtSerialPort() override;

    bool Open(int comNumber, PortRole role) override;
    void Close() override;
    bool IsOpen() const override;
    void Write(std::string_view bytes) override;
    std::string ReadAll() override;
    void ClearInput() override;
    void SetDtr(bool on) override;
    void SetRts(bool on) override;

    std::string OpenProblem() const override { return openProblem_; }

    // The reason of the last failed Open.
    QString lastError() const { return lastError_; }

private:
    void OnReadyRead();
    void OnError(QSerialPort::SerialPortError error);
    // Events are handed on from the event loop, never from inside the readyRead signal:
    // Qt does not signal readyRead again while a slot of it runs, and the receive handler
    // lets events run (paced sends), so data arriving meanwhile would wait unseen.
    void Post(PortEvent event);
    void DeliverNext();

    static constexpr int kDeviceLost = -1;
    QSerialPort port_;
    QString device_;
    std::deque<PortEvent> pending_;
    PortRole role_ = PortRole::Probe;
    QString lastError_;
    std::string openProblem_;
    bool opening_ = false;
};

// The serial control's event number for an error of the port, as the receive handler
// reports it; 0 for errors that are not comms errors (a pseudo-terminal refusing the DTR
// and flow-control settings, a timeout, no error).
int CommsEventCode(QSerialPort::SerialPortError error);

// What to tell the user when COM n's `device` would not open with `error`: a permission
// error on a device the user may not read and write is the missing serial-port group; one on
// a device the user may use is a device held by another program. Empty otherwise.
std::string OpenProblemText(int comNumber, const std::string& device,
                            QSerialPort::SerialPortError error, bool userMayOpen);

} // namespace tarvik
