#pragma once

#include <cstdio>
#include <filesystem>
#include <string>
#include <string_view>

namespace tarvik {

// File number 1: the one handle through which received text is written (downloads, the
// self-test lookup). It holds an exclusive lock on its file so that FileLocked sees it, and
// every Append reaches the disk before it returns, so nothing received is lost on a crash.
class SharedFileHandle {
public:
    SharedFileHandle() = default;
    ~SharedFileHandle();
    SharedFileHandle(const SharedFileHandle&) = delete;
    SharedFileHandle& operator=(const SharedFileHandle&) = delete;

    // Creates or empties the file; an open file is closed first. False when it cannot be
    // created; `error` then says why.
    bool OpenForWriting(const std::filesystem::path& file, std::string* error = nullptr);
    // Opens the file last opened here again, keeping what it holds: a transfer goes on
    // writing where it was after a reader closed the handle.
    bool ReopenForAppending();
    bool Append(std::string_view bytes);
    void Close();

    bool IsOpen() const { return file_ != nullptr; }
    const std::filesystem::path& path() const { return path_; }

private:
    bool Open(const std::filesystem::path& file, const char* mode, std::string* error);

    std::FILE* file_ = nullptr;
    std::filesystem::path path_;
    std::filesystem::path lastPath_;
};

} // namespace tarvik
