#pragma once

#include "cli/command.h"
#include "pdf/pdf_printer.h"
#include "pdf/pdf_prompts_sink.h"

#include <filesystem>
#include <optional>
#include <string>

namespace tarvik::cli {

// The PDF writer's services for a command: its messages go to the command's prompts, its
// clock is the command's.
class CommandPdfServices {
public:
    explicit CommandPdfServices(Context& context);
    CommandPdfServices(const CommandPdfServices&) = delete;
    CommandPdfServices& operator=(const CommandPdfServices&) = delete;
    const PdfPrinterServices& services() const { return services_; }

private:
    PromptsPdfMessageSink messages_;
    PdfPrinterServices services_;
};

// The folder with the Fonts folder and the certificate's pictures, in a build tree or
// installed.
std::filesystem::path ProgramResources();

// Prints the written document's path, or the error; the command's exit status.
int PrintWrittenDocument(Context& context, const std::optional<std::filesystem::path>& file,
                         const std::string& error);

} // namespace tarvik::cli
