#pragma once

#include <filesystem>
#include <string>

namespace tarvik {

// The one current data file: its folder and its name (with extension, no folder).
// The folder is the data folder after a download, or wherever the user opened a file from.
struct CurrentDataFile {
    std::filesystem::path folder;
    std::string name; // CurrentDataFileName

    bool IsSet() const { return !name.empty(); }
    std::filesystem::path Path() const;
};

} // namespace tarvik
