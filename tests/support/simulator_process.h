#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace tarvik::test {

// The simulated locator program serving a pseudo-terminal linked at `linkPath`, started by
// a test and stopped when the object goes (or earlier with Stop).
class SimulatorProcess {
public:
    SimulatorProcess(const std::filesystem::path& linkPath, std::vector<std::string> options);
    ~SimulatorProcess();
    SimulatorProcess(const SimulatorProcess&) = delete;
    SimulatorProcess& operator=(const SimulatorProcess&) = delete;

    // True once the link exists (waits up to five seconds for it).
    bool Ready() const { return ready_; }
    void Stop();

private:
    int pid_ = -1;
    bool ready_ = false;
};

} // namespace tarvik::test
