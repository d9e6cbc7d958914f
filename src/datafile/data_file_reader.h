#pragma once

#include "common/locator_identity.h"
#include "datafile/data_record.h"

#include <filesystem>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace tarvik {

// The character the locator ends every transfer with (SUB).
inline constexpr char kEndMark = '\x1a';

enum class DataFileStatus {
    Ok,              // identity line found (records may still be none)
    Unreadable,      // missing or cannot be opened
    NoIdentityLine,  // every line starts with "//"
    DamagedIdentity, // identity line with fewer than three fields
};

struct DataFileSummary {
    DataFileStatus status = DataFileStatus::Unreadable;
    std::string identityLine;                // as stored
    std::vector<std::string> identityFields; // the identity line split at ","
    LocatorIdentity identity;                // fields 0, 1, 2 when there are three
    std::size_t recordCount = 0;
};

// Called for every record line, in file order; return false to stop reading.
using RecordLineVisitor = std::function<bool(std::string_view line)>;

// The one reader of data files (callers check the status: records of a file with a damaged
// identity line are still visited, so that the damage can be told apart from "no data"): lines end
// at CR LF or a lone CR (a lone LF too), lines starting with "//" before the identity line are
// skipped, the first other line is the identity line, and every later line up to the first end mark
// (or the end of the file) is a record line. A line holding only the end mark is not a record; text
// after it is ignored.
DataFileSummary ReadDataFile(const std::filesystem::path& file, const RecordLineVisitor& visit);

// The bytes of a data file up to and including its first end mark; false when unreadable.
bool LoadDataFileBytes(const std::filesystem::path& file, std::string& bytes);

// The same as ReadDataFile over bytes already in memory.
DataFileSummary ReadDataBytes(std::string_view bytes, const RecordLineVisitor& visit);

// Every decoded record of a file (for windows that list or total them).
std::vector<DataRecord> ReadAllRecords(const std::filesystem::path& file,
                                       DataFileSummary* summary = nullptr);

} // namespace tarvik
