#pragma once

#include "common/colours.h"

#include <cstdint>
#include <string>
#include <vector>

namespace tarvik {

// The secret key combinations of the main window: Shift, Ctrl, A and Q add their key codes
// (16, 17, 65, 81) to a running sum; other keys add nothing.
class KeySum {
public:
    enum class Action { None, OpenServiceWindow, OpenAbout };

    Action Press(int keyCode);
    int value() const { return sum_; }

private:
    int sum_ = 0;
};

// "-", the characters still free in the 32-character user text (" 32", " 0", "-8"), " -".
std::string RemainingCharsText(std::size_t userTextLength);

// A path from the command line, with surrounding double quotes removed when present.
std::string UnquotePath(std::string text);

// The live monitor's one line for a received chunk: CR and LF each become a space, the end mark
// and every other control character are left out.
std::string MonitorLine(const std::string& chunk);

// What the toolkit's own command line asks for: a window (with a data file or none), the usage,
// the version, or a usage error.
struct ToolkitArguments {
    enum class Action { Run, Help, Version, UsageError } action = Action::Run;
    std::string dataFile;  // Run: the file to open, empty for none
    std::string documents; // --documents DIR, empty when not given
    std::string appData;   // --appdata DIR, empty when not given
    std::string error;     // UsageError: what was wrong
};

// The arguments after the program name, with the windowing system's own options already taken
// out. "--" ends the options, so a file whose name starts with "-" can still be opened.
ToolkitArguments ParseToolkitArguments(const std::vector<std::string>& arguments);

// The text of --help.
std::string ToolkitUsage();

} // namespace tarvik
