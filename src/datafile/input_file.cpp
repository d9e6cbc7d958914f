#include "datafile/input_file.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>

#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif

namespace tarvik {

InputFile::~InputFile() {
    if (fd_ >= 0)
        ::close(fd_);
}

InputFile::Opened InputFile::Open(const std::filesystem::path& file) {
#ifdef _WIN32
    std::error_code ec;
    if (std::filesystem::exists(file, ec) && !std::filesystem::is_regular_file(file, ec))
        return Opened::NotAFile;
    fd_ = ::_wopen(file.c_str(), _O_RDONLY | _O_BINARY);
    return fd_ < 0 ? Opened::Unreadable : Opened::Ok;
#else
    // Non-blocking, so that opening a pipe without a writer does not wait; the mode is checked
    // on the opened descriptor, so the file cannot be swapped in between.
    fd_ = ::open(file.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (fd_ < 0) {
        struct stat info {};
        // A folder or device that may not be opened is still not a data file.
        if (::stat(file.c_str(), &info) == 0 && !S_ISREG(info.st_mode))
            return Opened::NotAFile;
        return Opened::Unreadable;
    }
    struct stat info {};
    if (::fstat(fd_, &info) != 0)
        return Opened::Unreadable;
    if (!S_ISREG(info.st_mode))
        return Opened::NotAFile;
    ::fcntl(fd_, F_SETFL, ::fcntl(fd_, F_GETFL) & ~O_NONBLOCK);
#ifdef POSIX_FADV_SEQUENTIAL
    ::posix_fadvise(fd_, 0, 0, POSIX_FADV_SEQUENTIAL);
#endif
    return Opened::Ok;
#endif
}

long InputFile::Read(char* buffer, std::size_t size) {
    if (fd_ < 0)
        return -1;
    while (true) {
        const auto got = ::read(fd_, buffer, size);
        if (got < 0 && errno == EINTR)
            continue;
        return static_cast<long>(got);
    }
}

} // namespace tarvik
