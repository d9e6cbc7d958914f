#include "link/port_naming.h"

#include <cstdlib>

namespace tarvik {

std::string PortDeviceName(int comNumber, std::string_view pattern) {
    const std::string number = std::to_string(comNumber);
    if (!pattern.empty()) {
        std::string name(pattern);
        for (std::size_t at = name.find("{n}"); at != std::string::npos;
             at = name.find("{n}", at + number.size()))
            name.replace(at, 3, number);
        return name;
    }
#ifdef _WIN32
    return "COM" + number;
#else
    return "/dev/ttyACM" + std::to_string(comNumber - 1);
#endif
}

std::string PortDeviceName(int comNumber) {
    const char* pattern = std::getenv("TARVIK_PORT_PATTERN");
    return PortDeviceName(comNumber, pattern ? pattern : "");
}

} // namespace tarvik
