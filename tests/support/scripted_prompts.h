#pragma once

#include "common/prompts.h"

#include <deque>
#include <optional>
#include <string>
#include <vector>

namespace tarvik::test {

// Records every message and answers questions from a script. A question that finds the
// script empty fails the test and answers No / cancel.
class ScriptedPrompts final : public Prompts {
public:
    struct Shown {
        enum class Kind { Inform, YesNo, Text, HiddenText } kind;
        std::string text;
        std::string title;
        PromptIcon icon = PromptIcon::None;
    };

    void Inform(const std::string& text, const std::string& title, PromptIcon icon) override;
    bool AskYesNo(const std::string& text, const std::string& title) override;
    std::optional<std::string> AskText(const std::string& prompt, const std::string& title,
                                       const std::string& initial) override;
    // Answered from the same script as AskText; recorded as a hidden question.
    std::optional<std::string> AskHiddenText(const std::string& prompt,
                                             const std::string& title) override;

    void AnswerYes() { yesNo_.push_back(true); }
    void AnswerNo() { yesNo_.push_back(false); }
    void AnswerText(std::optional<std::string> text) { texts_.push_back(std::move(text)); }

    const std::vector<Shown>& shown() const { return shown_; }
    std::vector<std::string> Texts() const;
    void Clear() { shown_.clear(); }

private:
    std::optional<std::string> Answer(Shown::Kind kind, const std::string& prompt,
                                      const std::string& title);

    std::deque<bool> yesNo_;
    std::deque<std::optional<std::string>> texts_;
    std::vector<Shown> shown_;
};

} // namespace tarvik::test
