#pragma once

#include "common/clock.h"
#include "common/current_data_file.h"
#include "common/folders.h"

#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>

namespace tarvik {

// Where the troubleshoot log of a service session opened at `now` lives: the documents
// folder's "tarvik" folder, "Troubleshoot [] [stamp].lgd".
CurrentDataFile TroubleshootLogLocation(const Folders& folders, const DateTime& now);

// The service window's log of everything the locator sent, one chunk a line (CR LF), bytes
// unchanged. Every line is flushed as it is written, so the file is complete whenever it
// is read and nothing is lost when the program ends.
class TroubleshootLog {
public:
    // Creates (or empties) the file, and its folder when missing. False with a reason when
    // the file cannot be written.
    bool Create(const std::filesystem::path& file, std::string* error = nullptr);
    void WriteLine(std::string_view text);
    void Close();
    bool IsOpen() const { return out_.is_open(); }
    const std::filesystem::path& path() const { return path_; }

private:
    std::ofstream out_;
    std::filesystem::path path_;
};

} // namespace tarvik
