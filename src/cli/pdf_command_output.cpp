#include "cli/pdf_command_output.h"

#include "common/resource_folder.h"

#include <QCoreApplication>
#include <ostream>

namespace tarvik::cli {

CommandPdfServices::CommandPdfServices(Context& context) : messages_(context.prompts) {
    services_.messages = &messages_;
    services_.clock = &context.clock;
}

std::filesystem::path ProgramResources() {
    return ResourceFolder(QCoreApplication::applicationDirPath().toStdString());
}

int PrintWrittenDocument(Context& context, const std::optional<std::filesystem::path>& file,
                         const std::string& error) {
    if (!file) {
        context.err << "tarvik: " << error << "\n";
        return kFailure;
    }
    context.out << file->string() << "\n";
    return kSuccess;
}

} // namespace tarvik::cli
