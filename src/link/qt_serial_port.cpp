#include "link/qt_serial_port.h"

#include "link/port_naming.h"

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
    // The configuration in the locator's order. The serial control's text input mode, its
    // receive and send thresholds and its further numeric setting (50) and boolean option
    // have no QSerialPort counterpart: QSerialPort always delivers raw bytes and signals
    // every arrival; the link port turns arrivals into events below, the probe port polls.
    port_.setReadBufferSize(0); // unlimited: the 30000-character buffer must never drop data
    port_.setBaudRate(QSerialPort::Baud115200);
    port_.setParity(QSerialPort::NoParity);
    port_.setDataBits(QSerialPort::Data8);
    port_.setStopBits(QSerialPort::OneStop);
    port_.setPortName(QString::fromStdString(PortDeviceName(comNumber)));
    port_.setFlowControl(QSerialPort::NoFlowControl);
    if (!port_.open(QIODevice::ReadWrite)) {
        lastError_ = port_.errorString();
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

void QtSerialPort::OnReadyRead() {
    if (role_ != PortRole::Link || !onEvent)
        return;
    const QByteArray bytes = port_.readAll();
    if (!bytes.isEmpty())
        onEvent(PortEvent{PortEvent::kReceive, bytes.toStdString()});
}

void QtSerialPort::OnError(QSerialPort::SerialPortError error) {
    if (error == QSerialPort::NoError)
        return;
    if (error == QSerialPort::ResourceError) {
        port_.clearError();
        if (role_ == PortRole::Link && port_.isOpen()) {
            // Keep what already arrived, then end the link.
            OnReadyRead();
            if (onDeviceLost)
                onDeviceLost();
        }
        Close();
        return;
    }
    const int code = CommsEventCode(error);
    port_.clearError();
    if (code != 0 && role_ == PortRole::Link && port_.isOpen() && onEvent)
        onEvent(PortEvent{code, {}});
}

} // namespace tarvik
