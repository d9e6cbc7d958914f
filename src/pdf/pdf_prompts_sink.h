#pragma once

#include "common/prompts.h"
#include "pdf/pdf_message_sink.h"

namespace tarvik {

// Shows the writer's messages through the toolkit's prompts: a stop icon becomes a critical
// message box, the confirmation an information box without icon.
class PromptsPdfMessageSink final : public PdfMessageSink {
public:
    explicit PromptsPdfMessageSink(Prompts& prompts) : prompts_(prompts) {}
    void Show(const std::string& title, const std::string& text, PdfMessageIcon icon) override;

private:
    Prompts& prompts_;
};

} // namespace tarvik
