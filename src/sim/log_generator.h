#pragma once

#include "common/clock.h"
#include "common/locator_identity.h"

#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace tarvik::sim {

// How a simulated usage log is made. The same seed always gives the same log.
struct LogOptions {
    std::uint32_t seed = 1;
    // The log covers this many days, ending on lastDay (only the days of use have records).
    int days = 30;
    DateTime lastDay{2026, 12, 5};
    // When set, exactly this many records: days of use go on past lastDay until it is reached.
    std::optional<std::size_t> recordCount;
};

// Called with every record line (32 characters, no line end), oldest first; return false to stop.
using GeneratedRecordVisitor = std::function<bool(std::string_view record)>;

// Makes the records of a log: one per second of use, in sessions on most days, all four modes,
// a self-test record ("P", now and then "F") at the start of each session and ordinary records
// ("G", "B" while overloaded) after it.
void GenerateLog(const LogOptions& options, const GeneratedRecordVisitor& visit);

// The whole log as the locator sends it: each record followed by CR LF.
std::string GenerateLogText(const LogOptions& options);

// Writes a data file exactly as a download of the whole log would: header block, identity line,
// the records and the end mark. Creates the folder when missing. False with a reason on failure.
bool WriteLogFile(const std::filesystem::path& file, const LocatorIdentity& identity,
                  const LogOptions& options, std::string& error);

} // namespace tarvik::sim
