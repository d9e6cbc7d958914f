#pragma once

#include "common/prompts.h"

#include <iosfwd>

namespace tarvik::cli {

// Prompts on a terminal: messages go to stderr; questions take --yes, or are asked on the
// terminal, or are answered No when nobody can answer (no terminal on stdin).
class TerminalPrompts final : public Prompts {
public:
    TerminalPrompts(std::istream& in, std::ostream& err, bool assumeYes, bool interactive)
        : in_(in), err_(err), assumeYes_(assumeYes), interactive_(interactive) {}

    void Inform(const std::string& text, const std::string& title, PromptIcon icon) override;
    bool AskYesNo(const std::string& text, const std::string& title) override;
    std::optional<std::string> AskText(const std::string& prompt, const std::string& title,
                                       const std::string& initial) override;
    // Typing is not echoed while the answer is read from a terminal.
    std::optional<std::string> AskHiddenText(const std::string& prompt,
                                             const std::string& title) override;

private:
    std::istream& in_;
    std::ostream& err_;
    bool assumeYes_;
    bool interactive_;
};

} // namespace tarvik::cli
