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
// "serial,port" line per locator, CR LF line ends. Only the first hundred records are loaded
// and shown; a rewrite keeps every line it has no reason to change, exactly as it stands.
class PortList {
public:
    static constexpr std::size_t kMaxRecords = 100;

    // The records of the file; a missing file is an empty list. Lines without a "," and
    // records past the hundredth are skipped.
    static std::vector<PortRecord> Read(const std::filesystem::path& file);

    // Rewrites the file after an edit of what Read gave: the loaded records whose indexes
    // are in `kept` stay as their lines stood, the other loaded records are dropped, every
    // line that was not loaded stays where it was, and `added` go at the end. Line 1 is
    // written empty. Creates the folder.
    static bool Rewrite(const std::filesystem::path& file, const std::vector<std::size_t>& kept,
                        const std::vector<PortRecord>& added, std::string* error = nullptr);

    enum class Change { None, Appended, Rewritten };
    // A scan found serial `serial` on `port`: append it when new, rewrite the line of its
    // last record when a record of that serial holds another port, else leave it.
    static Change RecordScannedLocator(const std::filesystem::path& file, const std::string& serial,
                                       int port);
};

// A port number typed by a user: a whole number from 1 to 16, or nothing.
std::optional<int> ParsePortNumber(std::string_view text);

} // namespace tarvik
