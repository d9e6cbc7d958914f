#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace tarvik {

// The device behind COM n: "COMn" on Windows; on Linux the device the COM map gives the
// number (com_port_map.h), unless a pattern is given (TARVIK_PORT_PATTERN) in which "{n}"
// stands for the number, e.g. "/tmp/lab/COM{n}". Empty when no device has the number.
std::string PortDeviceName(int comNumber, std::string_view pattern);
// The same with the pattern taken from the environment.
std::string PortDeviceName(int comNumber);

// The device behind COM n as a user knows it (its stable name when it has one), for lists
// and messages; empty when no device has the number.
std::string PortDeviceText(int comNumber);

// Where the COM map is kept (comports.ini beside the port list). Until this is called the
// numbers are worked out afresh on each look-up and not remembered.
void UseComPortMap(std::filesystem::path mapFile);

// What to tell a user whose account may not open COM n's device.
std::string NoPermissionText(int comNumber, std::string_view device);

} // namespace tarvik
