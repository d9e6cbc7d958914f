#pragma once

#include <filesystem>
#include <string_view>

namespace tarvik {

// The folder that holds what the programs read beside themselves (the Fonts folder, logo.jpg,
// s.jpg): the program's own folder in a build tree, ../share/tarvik once installed. When
// neither holds a Fonts folder, the program's folder, so that messages name where it looked.
std::filesystem::path ResourceFolder(const std::filesystem::path& programFolder);

// A program the toolkit runs for itself: beside the caller in a build tree, in
// ../libexec/tarvik once installed.
std::filesystem::path HelperProgram(const std::filesystem::path& programFolder,
                                    std::string_view name);

} // namespace tarvik
