#include "service/troubleshoot_log.h"

#include "datafile/file_label.h"

#include <system_error>

namespace tarvik {

CurrentDataFile TroubleshootLogLocation(const Folders& folders, const DateTime& now) {
    return {folders.documents / "tarvik", BuildFileLabel(FileLabelKind::TShoot, {}, now) + ".lgd"};
}

bool TroubleshootLog::Create(const std::filesystem::path& file, std::string* error) {
    Close();
    std::error_code ec;
    std::filesystem::create_directories(file.parent_path(), ec);
    out_.open(file, std::ios::binary | std::ios::trunc);
    if (!out_.is_open()) {
        if (error)
            *error = ec ? ec.message() : "the file cannot be written";
        return false;
    }
    path_ = file;
    return true;
}

void TroubleshootLog::WriteLine(std::string_view text) {
    if (!out_.is_open())
        return;
    out_.write(text.data(), static_cast<std::streamsize>(text.size()));
    out_.write("\r\n", 2);
    out_.flush();
}

void TroubleshootLog::Close() {
    if (out_.is_open())
        out_.close();
}

} // namespace tarvik
