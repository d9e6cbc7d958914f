#include "link/port_list.h"

#include "common/text.h"

#include <algorithm>
#include <fstream>
#include <sstream>
#include <system_error>

namespace tarvik {

namespace {

std::string LineOf(const PortRecord& record) {
    return record.serial + "," + std::to_string(record.port);
}

// The file as its lines, and which of them Read loads as records.
struct PortListLines {
    bool hasHeader = false;          // a missing or empty file has none
    bool endsWithLineEnd = true;     // false when the last line lacks its CR LF
    std::vector<std::string> lines;  // after the header, without their line ends
    std::vector<std::size_t> loaded; // the line of each loaded record
    std::vector<PortRecord> records;
};

PortListLines Load(const std::filesystem::path& file) {
    PortListLines list;
    std::ifstream in(file, std::ios::binary);
    std::ostringstream content;
    content << in.rdbuf();
    const std::string text = content.str();
    if (text.empty())
        return list;
    list.hasHeader = true;
    list.endsWithLineEnd = text.back() == '\n';
    std::size_t at = text.find('\n'); // the header line, whatever it holds
    while (at != std::string::npos && at + 1 < text.size()) {
        const std::size_t end = text.find('\n', at + 1);
        std::string line =
            text.substr(at + 1, (end == std::string::npos ? text.size() : end) - at - 1);
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        const std::size_t comma = line.find(',');
        if (comma != std::string::npos && list.records.size() < PortList::kMaxRecords) {
            list.loaded.push_back(list.lines.size());
            list.records.push_back({line.substr(0, comma), LeadingNumber(line.substr(comma + 1))});
        }
        list.lines.push_back(std::move(line));
        at = end;
    }
    return list;
}

// Writes an empty header line and `lines`, each ended by CR LF.
bool WriteLines(const std::filesystem::path& file, const std::vector<std::string>& lines,
                std::string* error) {
    std::error_code ec;
    std::filesystem::create_directories(file.parent_path(), ec);
    std::string text = "\r\n";
    for (const std::string& line : lines)
        text += line + "\r\n";
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

} // namespace

std::vector<PortRecord> PortList::Read(const std::filesystem::path& file) {
    return Load(file).records;
}

bool PortList::Rewrite(const std::filesystem::path& file, const std::vector<std::size_t>& kept,
                       const std::vector<PortRecord>& added, std::string* error) {
    const PortListLines list = Load(file);
    std::vector<bool> dropped(list.lines.size(), false);
    for (std::size_t record = 0; record < list.loaded.size(); ++record)
        dropped[list.loaded[record]] = std::find(kept.begin(), kept.end(), record) == kept.end();
    std::vector<std::string> lines;
    for (std::size_t i = 0; i < list.lines.size(); ++i)
        if (!dropped[i])
            lines.push_back(list.lines[i]);
    for (const PortRecord& record : added)
        lines.push_back(LineOf(record));
    return WriteLines(file, lines, error);
}

PortList::Change PortList::RecordScannedLocator(const std::filesystem::path& file,
                                                const std::string& serial, int port) {
    PortListLines list = Load(file);
    // With duplicate serial numbers the last record is the one updated; the file is
    // rewritten when any of them holds another port.
    std::optional<std::size_t> last;
    bool moved = false;
    for (std::size_t record = 0; record < list.records.size(); ++record) {
        if (list.records[record].serial != serial)
            continue;
        last = record;
        moved = moved || list.records[record].port != port;
    }
    if (moved) {
        list.lines[list.loaded[*last]] = LineOf({serial, port});
        return WriteLines(file, list.lines, nullptr) ? Change::Rewritten : Change::None;
    }
    if (last || list.records.size() >= kMaxRecords)
        return Change::None;

    // A missing or empty file starts with its empty header line, or the first record would
    // be taken for the header; a last line without its CR LF is ended first, or the new
    // record would be glued onto it.
    std::error_code ec;
    std::filesystem::create_directories(file.parent_path(), ec);
    std::ofstream out(file, std::ios::binary | std::ios::app);
    if (!list.hasHeader || !list.endsWithLineEnd)
        out << "\r\n";
    out << LineOf({serial, port}) << "\r\n";
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
