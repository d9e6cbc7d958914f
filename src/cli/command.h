#pragma once

#include "common/clock.h"
#include "common/folders.h"
#include "common/prompts.h"

#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

namespace tarvik::cli {

// Exit codes of every command.
inline constexpr int kSuccess = 0;
inline constexpr int kFailure = 1; // a clear message on stderr
inline constexpr int kUsage = 2;

// What a command gets: its own arguments (global options already taken out), the folders,
// the clock, the prompts (answered by --yes or the terminal) and the two output streams.
struct Context {
    std::vector<std::string> args;
    Folders folders;
    const Clock& clock;
    Prompts& prompts;
    std::ostream& out;
    std::ostream& err;
    bool yes = false;

    // The value after `name` ("--port 3"), removed from args; nothing when absent.
    std::optional<std::string> TakeOption(const std::string& name);
    // True when the flag was given; removed from args.
    bool TakeFlag(const std::string& name);
};

struct Command {
    const char* name;
    const char* usage; // one line: arguments after the name
    int (*run)(Context& context);
};

// Commands register themselves at start-up, one file each (cmd_*.cpp).
class CommandRegistry {
public:
    static CommandRegistry& Instance();
    void Add(Command command) { commands_.push_back(command); }
    const Command* Find(const std::string& name) const;
    const std::vector<Command>& commands() const { return commands_; }

private:
    std::vector<Command> commands_;
};

struct RegisterCommand {
    explicit RegisterCommand(Command command) { CommandRegistry::Instance().Add(command); }
};

} // namespace tarvik::cli
