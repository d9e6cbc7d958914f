#pragma once

#include <filesystem>
#include <set>
#include <string>

namespace tarvik::test {

// A fresh folder under the system's temporary folder, removed with everything in it.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& path() const { return path_; }
    std::filesystem::path operator/(const std::string& name) const { return path_ / name; }

private:
    std::filesystem::path path_;
};

std::string ReadBytes(const std::filesystem::path& file);
void WriteBytes(const std::filesystem::path& file, const std::string& bytes);
// The names of what a folder holds, to see that nothing was left behind or lost.
std::set<std::string> FolderEntries(const std::filesystem::path& folder);

} // namespace tarvik::test
