#include "datafile/complete_output_file.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tarvik {

CompleteOutputFile::~CompleteOutputFile() {
    Discard();
}

void CompleteOutputFile::Discard() {
    if (fd_ >= 0)
        ::close(fd_);
    fd_ = -1;
    if (!named_.empty()) {
        std::error_code ignored;
        std::filesystem::remove(named_, ignored);
        named_.clear();
    }
}

bool CompleteOutputFile::Open(const std::filesystem::path& target, std::string& error) {
    Discard();
    target_ = target;
    failed_ = false;
    const std::filesystem::path folder =
        target.parent_path().empty() ? std::filesystem::path(".") : target.parent_path();
#ifdef O_TMPFILE
    fd_ = ::open(folder.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666);
    if (fd_ >= 0)
        return true;
#endif
    // No unnamed files here: a named partial file, removed again whatever goes wrong.
    named_ = target.string() + ".partial";
    fd_ = ::open(named_.c_str(), O_CREAT | O_TRUNC | O_WRONLY | O_CLOEXEC, 0666);
    if (fd_ < 0) {
        error = std::strerror(errno);
        named_.clear();
        return false;
    }
    return true;
}

bool CompleteOutputFile::Write(std::string_view bytes) {
    while (!failed_ && !bytes.empty()) {
        const ssize_t done = ::write(fd_, bytes.data(), bytes.size());
        if (done < 0 && errno == EINTR)
            continue;
        if (done <= 0) {
            failed_ = true;
            writeError_ = done < 0 ? std::strerror(errno) : "the disk refused the data";
            break;
        }
        bytes.remove_prefix(static_cast<std::size_t>(done));
    }
    return !failed_;
}

bool CompleteOutputFile::Commit(std::string& error) {
    if (fd_ < 0 || failed_) {
        error = failed_ ? writeError_ : "the file is not open";
        Discard();
        return false;
    }
    if (named_.empty()) {
        // The unnamed file gets a name beside the target for an instant, then takes its place:
        // a rename replaces an older file in one step, which a link cannot.
        const std::string self = "/proc/self/fd/" + std::to_string(fd_);
        for (int attempt = 0; attempt < 100 && named_.empty(); ++attempt) {
            const std::filesystem::path name =
                target_.string() + ".partial" + (attempt ? std::to_string(attempt) : "");
            if (::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, name.c_str(), AT_SYMLINK_FOLLOW) == 0)
                named_ = name;
            else if (errno != EEXIST)
                break;
        }
        if (named_.empty()) {
            error = std::strerror(errno);
            Discard();
            return false;
        }
    }
    const bool closed = ::close(fd_) == 0;
    fd_ = -1;
    if (!closed) {
        error = std::strerror(errno);
        Discard();
        return false;
    }
    std::error_code ec;
    std::filesystem::rename(named_, target_, ec);
    if (ec) {
        error = ec.message();
        Discard();
        return false;
    }
    named_.clear();
    return true;
}

} // namespace tarvik
