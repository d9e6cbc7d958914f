#pragma once

#include <filesystem>
#include <string>

namespace tarvik::test {

struct CommandResult {
    int exitCode = -1;  // -1 when it could not run or did not exit normally
    std::string output; // what it wrote on its standard output
};

// Runs a shell command line (the tests' external checkers and our own programs).
CommandResult RunCommand(const std::string& commandLine);

// A path as one shell word, whatever characters it holds.
std::string ShellQuoted(const std::filesystem::path& path);

} // namespace tarvik::test
