#pragma once

#include "support/run_command.h"

#include <csignal>

namespace tarvik::test {

// The simulated locator program serving a pseudo-terminal linked at `linkPath`, started by
// a test and stopped when the object goes (or earlier with Stop). Its option "--trace" shows
// on stderr what the locator takes, for a test that needs looking into.
class SimulatorProcess : public ChildProcess {
public:
    SimulatorProcess(const std::filesystem::path& linkPath, std::vector<std::string> options);
    ~SimulatorProcess() { Stop(); }

    // True once the link exists (waits up to five seconds for it).
    bool Ready() const { return ready_; }
    // Asks it to end, so that it removes its link.
    void Stop() {
        Signal(SIGTERM);
        Wait();
    }

private:
    bool ready_ = false;
};

} // namespace tarvik::test
