#include "support/simulator_process.h"

#include "support/test_environment.h"

#include <chrono>
#include <cstdlib>
#include <thread>

namespace tarvik::test {

namespace {

const bool kTrace = std::getenv("TARVIK_SIM_TRACE") != nullptr;

std::vector<std::string> Arguments(const std::filesystem::path& link,
                                   std::vector<std::string> options) {
    options.insert(options.begin(), {(ProgramsFolder() / "tarvik-locator-sim").string(),
                                     "--port-path", link.string()});
    if (kTrace)
        options.push_back("--trace");
    return options;
}

} // namespace

SimulatorProcess::SimulatorProcess(const std::filesystem::path& linkPath,
                                   std::vector<std::string> options)
    : ChildProcess(Arguments(linkPath, std::move(options)), kTrace) {
    for (int i = 0; i < 500 && Started() && !ready_; ++i) {
        std::error_code ec;
        ready_ = std::filesystem::is_symlink(linkPath, ec);
        if (!ready_)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
}

} // namespace tarvik::test
