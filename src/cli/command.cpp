#include "cli/command.h"

#include <algorithm>

namespace tarvik::cli {

std::optional<std::string> Context::TakeOption(const std::string& name) {
    auto it = std::find(args.begin(), args.end(), name);
    if (it == args.end() || it + 1 == args.end())
        return std::nullopt;
    std::string value = *(it + 1);
    args.erase(it, it + 2);
    return value;
}

bool Context::TakeFlag(const std::string& name) {
    auto it = std::find(args.begin(), args.end(), name);
    if (it == args.end())
        return false;
    args.erase(it);
    return true;
}

CommandRegistry& CommandRegistry::Instance() {
    static CommandRegistry registry;
    return registry;
}

const Command* CommandRegistry::Find(const std::string& name) const {
    for (const auto& command : commands_)
        if (name == command.name)
            return &command;
    return nullptr;
}

} // namespace tarvik::cli
