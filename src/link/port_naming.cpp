#include "link/port_naming.h"

#include "link/com_port_map.h"

#include <cstdlib>

namespace tarvik {

namespace {

std::filesystem::path& ComPortMapFile() {
    static std::filesystem::path file;
    return file;
}

std::string PatternFromEnvironment() {
    const char* pattern = std::getenv("TARVIK_PORT_PATTERN");
    return pattern ? pattern : "";
}

// Which of a device's two names to give.
enum class Shown { FileToOpen, NameForUser };

std::string DeviceBehind(int comNumber, std::string_view pattern, Shown shown) {
    const std::string number = std::to_string(comNumber);
    if (!pattern.empty()) {
        std::string name(pattern);
        for (std::size_t at = name.find("{n}"); at != std::string::npos;
             at = name.find("{n}", at + number.size()))
            name.replace(at, 3, number);
        return name;
    }
#ifdef _WIN32
    (void)shown;
    return "COM" + number;
#else
    const ComPortTarget target = ResolveComPort(comNumber, "/dev", ComPortMapFile());
    return shown == Shown::FileToOpen ? target.path : target.name;
#endif
}

} // namespace

std::string PortDeviceName(int comNumber, std::string_view pattern) {
    return DeviceBehind(comNumber, pattern, Shown::FileToOpen);
}

std::string PortDeviceName(int comNumber) {
    return PortDeviceName(comNumber, PatternFromEnvironment());
}

std::string PortDeviceText(int comNumber) {
    return DeviceBehind(comNumber, PatternFromEnvironment(), Shown::NameForUser);
}

void UseComPortMap(std::filesystem::path mapFile) {
    ComPortMapFile() = std::move(mapFile);
}

std::string NoPermissionText(int comNumber, std::string_view device) {
    return "Port " + std::to_string(comNumber) + " (" + std::string(device) +
           ") cannot be opened: your user has no permission to use it; add your user to the "
           "dialout group, then log in again.";
}

} // namespace tarvik
