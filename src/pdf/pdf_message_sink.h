#pragma once

#include <string>

namespace tarvik {

enum class PdfMessageIcon { None, Stop };

// Where the PDF writer's message boxes go: the toolkit shows them in a real message box with
// an OK button, the command line prints them, tests record them. The writer carries on once
// Show returns.
class PdfMessageSink {
public:
    virtual ~PdfMessageSink() = default;
    // Title and text are UTF-8; the lines of the text are separated by CR LF.
    virtual void Show(const std::string& title, const std::string& text, PdfMessageIcon icon) = 0;
};

// Prints each message on the standard error stream; the writer's default.
class StderrPdfMessageSink final : public PdfMessageSink {
public:
    void Show(const std::string& title, const std::string& text, PdfMessageIcon icon) override;
};

} // namespace tarvik
