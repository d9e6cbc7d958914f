#include "pdf/pdf_prompts_sink.h"

namespace tarvik {

void PromptsPdfMessageSink::Show(const std::string& title, const std::string& text,
                                 PdfMessageIcon icon) {
    prompts_.Inform(text, title,
                    icon == PdfMessageIcon::Stop ? PromptIcon::Critical : PromptIcon::None);
}

} // namespace tarvik
