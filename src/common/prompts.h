#pragma once

#include <optional>
#include <string>

namespace tarvik {

enum class PromptIcon { None, Information, Warning, Critical, Question };

// Every question or message the toolkit puts to its user goes through this seam: the windows
// answer with dialogs, the command line with flags or the terminal, tests with a script.
class Prompts {
public:
    virtual ~Prompts() = default;

    // An OK message box. An empty title means the application's standard title.
    virtual void Inform(const std::string& text, const std::string& title = {},
                        PromptIcon icon = PromptIcon::None) = 0;

    // A Yes / No question; true for Yes.
    virtual bool AskYesNo(const std::string& text, const std::string& title = {}) = 0;

    // An input box; nothing when cancelled.
    virtual std::optional<std::string> AskText(const std::string& prompt,
                                               const std::string& title = {},
                                               const std::string& initial = {}) = 0;

    // An input box whose answer is not shown as it is typed (a password); nothing when
    // cancelled.
    virtual std::optional<std::string> AskHiddenText(const std::string& prompt,
                                                     const std::string& title = {}) = 0;
};

} // namespace tarvik
