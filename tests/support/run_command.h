#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace tarvik::test {

struct CommandResult {
    int exitCode = -1;  // -1 when it could not run or did not exit normally
    std::string output; // what it wrote on its standard output
};

// Runs a shell command line (the tests' external checkers and our own programs).
CommandResult RunCommand(const std::string& commandLine);

// A path as one shell word, whatever characters it holds.
std::string ShellQuoted(const std::filesystem::path& path);

// A program started in the background (`args`, the program first) with its input and output
// on /dev/null and its errors on the test's own. Killed when the object goes unless waited for.
class ChildProcess {
public:
    explicit ChildProcess(std::vector<std::string> args);
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;

    bool Started() const { return pid_ > 0; }
    void Signal(int signal) const;
    // The exit status, or 128 and the signal that ended it.
    int Wait();

private:
    int pid_ = -1;
};

} // namespace tarvik::test
