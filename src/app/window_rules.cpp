#include "app/window_rules.h"

namespace tarvik {

KeySum::Action KeySum::Press(int keyCode) {
    if (keyCode == 16 || keyCode == 17 || keyCode == 65 || keyCode == 81)
        sum_ += keyCode;
    if (sum_ == 114)
        return Action::OpenServiceWindow; // Shift + Ctrl + Q; the sum stays
    if (sum_ == 82) {
        sum_ = 0; // Ctrl + A
        return Action::OpenAbout;
    }
    return Action::None;
}

std::string RemainingCharsText(std::size_t userTextLength) {
    const long remaining = 32 - static_cast<long>(userTextLength);
    return "-" + std::string(remaining >= 0 ? " " : "") + std::to_string(remaining) + " -";
}

std::string UnquotePath(std::string text) {
    if (text.size() >= 2 && text.front() == '"' && text.back() == '"')
        return text.substr(1, text.size() - 2);
    if (!text.empty() && text.front() == '"')
        return text.substr(1);
    return text;
}

std::string MonitorLine(const std::string& chunk) {
    std::string line;
    line.reserve(chunk.size());
    for (const char c : chunk) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '\r' || c == '\n')
            line.push_back(' ');
        else if (byte >= 0x20 && byte != 0x7f)
            line.push_back(c);
    }
    return line;
}

ToolkitArguments ParseToolkitArguments(const std::vector<std::string>& arguments) {
    ToolkitArguments result;
    bool optionsEnded = false;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        if (!optionsEnded && (argument == "--documents" || argument == "--appdata")) {
            if (i + 1 == arguments.size()) {
                result.action = ToolkitArguments::Action::UsageError;
                result.error = argument + " needs a folder";
                return result;
            }
            (argument == "--documents" ? result.documents : result.appData) = arguments[++i];
            continue;
        }
        if (!optionsEnded && argument == "--") {
            optionsEnded = true;
            continue;
        }
        if (!optionsEnded && (argument == "--help" || argument == "-h")) {
            result.action = ToolkitArguments::Action::Help;
            return result;
        }
        if (!optionsEnded && (argument == "--version" || argument == "-v")) {
            result.action = ToolkitArguments::Action::Version;
            return result;
        }
        if (!optionsEnded && argument.size() > 1 && argument.front() == '-') {
            result.action = ToolkitArguments::Action::UsageError;
            result.error = "unknown option '" + argument + "'";
            return result;
        }
        if (!result.dataFile.empty()) {
            result.action = ToolkitArguments::Action::UsageError;
            result.error = "only one data file can be opened";
            return result;
        }
        result.dataFile = argument;
    }
    return result;
}

std::string ToolkitUsage() {
    return "Usage: tarvik-toolkit [FILE.lgd]\n"
           "The Tarvik VZ3 Locator PC Toolkit. With FILE.lgd, the toolkit opens that data file\n"
           "in the data viewer at start-up.\n"
           "\n"
           "Options:\n"
           "  -h, --help     show this help and exit\n"
           "  -v, --version  show the toolkit's version and exit\n"
           "  --documents DIR, --appdata DIR\n"
           "                 use DIR as the documents or the application-data folder\n"
           "  --             the next argument is the file, even when it starts with '-'\n"
           "\n"
           "Environment: TARVIK_DOCUMENTS_DIR and TARVIK_APPDATA_DIR name the same folders;\n"
           "TARVIK_PORT_PATTERN names the device of COM n, with {n} for the number.\n";
}

} // namespace tarvik
