#include "cli/terminal_prompts.h"

#include <iostream>
#include <istream>
#include <ostream>
#include <string>
#include <termios.h>
#include <unistd.h>

namespace tarvik::cli {

namespace {
// Message texts use CR LF between paragraphs; a terminal wants plain line ends.
std::string ForTerminal(std::string text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
            continue;
        out.push_back(text[i]);
    }
    return out;
}
// Turns the terminal's echo off for as long as it lives, when `in` reads from a terminal.
class EchoOff {
public:
    explicit EchoOff(const std::istream& in) {
        if (&in != &std::cin || !::isatty(STDIN_FILENO) || ::tcgetattr(STDIN_FILENO, &saved_) != 0)
            return;
        termios quiet = saved_;
        quiet.c_lflag &= ~static_cast<tcflag_t>(ECHO);
        active_ = ::tcsetattr(STDIN_FILENO, TCSAFLUSH, &quiet) == 0;
    }
    ~EchoOff() {
        if (active_)
            ::tcsetattr(STDIN_FILENO, TCSAFLUSH, &saved_);
    }
    EchoOff(const EchoOff&) = delete;
    EchoOff& operator=(const EchoOff&) = delete;

private:
    termios saved_{};
    bool active_ = false;
};
} // namespace

void TerminalPrompts::Inform(const std::string& text, const std::string& title, PromptIcon) {
    if (!title.empty())
        err_ << title << ": ";
    err_ << ForTerminal(text) << "\n";
}

bool TerminalPrompts::AskYesNo(const std::string& text, const std::string&) {
    err_ << ForTerminal(text);
    if (assumeYes_) {
        err_ << " [yes]\n";
        return true;
    }
    if (!interactive_) {
        err_ << " [no: give --yes to answer yes]\n";
        return false;
    }
    err_ << " [y/N] " << std::flush;
    std::string answer;
    std::getline(in_, answer);
    return !answer.empty() && (answer[0] == 'y' || answer[0] == 'Y');
}

std::optional<std::string> TerminalPrompts::AskText(const std::string& prompt, const std::string&,
                                                    const std::string& initial) {
    if (!interactive_)
        return std::nullopt;
    err_ << ForTerminal(prompt);
    if (!initial.empty())
        err_ << " [" << initial << "]";
    err_ << " " << std::flush;
    std::string answer;
    if (!std::getline(in_, answer))
        return std::nullopt;
    return answer.empty() ? initial : answer;
}

std::optional<std::string> TerminalPrompts::AskHiddenText(const std::string& prompt,
                                                          const std::string&) {
    if (!interactive_)
        return std::nullopt;
    err_ << ForTerminal(prompt) << " " << std::flush;
    std::string answer;
    bool read = false;
    {
        const EchoOff quiet(in_);
        read = static_cast<bool>(std::getline(in_, answer));
    }
    err_ << "\n"; // the Enter that ended the answer was not echoed either
    if (!read)
        return std::nullopt;
    return answer;
}

} // namespace tarvik::cli
