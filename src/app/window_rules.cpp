#include "app/window_rules.h"

namespace tarvik {

KeySum::Action KeySum::Press(int keyCode) {
    if (keyCode == 16 || keyCode == 17 || keyCode == 65 || keyCode == 81)
        sum_ += keyCode;
    if (sum_ == 114)
        return Action::OpenServiceWindow; // Shift + Ctrl + Q; the sum stays
    if (sum_ == 82) {
        sum_ = 0; // Ctrl + A
        return Action::OpenAbout;
    }
    return Action::None;
}

std::string RemainingCharsText(std::size_t userTextLength) {
    const long remaining = 32 - static_cast<long>(userTextLength);
    return "-" + std::string(remaining >= 0 ? " " : "") + std::to_string(remaining) + " -";
}

std::string UnquotePath(std::string text) {
    if (text.size() >= 2 && text.front() == '"' && text.back() == '"')
        return text.substr(1, text.size() - 2);
    if (!text.empty() && text.front() == '"')
        return text.substr(1);
    return text;
}

} // namespace tarvik
