#pragma once

#include "common/prompts.h"

#include <QString>

class QWidget;

namespace tarvik {

// Prompts answered by the user in Qt message and input boxes.
class QtPrompts final : public Prompts {
public:
    explicit QtPrompts(QWidget* parent = nullptr) : parent_(parent) {}
    void setParent(QWidget* parent) { parent_ = parent; }

    void Inform(const std::string& text, const std::string& title, PromptIcon icon) override;
    bool AskYesNo(const std::string& text, const std::string& title) override;
    std::optional<std::string> AskText(const std::string& prompt, const std::string& title,
                                       const std::string& initial) override;
    std::optional<std::string> AskHiddenText(const std::string& prompt,
                                             const std::string& title) override;

private:
    QWidget* parent_;
};

// The title of message boxes that name none of their own.
QString StandardTitle();

} // namespace tarvik
