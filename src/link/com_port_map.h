#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tarvik {

// A serial device present now: the name it is remembered by (its /dev/serial/by-id link when
// it has one, which stays the same whichever socket it is plugged into, else its device
// file) and the device file that is opened.
struct SerialDevice {
    std::string name;
    std::string path;

    bool operator==(const SerialDevice&) const = default;
};

// The USB ACM, USB serial and Bluetooth RFCOMM devices under `deviceFolder` (normally /dev),
// sorted by name.
std::vector<SerialDevice> ListSerialDevices(const std::filesystem::path& deviceFolder);

// COM numbers for serial devices, as Windows gives them: a device keeps the number it got
// when first seen, also while it is unplugged. Stored as "comports.ini", one "n,device" line
// per number, in the order the devices were last seen (the one away longest first), so that
// the number to give up when all sixteen are taken is the first absent one.
class ComPortMap {
public:
    static constexpr int kFirst = 1;
    static constexpr int kLast = 16;

    struct Entry {
        int number = 0;
        std::string device;

        bool operator==(const Entry&) const = default;
    };

    // Lines that are not "n,device" with n from 1 to 16, and repeats of a number or a
    // device, are dropped.
    static ComPortMap Parse(std::string_view text);
    std::string Serialise() const;

    // Gives the devices present now their numbers: a known device keeps its own; a new one
    // takes n = k + 1 for /dev/ttyACMk when that is free (the numbers the toolkit always
    // gave such devices), else the lowest free number, else the number of the device away
    // longest. True when the map changed.
    bool Update(const std::vector<SerialDevice>& present);

    const std::string* DeviceOf(int number) const;
    const std::vector<Entry>& entries() const { return entries_; }

private:
    // The lowest free number, else the one of the device away longest (given up), if any.
    std::optional<int> FreeNumberFor(const std::vector<SerialDevice>& present);

    std::vector<Entry> entries_;
};

// The number a device file such as /dev/ttyACM2 had before the map existed (3), if any.
std::optional<int> FormerComNumber(std::string_view devicePath);

// What COM n leads to: the name the device is remembered by and the file to open, both
// empty when no device has the number. The map in `mapFile` is first brought up to date with
// the devices under `deviceFolder` and saved when it changed (not at all when `mapFile` is
// empty or cannot be written: the numbers then hold for this look-up only).
struct ComPortTarget {
    std::string name;
    std::string path;
};
ComPortTarget ResolveComPort(int number, const std::filesystem::path& deviceFolder,
                             const std::filesystem::path& mapFile);

} // namespace tarvik
