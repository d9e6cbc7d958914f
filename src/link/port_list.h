#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tarvik {

// One remembered locator: its serial number and the COM port it was plugged into.
struct PortRecord {
    std::string serial;
    int port = 0;

    bool operator==(const PortRecord&) const = default;
};

// The port list file: a header line (skipped by readers, written empty), then one
// "serial,port" line per locator, CR LF line ends.
class PortList {
public:
    static constexpr std::size_t kMaxRecords = 100;

    // The records of the file; a missing file is an empty list. Lines without a "," and
    // records past the hundredth are skipped.
    static std::vector<PortRecord> Read(const std::filesystem::path& file);
    // Rewrites the file: an empty first line, then every record. Creates the folder.
    static bool Write(const std::filesystem::path& file, const std::vector<PortRecord>& records,
                      std::string* error = nullptr);

    enum class Change { None, Appended, Rewritten };
    // A scan found serial `serial` on `port`: append it when new, rewrite the file when its
    // port changed (every record with that serial gets the new port), else leave it.
    static Change RecordScannedLocator(const std::filesystem::path& file, const std::string& serial,
                                       int port);
};

// A port number typed by a user: a whole number from 1 to 16, or nothing.
std::optional<int> ParsePortNumber(std::string_view text);

} // namespace tarvik
