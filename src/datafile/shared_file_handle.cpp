#include "datafile/shared_file_handle.h"

#include <cerrno>
#include <cstring>

#ifndef _WIN32
#include <sys/file.h>
#include <unistd.h>
#endif

namespace tarvik {

SharedFileHandle::~SharedFileHandle() {
    Close();
}

bool SharedFileHandle::OpenForWriting(const std::filesystem::path& file, std::string* error) {
    return Open(file, "wb", error);
}

bool SharedFileHandle::ReopenForAppending() {
    if (file_)
        return true;
    return !lastPath_.empty() && Open(lastPath_, "ab", nullptr);
}

bool SharedFileHandle::Open(const std::filesystem::path& file, const char* mode,
                            std::string* error) {
    Close();
    std::FILE* f = std::fopen(file.c_str(), mode);
    if (!f) {
        if (error)
            *error = std::strerror(errno);
        return false;
    }
#ifndef _WIN32
    // Readers test for this lock (FileLocked) before they read the file.
    ::flock(::fileno(f), LOCK_EX | LOCK_NB);
#endif
    file_ = f;
    path_ = file;
    lastPath_ = file;
    return true;
}

bool SharedFileHandle::Append(std::string_view bytes) {
    if (!file_)
        return false;
    if (std::fwrite(bytes.data(), 1, bytes.size(), file_) != bytes.size())
        return false;
    // Received data reaches the file at once: a crash or an unplugged cable loses nothing.
    return std::fflush(file_) == 0;
}

void SharedFileHandle::Close() {
    if (!file_)
        return;
    std::fclose(file_);
    file_ = nullptr;
    path_.clear();
}

} // namespace tarvik
