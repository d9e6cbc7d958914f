#pragma once

#include "common/locator_identity.h"
#include "datafile/data_file_reader.h"

#include <filesystem>
#include <string>

namespace tarvik {

class SharedFileHandle;

// True when the file cannot be opened for exclusive reading and writing right now, for
// example because the program's own transfer handle still holds it.
bool FileLocked(const std::filesystem::path& file);

// True when the file has an identity line and at least one record line after it.
bool FileHasData(const std::filesystem::path& file);

// The checks of opening a file in one reading and in their order: Ok with the identity, or why
// it cannot be opened (cannot be read, not a file, no data (NoIdentityLine or NoRecord), a
// damaged identity line). `identity` is set only when Ok.
DataFileStatus CheckDataFile(const std::filesystem::path& file, LocatorIdentity& identity);

enum class IdentityReadResult { Ok, Damaged };

// Reads the identity line: fields 0, 1, 2 are user text, model code and serial number.
// A missing line or one with fewer than three fields is damaged; `identity` is then unchanged.
IdentityReadResult ReadFileIdentity(const std::filesystem::path& file, LocatorIdentity& identity);

} // namespace tarvik
