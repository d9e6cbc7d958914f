#include "charts/chart_command.h"

#include "common/resource_folder.h"
#include "viewer/selection_option.h"

#include <QCoreApplication>
#include <QFile>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace tarvik {

namespace {

// What a finished helper program said on stdout, and how it ended.
struct HelperOutcome {
    bool started = false;
    bool succeeded = false;
    std::string said;
    std::string startError;
};

// Runs a program with its arguments passed as bytes (names need not be valid UTF-8), stdin
// from /dev/null and stdout captured (its first few KiB), and waits for it.
HelperOutcome RunHelper(const std::vector<std::string>& args) {
    HelperOutcome outcome;
    std::vector<char*> argv;
    for (const std::string& arg : args)
        argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);

    int pipeFds[2];
    if (::pipe2(pipeFds, O_CLOEXEC) != 0) {
        outcome.startError = std::strerror(errno);
        return outcome;
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_adddup2(&actions, pipeFds[1], 1);
    pid_t pid = 0;
    const int spawned = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    ::close(pipeFds[1]);
    if (spawned != 0) {
        ::close(pipeFds[0]);
        outcome.startError = std::strerror(spawned);
        return outcome;
    }
    outcome.started = true;

    constexpr std::size_t kKeep = 4096;
    char buffer[1024];
    while (true) {
        const ssize_t got = ::read(pipeFds[0], buffer, sizeof buffer);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            break;
        if (outcome.said.size() < kKeep)
            outcome.said.append(buffer, std::min<std::size_t>(static_cast<std::size_t>(got),
                                                              kKeep - outcome.said.size()));
    }
    ::close(pipeFds[0]);
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    outcome.succeeded = WIFEXITED(status) && WEXITSTATUS(status) == 0;
    return outcome;
}

std::string Trimmed(std::string text) {
    const auto blank = [](char c) { return c == ' ' || c == '\n' || c == '\r' || c == '\t'; };
    while (!text.empty() && blank(text.back()))
        text.pop_back();
    std::size_t start = 0;
    while (start < text.size() && blank(text[start]))
        ++start;
    return text.substr(start);
}

} // namespace

bool WriteUsageChartFromCommandLine(const std::filesystem::path& dataFile,
                                    const RecordSelection& selection,
                                    const std::filesystem::path& output, std::string& error) {
    const std::filesystem::path renderer =
        HelperProgram(QFile::encodeName(QCoreApplication::applicationDirPath()).toStdString(),
                      "tarvik-chart-render");
    const HelperOutcome outcome = RunHelper(
        {renderer.string(), dataFile.string(), SelectionOptionText(selection), output.string()});
    if (!outcome.started) {
        error =
            "the chart drawer " + renderer.string() + " cannot be started: " + outcome.startError;
        return false;
    }
    if (!outcome.succeeded) {
        const std::string said = Trimmed(outcome.said);
        error = said.empty() ? "the chart could not be drawn" : said;
        return false;
    }
    return true;
}

} // namespace tarvik
