#include "support/simulator_process.h"

#include "support/test_environment.h"

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <thread>

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>

extern char** environ;

namespace tarvik::test {

SimulatorProcess::SimulatorProcess(const std::filesystem::path& linkPath,
                                   std::vector<std::string> options) {
    std::vector<std::string> args = {(ProgramsFolder() / "tarvik-locator-sim").string(),
                                     "--port-path", linkPath.string()};
    args.insert(args.end(), options.begin(), options.end());
    const bool trace = std::getenv("TARVIK_SIM_TRACE") != nullptr;
    if (trace)
        args.push_back("--trace");
    std::vector<char*> argv;
    for (std::string& arg : args)
        argv.push_back(arg.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    // TARVIK_SIM_TRACE=1 shows what the locator takes, for a test that needs looking into.
    if (!trace)
        posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    if (posix_spawn(&pid_, argv[0], &actions, nullptr, argv.data(), environ) != 0)
        pid_ = -1;
    posix_spawn_file_actions_destroy(&actions);
    for (int i = 0; i < 500 && pid_ > 0 && !ready_; ++i) {
        std::error_code ec;
        ready_ = std::filesystem::is_symlink(linkPath, ec);
        if (!ready_)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
}

SimulatorProcess::~SimulatorProcess() {
    Stop();
}

void SimulatorProcess::Stop() {
    if (pid_ <= 0)
        return;
    ::kill(pid_, SIGTERM);
    int status = 0;
    ::waitpid(pid_, &status, 0);
    pid_ = -1;
}

} // namespace tarvik::test
