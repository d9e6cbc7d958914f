#include "sim/pty_transport.h"

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <random>
#include <thread>

#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

namespace tarvik::sim {

namespace {

using Clock = std::chrono::steady_clock;

LocatorEngine::Millis NowMillis() {
    return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now().time_since_epoch())
        .count();
}

bool MakeRaw(int fd) {
    termios tio{};
    if (tcgetattr(fd, &tio) != 0)
        return false;
    cfmakeraw(&tio);
    cfsetispeed(&tio, B115200);
    cfsetospeed(&tio, B115200);
    return tcsetattr(fd, TCSANOW, &tio) == 0;
}

// Writes all of `bytes`, waiting while the terminal's buffer is full. False when the
// other end has gone.
bool WriteAll(int fd, std::string_view bytes, const std::atomic<bool>& stop) {
    while (!bytes.empty() && !stop) {
        const ssize_t n = ::write(fd, bytes.data(), bytes.size());
        if (n > 0) {
            bytes.remove_prefix(static_cast<std::size_t>(n));
        } else if (n < 0 && (errno == EAGAIN || errno == EINTR)) {
            pollfd p{fd, POLLOUT, 0};
            ::poll(&p, 1, 10);
        } else {
            return false;
        }
    }
    return true;
}

} // namespace

bool ServeOnPseudoTerminal(LocatorEngine& engine, const std::filesystem::path& linkPath,
                           const TransportSettings& transport, const std::atomic<bool>& stop,
                           std::string& error) {
    const int master = ::posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK);
    if (master < 0 || ::grantpt(master) != 0 || ::unlockpt(master) != 0) {
        error = std::string("cannot create a pseudo-terminal: ") + std::strerror(errno);
        if (master >= 0)
            ::close(master);
        return false;
    }
    const std::string slaveName = ::ptsname(master);
    // Raw mode from the start, so nothing the locator sends is changed on the way; the PC's
    // serial library sets its own mode again when it opens the port.
    const int slave = ::open(slaveName.c_str(), O_RDWR | O_NOCTTY);
    if (slave < 0 || !MakeRaw(slave)) {
        error = "cannot set raw mode on " + slaveName;
        if (slave >= 0)
            ::close(slave);
        ::close(master);
        return false;
    }
    ::close(slave);

    std::error_code ec;
    std::filesystem::create_directories(linkPath.parent_path(), ec);
    std::filesystem::remove(linkPath, ec);
    std::filesystem::create_symlink(slaveName, linkPath, ec);
    if (ec) {
        error = "cannot link " + linkPath.string() + " to " + slaveName + ": " + ec.message();
        ::close(master);
        return false;
    }

    std::mt19937 random(transport.seed);
    std::uniform_int_distribution<std::size_t> chunkSize(
        std::max<std::size_t>(1, transport.minChunk),
        std::max(transport.minChunk, transport.maxChunk));
    bool connected = false;
    std::size_t traced = 0;
    std::FILE* commandLog =
        transport.commandLog.empty() ? nullptr : std::fopen(transport.commandLog.c_str(), "a");
    auto listNewCommands = [&] {
        for (; traced < engine.commands().size(); ++traced) {
            const char* command = engine.commands()[traced].c_str();
            if (transport.trace)
                std::fprintf(stderr, "tarvik-locator-sim: took %s\n", command);
            if (commandLog) {
                std::fprintf(commandLog, "%s\n", command);
                std::fflush(commandLog);
            }
        }
    };
    char buffer[4096];
    while (!stop) {
        pollfd p{master, POLLIN, 0};
        // The line is known to be quiet only up to the moment it was looked at: a simulator
        // that is slow to come back (a busy machine) must not take its own delay for a pause
        // of the PC's while the next character waits to be read.
        const LocatorEngine::Millis lookedAt = NowMillis();
        ::poll(&p, 1, engine.HasOutput() && connected ? 0 : 10);
        // What the PC wrote just before it closed the port is still to be read.
        if (p.revents & POLLIN) {
            const ssize_t n = ::read(master, buffer, sizeof buffer);
            if (n > 0)
                engine.Receive(std::string_view(buffer, static_cast<std::size_t>(n)), NowMillis());
        }
        if (p.revents & POLLHUP) {
            // Nobody has the port open: whatever was going out is lost with the link.
            if (connected)
                engine.Disconnected();
            listNewCommands(); // what the PC sent last, framed by the close
            connected = false;
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
            continue;
        }
        connected = true;
        engine.Tick(p.revents & POLLIN ? NowMillis() : lookedAt);
        listNewCommands();
        if (engine.HasOutput()) {
            const std::string chunk = engine.TakeOutput(chunkSize(random));
            if (!WriteAll(master, chunk, stop))
                continue;
            if (transport.baud > 0)
                std::this_thread::sleep_for(std::chrono::microseconds(
                    static_cast<long long>(chunk.size()) * 10'000'000 / transport.baud));
        }
    }
    if (commandLog)
        std::fclose(commandLog);
    std::filesystem::remove(linkPath, ec);
    ::close(master);
    return true;
}

} // namespace tarvik::sim
