#pragma once

#include <csignal>
#include <sys/resource.h>

namespace tarvik::test {

// What `write` returns, run while every write of this process past `bytes` into a file fails,
// as on a full disk, and for root too.
template <typename Write> auto UnderFileSizeLimit(rlim_t bytes, Write write) {
    rlimit saved{};
    ::getrlimit(RLIMIT_FSIZE, &saved);
    const rlimit limited{bytes, saved.rlim_max};
    const auto signal = std::signal(SIGXFSZ, SIG_IGN);
    ::setrlimit(RLIMIT_FSIZE, &limited);
    auto result = write();
    ::setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, signal);
    return result;
}

} // namespace tarvik::test
