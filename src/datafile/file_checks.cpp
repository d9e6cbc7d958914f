#include "datafile/file_checks.h"

#include "datafile/data_file_reader.h"

#ifdef _WIN32
#include <cstdio>
#else
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>
#endif

namespace tarvik {

bool FileLocked(const std::filesystem::path& file) {
#ifdef _WIN32
    std::FILE* f = _wfsopen(file.c_str(), L"r+b", 0x10 /* _SH_DENYRW */);
    if (!f)
        return true;
    std::fclose(f);
    return false;
#else
    // An flock is held per open file, so this also sees the program's own file #1.
    int fd = ::open(file.c_str(), O_RDWR | O_CLOEXEC);
    if (fd < 0)
        return true;
    const bool locked = ::flock(fd, LOCK_EX | LOCK_NB) != 0;
    ::close(fd);
    return locked;
#endif
}

DataFileStatus CheckDataFile(const std::filesystem::path& file, LocatorIdentity& identity) {
    bool hasRecord = false;
    const DataFileSummary summary = ReadDataFile(file, [&](std::string_view) {
        hasRecord = true;
        return false;
    });
    switch (summary.status) {
    case DataFileStatus::Ok:
        if (!hasRecord)
            return DataFileStatus::NoRecord;
        identity.user = summary.identity.user;
        identity.model = summary.identity.model;
        identity.serial = summary.identity.serial;
        return DataFileStatus::Ok;
    case DataFileStatus::DamagedIdentity:
        // A damaged line with no record after it is a file without data. After an identity
        // line too long to be one nothing is read, so the damage is what is told.
        return hasRecord || summary.identityTooLong ? DataFileStatus::DamagedIdentity
                                                    : DataFileStatus::NoRecord;
    default:
        return summary.status;
    }
}

bool FileHasData(const std::filesystem::path& file) {
    LocatorIdentity ignored;
    const DataFileStatus status = CheckDataFile(file, ignored);
    // A damaged identity line still counts here; opening then reports the damage itself.
    return status == DataFileStatus::Ok || status == DataFileStatus::DamagedIdentity;
}

IdentityReadResult ReadFileIdentity(const std::filesystem::path& file, LocatorIdentity& identity) {
    DataFileSummary summary = ReadDataFile(file, [](std::string_view) { return false; });
    if (summary.status != DataFileStatus::Ok)
        return IdentityReadResult::Damaged;
    identity.user = summary.identity.user;
    identity.model = summary.identity.model;
    identity.serial = summary.identity.serial;
    return IdentityReadResult::Ok;
}

} // namespace tarvik
