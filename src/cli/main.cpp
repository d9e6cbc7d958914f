#include "app/folder_locations.h"
#include "cli/command.h"
#include "cli/terminal_prompts.h"
#include "link/port_naming.h"

#include <QCoreApplication>
#include <iostream>
#include <unistd.h>

// tarvik COMMAND ...: the toolkit's flows without windows. Each command lives in its own
// cmd_*.cpp file and registers itself; see `tarvik help`.
namespace {

void PrintUsage(std::ostream& out) {
    out << "usage: tarvik [--documents DIR] [--appdata DIR] COMMAND ...\n\ncommands:\n";
    for (const auto& command : tarvik::cli::CommandRegistry::Instance().commands())
        out << "  tarvik " << command.name << " " << command.usage << "\n";
}

} // namespace

int main(int argc, char** argv) {
    // An event loop serves the serial port and the pacing of commands.
    QCoreApplication app(argc, argv);
    std::vector<std::string> args(argv + 1, argv + argc);

    tarvik::SystemClock clock;
    tarvik::cli::TerminalPrompts silent(std::cin, std::cerr, false, false);
    tarvik::cli::Context globals{args, {}, clock, silent, std::cout, std::cerr};
    const auto documents = globals.TakeOption("--documents");
    const auto appData = globals.TakeOption("--appdata");
    const bool yes = globals.TakeFlag("--yes");
    args = globals.args;

    if (args.empty() || args[0] == "help" || args[0] == "--help") {
        PrintUsage(args.empty() ? std::cerr : std::cout);
        return args.empty() ? tarvik::cli::kUsage : tarvik::cli::kSuccess;
    }
    const tarvik::cli::Command* command = tarvik::cli::CommandRegistry::Instance().Find(args[0]);
    if (!command) {
        std::cerr << "tarvik: unknown command '" << args[0] << "'\n";
        PrintUsage(std::cerr);
        return tarvik::cli::kUsage;
    }

    tarvik::cli::TerminalPrompts prompts(std::cin, std::cerr, yes, ::isatty(0) != 0);
    tarvik::cli::Context context{
        std::vector<std::string>(args.begin() + 1, args.end()),
        tarvik::LocateFolders(QString::fromStdString(documents.value_or("")),
                              QString::fromStdString(appData.value_or(""))),
        clock,
        prompts,
        std::cout,
        std::cerr,
        yes};
    tarvik::UseComPortMap(context.folders.ComPortsFilePath());
    return command->run(context);
}
