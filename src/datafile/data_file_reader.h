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

// A longer identity line is damaged: no locator writes one, and a reader keeps no more of it.
inline constexpr std::size_t kMaxIdentityLineLength = 64 * 1024;

enum class DataFileStatus {
    Ok,              // identity line found (records may still be none)
    Unreadable,      // missing, may not be read, or a read failed
    NotAFile,        // a folder, a device or a pipe
    NoIdentityLine,  // every line starts with "//"
    NoRecord,        // no record line after the identity line (CheckDataFile only)
    DamagedIdentity, // identity line with fewer than three fields, or too long
};

struct DataFileSummary {
    DataFileStatus status = DataFileStatus::Unreadable;
    std::string identityLine;                // as stored
    std::vector<std::string> identityFields; // the identity line split at ","
    LocatorIdentity identity;                // fields 0, 1, 2 when there are three
    std::size_t recordCount = 0;
    // The identity line was longer than kMaxIdentityLineLength; reading stopped there, so
    // nothing is known about records after it.
    bool identityTooLong = false;
};

// What opening a file tells about a file without records and about a damaged identity line.
inline constexpr const char* kNoDataMessage = "This file contains no data, please choose another";
std::string DamagedIdentityMessage();

// What a command or a window tells the user about a file that is not Ok: "the file cannot be
// read", kNoDataMessage, DamagedIdentityMessage() and so on, the same words everywhere.
std::string DataFileProblemText(DataFileStatus status);

// Called for every record line (its first 32 characters), in file order; return false to stop.
using RecordLineVisitor = std::function<bool(std::string_view line)>;

// The one reader of data files (callers check the status: records of a file with a damaged
// identity line are still visited, so that the damage can be told apart from "no data"): lines end
// at CR LF or a lone CR (a lone LF too), lines starting with "//" before the identity line are
// skipped, the first other line is the identity line, and every later line up to the first end mark
// (or the end of the file) is a record line. A line holding only the end mark is not a record; text
// after it is ignored. Only regular files are read, in one pass of large blocks; the memory used
// does not grow with the file or with the length of its lines.
DataFileSummary ReadDataFile(const std::filesystem::path& file, const RecordLineVisitor& visit);

// The most LoadDataFileBytes keeps. It reads the locator's self-test reply, the records of
// one day: at most 86,400 lines, under 3 MB.
inline constexpr std::size_t kMaxLoadedBytes = 16 << 20;

// The bytes of a regular file up to and including its first end mark; false (and nothing kept)
// when it cannot be read or holds more than `maxBytes` before its end mark.
bool LoadDataFileBytes(const std::filesystem::path& file, std::string& bytes,
                       std::size_t maxBytes = kMaxLoadedBytes);

// The same as ReadDataFile over bytes already in memory.
DataFileSummary ReadDataBytes(std::string_view bytes, const RecordLineVisitor& visit);
// The same again with the bytes handed on in blocks of `blockSize`, as a file is read: lines
// and line ends that straddle blocks come out as from one piece.
DataFileSummary ReadDataBlocks(std::string_view bytes, std::size_t blockSize,
                               const RecordLineVisitor& visit);

} // namespace tarvik
