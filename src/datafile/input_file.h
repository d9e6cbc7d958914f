#pragma once

#include <cstddef>
#include <filesystem>

namespace tarvik {

// A file opened for reading only when it is a regular file: a pipe, a device or a folder is
// refused at once, before anything could wait on it or read without end.
class InputFile {
public:
    enum class Opened { Ok, Unreadable, NotAFile };

    InputFile() = default;
    ~InputFile();
    InputFile(const InputFile&) = delete;
    InputFile& operator=(const InputFile&) = delete;

    Opened Open(const std::filesystem::path& file);

    // Up to `size` bytes; 0 at the end of the file, -1 on a read error.
    long Read(char* buffer, std::size_t size);

private:
    int fd_ = -1;
};

} // namespace tarvik
