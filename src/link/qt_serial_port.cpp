#include "link/qt_serial_port.h"

#include "link/port_naming.h"

#include <QFileInfo>
#include <unistd.h>

namespace tarvik {

int CommsEventCode(QSerialPort::SerialPortError error) {
    switch (error) {
    case QSerialPort::ReadError:
    case QSerialPort::WriteError:
        return PortEvent::kOverrun;
    default:
        // NoError, UnsupportedOperationError ("Inappropriate ioctl for device" on a
        // pseudo-terminal), TimeoutError, NotOpenError and the open errors are not events;
        // ResourceError is a lost device and handled on its own.
        return 0;
    }
}

std::string OpenProblemText(int comNumber, const std::string& device,
                            QSerialPort::SerialPortError error, bool userMayOpen) {
    if (error != QSerialPort::PermissionError || device.empty())
        return {};
    if (!userMayOpen)
        return NoPermissionText(comNumber, device);
    return "Port " + std::to_string(comNumber) + " (" + device + ") is in use by another program.";
}

QtSerialPort::QtSerialPort(QObject* parent) : QObject(parent) {
    connect(&port_, &QSerialPort::readyRead, this, &QtSerialPort::OnReadyRead);
    connect(&port_, &QSerialPort::errorOccurred, this, &QtSerialPort::OnError);
}

QtSerialPort::~QtSerialPort() {
    Close();
}

bool QtSerialPort::Open(int comNumber, PortRole role) {
    Close();
    role_ = role;
    openProblem_.clear();
    // The configuration in the locator's order. The serial control's text input mode, its
    // receive and send thresholds and its further numeric setting (50) and boolean option
    // have no QSerialPort counterpart: QSerialPort always delivers raw bytes and signals
    // every arrival; the link port turns arrivals into events below, the probe port polls.
    port_.setReadBufferSize(0); // unlimited: the 30000-character buffer must never drop data
    port_.setBaudRate(QSerialPort::Baud115200);
    port_.setParity(QSerialPort::NoParity);
    port_.setDataBits(QSerialPort::Data8);
    port_.setStopBits(QSerialPort::OneStop);
    device_ = QString::fromStdString(PortDeviceName(comNumber));
    port_.setPortName(device_);
    port_.setFlowControl(QSerialPort::NoFlowControl);
    opening_ = true;
    const bool opened = port_.open(QIODevice::ReadWrite);
    opening_ = false;
    if (!opened) {
        lastError_ = port_.errorString();
        const std::string device = device_.toStdString();
        openProblem_ = OpenProblemText(comNumber, device, port_.error(),
                                       ::access(device.c_str(), R_OK | W_OK) == 0);
        port_.clearError();
        return false;
    }
    if (role == PortRole::Link) {
        SetDtr(true);
    } else {
        SetRts(true);
    }
    return true;
}

void QtSerialPort::Close() {
    // Whatever had not been handed on belongs to a link that is over.
    pending_.clear();
    if (port_.isOpen())
        port_.close();
}

bool QtSerialPort::IsOpen() const {
    return port_.isOpen();
}

void QtSerialPort::Write(std::string_view bytes) {
    if (!port_.isOpen())
        return;
    port_.write(bytes.data(), static_cast<qint64>(bytes.size()));
    port_.flush();
}

std::string QtSerialPort::ReadAll() {
    if (!port_.isOpen())
        return {};
    // Take in whatever the device holds now, without waiting for more.
    while (port_.waitForReadyRead(0)) {
    }
    const QByteArray bytes = port_.readAll();
    return bytes.toStdString();
}

void QtSerialPort::ClearInput() {
    // Chunks read but not yet handed on are still part of the receive buffer.
    std::erase_if(pending_, [](const PortEvent& e) { return e.code == PortEvent::kReceive; });
    if (port_.isOpen()) {
        port_.clear(QSerialPort::Input);
        port_.readAll();
    }
}

void QtSerialPort::SetDtr(bool on) {
    if (port_.isOpen())
        port_.setDataTerminalReady(on);
}

void QtSerialPort::SetRts(bool on) {
    if (port_.isOpen())
        port_.setRequestToSend(on);
}

void QtSerialPort::Post(PortEvent event) {
    pending_.push_back(std::move(event));
    QMetaObject::invokeMethod(
        this, [this] { DeliverNext(); }, Qt::QueuedConnection);
}

void QtSerialPort::DeliverNext() {
    if (pending_.empty())
        return;
    PortEvent event = std::move(pending_.front());
    pending_.pop_front();
    if (event.code == kDeviceLost) {
        if (onDeviceLost)
            onDeviceLost();
    } else if (event.code != PortEvent::kReceive && !port_.isOpen()) {
        // A read error on the way to losing the device is part of the loss, not a comms
        // error of its own.
    } else if (onEvent) {
        onEvent(std::move(event));
    }
}

void QtSerialPort::OnReadyRead() {
    if (role_ != PortRole::Link || !port_.isOpen())
        return;
    const QByteArray bytes = port_.readAll();
    if (!bytes.isEmpty())
        Post(PortEvent{PortEvent::kReceive, bytes.toStdString()});
}

void QtSerialPort::OnError(QSerialPort::SerialPortError error) {
    // The error of a failed open is Open's to read.
    if (error == QSerialPort::NoError || opening_)
        return;
    // A device that has gone (unplugged, switched off, the simulator stopped) may first show
    // as a failed read or write; once its device file is gone it is a loss, not an error.
    const bool gone = error == QSerialPort::ResourceError ||
                      ((error == QSerialPort::ReadError || error == QSerialPort::WriteError) &&
                       !QFileInfo::exists(device_));
    if (gone) {
        port_.clearError();
        if (role_ == PortRole::Link && port_.isOpen()) {
            // What already arrived is handled first, then the link ends.
            OnReadyRead();
            Post(PortEvent{kDeviceLost, {}});
        }
        port_.close();
        return;
    }
    const int code = CommsEventCode(error);
    port_.clearError();
    if (code != 0 && role_ == PortRole::Link && port_.isOpen())
        Post(PortEvent{code, {}});
}

} // namespace tarvik
