#include "cli/terminal_prompts.h"

#include <istream>
#include <ostream>
#include <string>

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

} // namespace tarvik::cli
