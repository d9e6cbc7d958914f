#include "link/port_list.h"

#include "common/text.h"

#include <fstream>
#include <sstream>
#include <system_error>

namespace tarvik {

namespace {

std::string LineOf(const PortRecord& record) {
    return record.serial + "," + std::to_string(record.port) + "\r\n";
}

} // namespace

std::vector<PortRecord> PortList::Read(const std::filesystem::path& file) {
    std::vector<PortRecord> records;
    std::ifstream in(file, std::ios::binary);
    std::string line;
    if (!in || !std::getline(in, line)) // the header line, whatever it holds
        return records;
    while (std::getline(in, line) && records.size() < kMaxRecords) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        const std::size_t comma = line.find(',');
        if (comma == std::string::npos)
            continue;
        const std::string portText = line.substr(comma + 1);
        records.push_back({line.substr(0, comma), LeadingNumber(portText)});
    }
    return records;
}

bool PortList::Write(const std::filesystem::path& file, const std::vector<PortRecord>& records,
                     std::string* error) {
    std::error_code ec;
    std::filesystem::create_directories(file.parent_path(), ec);
    std::string text = "\r\n";
    for (const PortRecord& record : records)
        text += LineOf(record);
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out << text;
    out.close();
    if (!out) {
        if (error)
            *error = "Cannot write " + file.string();
        return false;
    }
    return true;
}

PortList::Change PortList::RecordScannedLocator(const std::filesystem::path& file,
                                                const std::string& serial, int port) {
    std::vector<PortRecord> records = Read(file);
    // With duplicate serial numbers the last record is the one updated; the file is
    // rewritten when any of them holds another port.
    PortRecord* last = nullptr;
    bool moved = false;
    for (PortRecord& record : records) {
        if (record.serial != serial)
            continue;
        last = &record;
        moved = moved || record.port != port;
    }
    const bool known = last != nullptr;
    if (moved) {
        last->port = port;
        return Write(file, records) ? Change::Rewritten : Change::None;
    }
    if (known)
        return Change::None;
    if (records.size() >= kMaxRecords)
        return Change::None;

    // A missing file starts with its empty header line, or the first record would be
    // taken for the header.
    std::error_code ec;
    const bool fresh = !std::filesystem::exists(file, ec);
    std::filesystem::create_directories(file.parent_path(), ec);
    std::ofstream out(file, std::ios::binary | std::ios::app);
    if (fresh)
        out << "\r\n";
    out << LineOf({serial, port});
    return out ? Change::Appended : Change::None;
}

std::optional<int> ParsePortNumber(std::string_view text) {
    const std::string trimmed = Trim(text);
    if (trimmed.empty() || trimmed.size() > 2)
        return std::nullopt;
    for (char c : trimmed)
        if (c < '0' || c > '9')
            return std::nullopt;
    const int port = std::stoi(trimmed);
    if (port < 1 || port > 16)
        return std::nullopt;
    return port;
}

} // namespace tarvik
