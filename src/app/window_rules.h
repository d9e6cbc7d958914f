#pragma once

#include "common/colours.h"

#include <cstdint>
#include <string>

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

} // namespace tarvik
