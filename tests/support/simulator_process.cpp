#include "support/simulator_process.h"

#include "support/test_environment.h"

#include <chrono>
#include <thread>

namespace tarvik::test {

SimulatorProcess::SimulatorProcess(const std::filesystem::path& linkPath,
                                   std::vector<std::string> options)
    : ChildProcess([&] {
          options.insert(options.begin(), {(ProgramsFolder() / "tarvik-locator-sim").string(),
                                           "--port-path", linkPath.string()});
          return options;
      }()) {
    for (int i = 0; i < 500 && Started() && !ready_; ++i) {
        std::error_code ec;
        ready_ = std::filesystem::is_symlink(linkPath, ec);
        if (!ready_)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
}

} // namespace tarvik::test
