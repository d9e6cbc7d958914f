#include "support/scripted_prompts.h"

#include <gtest/gtest.h>

namespace tarvik::test {

void ScriptedPrompts::Inform(const std::string& text, const std::string& title, PromptIcon icon) {
    shown_.push_back({Shown::Kind::Inform, text, title, icon});
}

bool ScriptedPrompts::AskYesNo(const std::string& text, const std::string& title) {
    shown_.push_back({Shown::Kind::YesNo, text, title, PromptIcon::Question});
    if (yesNo_.empty()) {
        ADD_FAILURE() << "unexpected question: " << text;
        return false;
    }
    bool answer = yesNo_.front();
    yesNo_.pop_front();
    return answer;
}

std::optional<std::string> ScriptedPrompts::AskText(const std::string& prompt,
                                                    const std::string& title, const std::string&) {
    return Answer(Shown::Kind::Text, prompt, title);
}

std::optional<std::string> ScriptedPrompts::AskHiddenText(const std::string& prompt,
                                                          const std::string& title) {
    return Answer(Shown::Kind::HiddenText, prompt, title);
}

std::optional<std::string> ScriptedPrompts::Answer(Shown::Kind kind, const std::string& prompt,
                                                   const std::string& title) {
    shown_.push_back({kind, prompt, title, PromptIcon::None});
    if (texts_.empty()) {
        ADD_FAILURE() << "unexpected input box: " << prompt;
        return std::nullopt;
    }
    auto answer = texts_.front();
    texts_.pop_front();
    return answer;
}

std::vector<std::string> ScriptedPrompts::Texts() const {
    std::vector<std::string> texts;
    for (const auto& s : shown_)
        texts.push_back(s.text);
    return texts;
}

} // namespace tarvik::test
