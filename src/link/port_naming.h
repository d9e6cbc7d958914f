#pragma once

#include <string>
#include <string_view>

namespace tarvik {

// The device behind COM n: "COMn" on Windows; on Linux "/dev/ttyACM<n-1>", unless a pattern
// is given (TARVIK_PORT_PATTERN) in which "{n}" stands for the number, e.g. "/tmp/lab/COM{n}".
std::string PortDeviceName(int comNumber, std::string_view pattern);
// The same with the pattern taken from the environment.
std::string PortDeviceName(int comNumber);

} // namespace tarvik
