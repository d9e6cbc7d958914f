#pragma once

#include <string>

namespace tarvik {

// What the user reads when the desktop has no program for a folder, a file or a web page:
// `what` names the kind ("folder", "web page"), `path` says which one.
inline std::string CouldNotOpenText(const std::string& what, const std::string& path) {
    return "The " + what + " \"" + path +
           "\" could not be opened: this desktop has no program to show it.";
}

} // namespace tarvik
