#include "common/resource_folder.h"

#include <system_error>

namespace tarvik {

namespace fs = std::filesystem;

fs::path ResourceFolder(const fs::path& programFolder) {
    std::error_code ec;
    if (fs::is_directory(programFolder / "Fonts", ec))
        return programFolder;
    const fs::path installed = (programFolder / ".." / "share" / "tarvik").lexically_normal();
    if (fs::is_directory(installed / "Fonts", ec))
        return installed;
    return programFolder;
}

fs::path HelperProgram(const fs::path& programFolder, std::string_view name) {
    std::error_code ec;
    const fs::path beside = programFolder / name;
    if (fs::exists(beside, ec))
        return beside;
    const fs::path installed =
        (programFolder / ".." / "libexec" / "tarvik" / name).lexically_normal();
    return fs::exists(installed, ec) ? installed : beside;
}

} // namespace tarvik
