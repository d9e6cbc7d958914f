#include "link/com_port_map.h"

#include <algorithm>
#include <charconv>
#include <fstream>
#include <map>
#include <sstream>
#include <system_error>

namespace tarvik {

namespace fs = std::filesystem;

namespace {

// Device files of serial adapters a locator may sit behind.
constexpr std::string_view kSerialPrefixes[] = {"ttyACM", "ttyUSB", "rfcomm"};

bool IsSerialDeviceName(std::string_view file) {
    for (std::string_view prefix : kSerialPrefixes) {
        if (file.size() > prefix.size() && file.starts_with(prefix) &&
            std::all_of(file.begin() + prefix.size(), file.end(),
                        [](char c) { return c >= '0' && c <= '9'; }))
            return true;
    }
    return false;
}

std::optional<int> ParseNumber(std::string_view text) {
    int value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size())
        return std::nullopt;
    return value;
}

// The stable by-id name of every device file that has one.
std::map<std::string, std::string> StableNames(const fs::path& deviceFolder) {
    std::map<std::string, std::string> names;
    std::error_code ec;
    for (const auto& link : fs::directory_iterator(deviceFolder / "serial" / "by-id", ec)) {
        const fs::path target = fs::canonical(link.path(), ec);
        if (ec)
            continue;
        // Several links to one device: the first by name, so the choice is the same each time.
        const std::string linkName = link.path().string();
        auto [at, added] = names.emplace(target.string(), linkName);
        if (!added && linkName < at->second)
            at->second = linkName;
    }
    return names;
}

} // namespace

std::vector<SerialDevice> ListSerialDevices(const fs::path& deviceFolder) {
    const std::map<std::string, std::string> stable = StableNames(deviceFolder);
    std::vector<SerialDevice> devices;
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(deviceFolder, ec)) {
        if (!IsSerialDeviceName(entry.path().filename().string()) || entry.is_directory(ec))
            continue;
        std::string path = fs::canonical(entry.path(), ec).string();
        if (ec)
            continue;
        const auto link = stable.find(path);
        devices.push_back({link == stable.end() ? path : link->second, path});
    }
    std::sort(devices.begin(), devices.end(),
              [](const SerialDevice& a, const SerialDevice& b) { return a.name < b.name; });
    return devices;
}

std::optional<int> FormerComNumber(std::string_view devicePath) {
    const std::string_view file = devicePath.substr(devicePath.rfind('/') + 1);
    constexpr std::string_view prefix = "ttyACM";
    if (!file.starts_with(prefix))
        return std::nullopt;
    const auto index = ParseNumber(file.substr(prefix.size()));
    if (!index || *index + 1 > ComPortMap::kLast)
        return std::nullopt;
    return *index + 1;
}

ComPortMap ComPortMap::Parse(std::string_view text) {
    ComPortMap map;
    std::istringstream lines{std::string(text)};
    for (std::string line; std::getline(lines, line);) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        const std::size_t comma = line.find(',');
        if (comma == std::string::npos || comma + 1 == line.size())
            continue;
        const auto number = ParseNumber(std::string_view(line).substr(0, comma));
        const std::string device = line.substr(comma + 1);
        if (!number || *number < kFirst || *number > kLast || map.DeviceOf(*number) ||
            std::any_of(map.entries_.begin(), map.entries_.end(),
                        [&](const Entry& e) { return e.device == device; }))
            continue;
        map.entries_.push_back({*number, device});
    }
    return map;
}

std::string ComPortMap::Serialise() const {
    std::string text;
    for (const Entry& entry : entries_)
        text += std::to_string(entry.number) + "," + entry.device + "\r\n";
    return text;
}

const std::string* ComPortMap::DeviceOf(int number) const {
    for (const Entry& entry : entries_)
        if (entry.number == number)
            return &entry.device;
    return nullptr;
}

std::optional<int> ComPortMap::FreeNumberFor(const std::vector<SerialDevice>& present) {
    for (int n = kFirst; n <= kLast; ++n)
        if (!DeviceOf(n))
            return n;
    // All sixteen taken: the entries run from the device away longest to the one seen last.
    const auto away = std::find_if(entries_.begin(), entries_.end(), [&](const Entry& e) {
        return std::none_of(present.begin(), present.end(),
                            [&](const SerialDevice& d) { return d.name == e.device; });
    });
    if (away == entries_.end())
        return std::nullopt;
    const int number = away->number;
    entries_.erase(away);
    return number;
}

bool ComPortMap::Update(const std::vector<SerialDevice>& present) {
    const std::vector<Entry> before = entries_;
    auto known = [this](const SerialDevice& d) {
        return std::any_of(entries_.begin(), entries_.end(),
                           [&](const Entry& e) { return e.device == d.name; });
    };
    // Former numbers first, so that no other newcomer takes one from its device.
    std::vector<SerialDevice> newcomers;
    for (const SerialDevice& device : present) {
        if (known(device))
            continue;
        const auto former = FormerComNumber(device.path);
        if (former && !DeviceOf(*former))
            entries_.push_back({*former, device.name});
        else
            newcomers.push_back(device);
    }
    for (const SerialDevice& device : newcomers)
        if (const auto number = FreeNumberFor(present))
            entries_.push_back({*number, device.name});

    // The devices seen now move behind those that are away, in number order.
    auto isPresent = [&](const Entry& e) {
        return std::any_of(present.begin(), present.end(),
                           [&](const SerialDevice& d) { return d.name == e.device; });
    };
    auto firstPresent = std::stable_partition(entries_.begin(), entries_.end(),
                                              [&](const Entry& e) { return !isPresent(e); });
    std::sort(firstPresent, entries_.end(),
              [](const Entry& a, const Entry& b) { return a.number < b.number; });
    return entries_ != before;
}

namespace {

ComPortMap LoadMap(const fs::path& mapFile) {
    std::ifstream in(mapFile, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return ComPortMap::Parse(text.str());
}

// Written beside and renamed into place, so a reader never sees half a map.
void SaveMap(const fs::path& mapFile, const ComPortMap& map) {
    std::error_code ec;
    fs::create_directories(mapFile.parent_path(), ec);
    fs::path partial = mapFile;
    partial += ".new";
    {
        std::ofstream out(partial, std::ios::binary | std::ios::trunc);
        out << map.Serialise();
        if (!out.flush())
            return;
    }
    fs::rename(partial, mapFile, ec);
    if (ec)
        fs::remove(partial, ec);
}

} // namespace

ComPortTarget ResolveComPort(int number, const fs::path& deviceFolder, const fs::path& mapFile) {
    ComPortMap map = mapFile.empty() ? ComPortMap{} : LoadMap(mapFile);
    const std::vector<SerialDevice> present = ListSerialDevices(deviceFolder);
    if (map.Update(present) && !mapFile.empty())
        SaveMap(mapFile, map);
    const std::string* name = map.DeviceOf(number);
    if (!name)
        return {};
    for (const SerialDevice& device : present)
        if (device.name == *name)
            return {device.name, device.path};
    // Away: its remembered name, which cannot be opened until it is back.
    return {*name, *name};
}

} // namespace tarvik
