#pragma once

#include "common/prompts.h"

#include <deque>
#include <gtest/gtest.h>
#include <optional>
#include <string>
#include <vector>

namespace tarvik::test {

// Records every message and answers questions from a script (hidden questions from the text
// answers). A question that finds the script empty fails the test and answers No / cancel.
class ScriptedPrompts final : public Prompts {
public:
    struct Shown {
        enum class Kind { Inform, YesNo, Text, HiddenText } kind;
        std::string text;
        std::string title;
        PromptIcon icon = PromptIcon::None;
    };

    void Inform(const std::string& text, const std::string& title, PromptIcon icon) override {
        shown_.push_back({Shown::Kind::Inform, text, title, icon});
    }
    bool AskYesNo(const std::string& text, const std::string& title) override {
        shown_.push_back({Shown::Kind::YesNo, text, title, PromptIcon::Question});
        return Next(yesNo_, false);
    }
    std::optional<std::string> AskText(const std::string& prompt, const std::string& title,
                                       const std::string&) override {
        shown_.push_back({Shown::Kind::Text, prompt, title});
        return Next(texts_, {});
    }
    std::optional<std::string> AskHiddenText(const std::string& prompt,
                                             const std::string& title) override {
        shown_.push_back({Shown::Kind::HiddenText, prompt, title});
        return Next(texts_, {});
    }

    void AnswerYes() { yesNo_.push_back(true); }
    void AnswerNo() { yesNo_.push_back(false); }
    void AnswerText(std::optional<std::string> text) { texts_.push_back(std::move(text)); }

    const std::vector<Shown>& shown() const { return shown_; }
    std::vector<std::string> Texts() const {
        std::vector<std::string> texts;
        for (const auto& s : shown_)
            texts.push_back(s.text);
        return texts;
    }
    void Clear() { shown_.clear(); }

private:
    template <typename Answer> Answer Next(std::deque<Answer>& script, Answer none) {
        if (script.empty()) {
            ADD_FAILURE() << "unexpected question: " << shown_.back().text;
            return none;
        }
        Answer answer = std::move(script.front());
        script.pop_front();
        return answer;
    }

    std::deque<bool> yesNo_;
    std::deque<std::optional<std::string>> texts_;
    std::vector<Shown> shown_;
};

} // namespace tarvik::test
