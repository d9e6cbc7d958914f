#pragma once

#include <filesystem>

namespace tarvik::test {

// Gives the test process a private home, documents and application-data folder inside the
// build tree, so no test ever reaches the real home folder, however the binary is started.
void UsePrivateEnvironment();

// The folder that holds the built programs (tarvik, tarvik-toolkit, tarvik-locator-sim).
std::filesystem::path ProgramsFolder();

} // namespace tarvik::test
