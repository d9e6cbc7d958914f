#pragma once

#include "sim/locator_engine.h"

#include <atomic>
#include <cstdint>
#include <filesystem>
#include <string>

namespace tarvik::sim {

// How the simulated locator's bytes travel: chunk sizes and line speed.
struct TransportSettings {
    std::size_t minChunk = 16;
    std::size_t maxChunk = 512;
    // Bits per second of the line (10 bits a character); 0 sends as fast as the PC reads.
    unsigned baud = 115200;
    std::uint32_t seed = 1;
    // Prints every command the locator takes on stderr.
    bool trace = false;
    // When set, every command the locator takes is appended to this file, one a line.
    std::filesystem::path commandLog;
};

// Creates a pseudo-terminal in raw mode, links it to `linkPath` (an existing link or file
// there is replaced; its folder is created) and serves `engine` on it until `stop` is set.
// The link is removed on return. False with a reason when the terminal cannot be set up.
bool ServeOnPseudoTerminal(LocatorEngine& engine, const std::filesystem::path& linkPath,
                           const TransportSettings& transport, const std::atomic<bool>& stop,
                           std::string& error);

} // namespace tarvik::sim
