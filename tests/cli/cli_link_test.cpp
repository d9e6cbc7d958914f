// The tarvik command's link commands against the simulator program on a pseudo-terminal.

#include "datafile/data_file_header.h"
#include "sim/log_generator.h"
#include "support/run_command.h"
#include "support/simulator_process.h"
#include "support/temp_dir.h"
#include "support/test_environment.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <fstream>
#include <set>
#include <thread>

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>

extern char** environ;

namespace tarvik {
namespace {

// Runs `tarvik ARGS` with its folders in `dir` and COM n at dir/COMn; stdout is captured.
test::CommandResult Tarvik(const test::TempDir& dir, const std::string& args) {
    using test::ShellQuoted;
    return test::RunCommand("TARVIK_PORT_PATTERN=" + ShellQuoted(dir.path() / "COM{n}") + " " +
                            ShellQuoted(test::ProgramsFolder() / "tarvik") + " --documents " +
                            ShellQuoted(dir / "docs") + " --appdata " + ShellQuoted(dir / "app") +
                            " " + args + " 2>/dev/null");
}

// `tarvik ARGS` started in the background with its folders in `dir`; what it writes on stdout
// and stderr goes into files there.
class TarvikProcess {
public:
    TarvikProcess(const test::TempDir& dir, const std::vector<std::string>& options)
        : out_(dir / "tarvik.out"), err_(dir / "tarvik.err") {
        std::vector<std::string> args = {(test::ProgramsFolder() / "tarvik").string(),
                                         "--documents", (dir / "docs").string(), "--appdata",
                                         (dir / "app").string()};
        args.insert(args.end(), options.begin(), options.end());
        std::vector<char*> argv;
        for (std::string& arg : args)
            argv.push_back(arg.data());
        argv.push_back(nullptr);
        std::vector<std::string> env = {"TARVIK_PORT_PATTERN=" + (dir / "COM{n}").string(),
                                        "QT_QPA_PLATFORM=offscreen"};
        for (char** e = environ; *e; ++e)
            if (!std::string_view(*e).starts_with("TARVIK_PORT_PATTERN="))
                env.push_back(*e);
        std::vector<char*> envp;
        for (std::string& e : env)
            envp.push_back(e.data());
        envp.push_back(nullptr);
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
        posix_spawn_file_actions_addopen(&actions, 1, out_.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                         0644);
        posix_spawn_file_actions_addopen(&actions, 2, err_.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                         0644);
        if (posix_spawn(&pid_, argv[0], &actions, nullptr, argv.data(), envp.data()) != 0)
            pid_ = -1;
        posix_spawn_file_actions_destroy(&actions);
    }
    ~TarvikProcess() {
        if (pid_ > 0) {
            ::kill(pid_, SIGKILL);
            Wait();
        }
    }

    void Interrupt() const { ::kill(pid_, SIGINT); }
    // The exit status, or 128 and the signal that ended it.
    int Wait() {
        int status = 0;
        ::waitpid(pid_, &status, 0);
        pid_ = -1;
        return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    }
    std::string Errors() const { return test::ReadBytes(err_); }

private:
    std::filesystem::path out_;
    std::filesystem::path err_;
    pid_t pid_ = -1;
};

// The one data file a download has written, once it holds more than `bytes` bytes; empty
// when none does within a minute.
std::filesystem::path DataFileOnceItHolds(const test::TempDir& dir, std::uintmax_t bytes) {
    const auto folder = dir / "docs" / "tarvik" / "data vz3";
    for (int i = 0; i < 6000; ++i) {
        std::error_code ec;
        for (const auto& entry : std::filesystem::directory_iterator(folder, ec))
            if (entry.file_size(ec) > bytes)
                return entry.path();
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return {};
}

// What follows the header block and the identity line of a downloaded data file.
std::string RecordsOf(const std::string& bytes) {
    return bytes.substr(bytes.find("\r\n", BuildDataFileHeader().size()) + 2);
}

std::string LogOfRecords(std::size_t count) {
    sim::LogOptions options;
    options.recordCount = count;
    return sim::GenerateLogText(options);
}

TEST(CliLink, ScanAndInfoFindTheSimulatedLocator) {
    test::TempDir dir;
    test::SimulatorProcess sim(dir / "COM6", {"--serial", "31337", "--user", "Night shift",
                                              "--firmware", "V4.2", "--self-test", "F"});
    ASSERT_TRUE(sim.Ready());

    const test::CommandResult scan = Tarvik(dir, "--yes scan");
    EXPECT_EQ(scan.exitCode, 0);
    EXPECT_EQ(scan.output, "port: 6\ndevice: " + (dir / "COM6").string() +
                               "\nmodel: KVZ3\nserial: 31337\nuser: Night shift\nfirmware: "
                               "V4.2\nlast download: 01/12/26\nself test: Fail\n");
    EXPECT_EQ(test::ReadBytes(dir / "app" / "tarvik" / "ports.ini"), "\r\n31337,6\r\n");

    const test::CommandResult info = Tarvik(dir, "info --port 6 --yes");
    EXPECT_EQ(info.exitCode, 0);
    // Through a saved port too the identity comes without the reply's "_" fill.
    EXPECT_NE(info.output.find("serial: 31337\n"), std::string::npos) << info.output;
}

TEST(CliLink, NothingToFindIsAFailureAndABadPortIsWrongUsage) {
    test::TempDir dir;
    EXPECT_EQ(Tarvik(dir, "--yes scan").exitCode, 1);
    EXPECT_EQ(Tarvik(dir, "info --port 3 --yes").exitCode, 1);
    EXPECT_EQ(Tarvik(dir, "info --port 17").exitCode, 2);
}

TEST(CliLink, DownloadWritesTheWholeLogAndSetCommandsSayWhatTheySet) {
    test::TempDir dir;
    const auto log = dir / "log.lgd";
    sim::LogOptions options;
    options.recordCount = 20000;
    std::string error;
    ASSERT_TRUE(sim::WriteLogFile(log, {"Crew", "KVZ3", "77", ""}, options, error));
    test::SimulatorProcess sim(dir / "COM2",
                               {"--log", log.string(), "--unpaced", "--chunk", "1-700"});
    ASSERT_TRUE(sim.Ready());

    const test::CommandResult all = Tarvik(dir, "--yes download --port 2 --all");
    ASSERT_EQ(all.exitCode, 0);
    const std::filesystem::path file = all.output.substr(0, all.output.size() - 1);
    EXPECT_EQ(file.parent_path(), dir / "docs" / "tarvik" / "data vz3");
    // Everything after the identity line is the locator's log as it sent it.
    const std::string logBytes = test::ReadBytes(log);
    const std::string bytes = test::ReadBytes(file);
    const std::size_t records = bytes.find("\r\n", bytes.find("Tarvik demo")) + 2;
    EXPECT_EQ(bytes.substr(records), logBytes.substr(logBytes.size() - (20000 * 34 + 1)));
    // Name and identity line carry the bare identity.
    EXPECT_EQ(bytes.substr(0, records), BuildDataFileHeader() + "Tarvik demo,KVZ3,00000001\r\n");
    EXPECT_TRUE(file.filename().string().starts_with("00000001 KVZ3 Tarvik demo [All] [")) << file;

    EXPECT_EQ(Tarvik(dir, "--yes download --port 2 --from 01/12/26").exitCode, 2);
    EXPECT_EQ(Tarvik(dir, "--yes set-date --port 2").output, "Date set\n");
    EXPECT_EQ(Tarvik(dir, "--yes set-user --port 2 Night").output, "User Set\n");
    EXPECT_EQ(Tarvik(dir, "--yes set-user --port 2 a.b").exitCode, 2);
    EXPECT_NE(Tarvik(dir, "--yes info --port 2").output.find("user: Night\n"), std::string::npos);
}

TEST(CliLink, APowerDownMidTransferFailsAndKeepsWhatCame) {
    test::TempDir dir;
    test::SimulatorProcess sim(dir / "COM3",
                               {"--records", "5000", "--unpaced", "--power-down-after", "40000"});
    ASSERT_TRUE(sim.Ready());
    const test::CommandResult run = Tarvik(dir, "--yes download --port 3 --all");
    EXPECT_EQ(run.exitCode, 1);
    std::filesystem::path file;
    for (const auto& entry :
         std::filesystem::directory_iterator(dir / "docs" / "tarvik" / "data vz3"))
        file = entry.path();
    const std::string bytes = test::ReadBytes(file);
    const std::size_t records = bytes.find("\r\n", bytes.find("Tarvik demo")) + 2;
    sim::LogOptions options;
    options.recordCount = 5000;
    // What came before the notice is kept, in order; only the chunk that holds "#PD" is not
    // written, and the notice came after the 40000th byte.
    const std::string kept = bytes.substr(records);
    EXPECT_GT(kept.size(), 0u);
    EXPECT_LE(kept.size(), 40000u);
    EXPECT_EQ(kept, sim::GenerateLogText(options).substr(0, kept.size()));
}

TEST(CliLink, SelfTestAndCertificateWriteTheDocument) {
    test::TempDir dir;
    const auto log = dir / "log.lgd";
    test::WriteBytes(log, BuildDataFileHeader() + "Crew,KVZ3,12345\r\n" +
                              "0512260912300017999111600-02-01P\r\n"
                              "0512260912310017999111600-02-01G\r\n"
                              "0612260800000017999111600-02-01F\r\n\x1a");
    test::SimulatorProcess sim(dir / "COM4", {"--log", log.string(), "--serial", "12345"});
    ASSERT_TRUE(sim.Ready());

    const test::CommandResult pass = Tarvik(dir, "--yes selftest --port 4 05/12/26");
    ASSERT_EQ(pass.exitCode, 0);
    const std::size_t path = pass.output.find('\n') + 1;
    EXPECT_EQ(pass.output.substr(0, path), "Pass on 05/12/26 at 09:12:30\n");
    const std::filesystem::path certificate =
        pass.output.substr(path, pass.output.size() - path - 1);
    EXPECT_EQ(certificate.parent_path(), dir / "docs" / "tarvik" / "data vz3" / "Certs");
    EXPECT_TRUE(certificate.filename().string().starts_with(
        "12345 System Validation Cert [For 05-12-26 09-12-30][Created "))
        << certificate;
    EXPECT_EQ(std::system(("qpdf --check '" + certificate.string() + "' > /dev/null").c_str()), 0);

    EXPECT_EQ(Tarvik(dir, "--yes selftest --port 4 06/12/26").exitCode, 1);
    EXPECT_EQ(Tarvik(dir, "--yes selftest --port 4 07/12/26").exitCode, 1);
    EXPECT_EQ(Tarvik(dir, "--yes selftest --port 4 7/12/26").exitCode, 2);

    const test::CommandResult made =
        Tarvik(dir, "certificate --model KVZ3 --serial 999 --user Crew "
                    "--pass '05/12/26 09:12:30'");
    EXPECT_EQ(made.exitCode, 0);
    EXPECT_TRUE(std::filesystem::exists(made.output.substr(0, made.output.size() - 1)));
}

TEST(CliLink, ALocatorThatAnswersLateAndInPiecesGetsOnlyWholeCommands) {
    test::TempDir dir;
    const auto commands = dir / "commands.txt";
    test::SimulatorProcess sim(dir / "COM6",
                               {"--serial", "31337", "--user", "Night shift", "--firmware", "V4.2",
                                "--records", "300", "--reply-pieces", "2", "--piece-pause", "30",
                                "--answer-delay", "300", "--command-log", commands.string()});
    ASSERT_TRUE(sim.Ready());

    const test::CommandResult scan = Tarvik(dir, "--yes scan");
    EXPECT_EQ(scan.exitCode, 0);
    EXPECT_EQ(scan.output, "port: 6\ndevice: " + (dir / "COM6").string() +
                               "\nmodel: KVZ3\nserial: 31337\nuser: Night shift\nfirmware: "
                               "V4.2\nlast download: 01/12/26\nself test: Pass\n");
    EXPECT_EQ(test::ReadBytes(dir / "app" / "tarvik" / "ports.ini"), "\r\n31337,6\r\n");

    const test::CommandResult info = Tarvik(dir, "info --port 6 --yes");
    EXPECT_EQ(info.exitCode, 0);
    EXPECT_NE(info.output.find("serial: 31337\nuser: Night shift\n"), std::string::npos)
        << info.output;
    EXPECT_NE(info.output.find("firmware: V4.2\nlast download: 01/12/26\nself test: Pass\n"),
              std::string::npos)
        << info.output;

    const test::CommandResult download = Tarvik(dir, "--yes download --port 6 --all");
    ASSERT_EQ(download.exitCode, 0);
    const std::string file = download.output.substr(0, download.output.size() - 1);
    EXPECT_EQ(RecordsOf(test::ReadBytes(file)), LogOfRecords(300) + "\x1a");

    // Every command reached the locator whole: none was spliced into another.
    const std::set<std::string> whole = {"#X", "#FV", "#LD", "#ST", "#AE", "#DA"};
    std::ifstream taken(commands);
    std::multiset<std::string> seen;
    for (std::string line; std::getline(taken, line);) {
        EXPECT_TRUE(whole.count(line)) << line;
        seen.insert(line);
    }
    EXPECT_EQ(seen.count("#AE"), 1u);
    EXPECT_EQ(seen.count("#DA"), 1u);
}

TEST(CliLink, CtrlCStopsADownloadAndKeepsEveryByteThatCame) {
    for (const std::string baud : {"115200", "9600"}) {
        test::TempDir dir;
        // Three characters a read, so "ABORT" arrives split.
        test::SimulatorProcess sim(dir / "COM5", {"--records", "20000", "--baud", baud, "--chunk",
                                                  "3-3", "--reply-pieces", "2"});
        ASSERT_TRUE(sim.Ready());
        TarvikProcess download(dir, {"--yes", "download", "--port", "5", "--all"});
        const auto file = DataFileOnceItHolds(dir, 2000);
        ASSERT_FALSE(file.empty()) << baud;
        download.Interrupt();
        EXPECT_EQ(download.Wait(), 1) << baud;
        EXPECT_NE(download.Errors().find("File download aborted. Incomplete data written to file"),
                  std::string::npos)
            << download.Errors();

        const std::string kept = RecordsOf(test::ReadBytes(file));
        ASSERT_TRUE(kept.ends_with("ABORT\x1a")) << baud;
        const std::string records = kept.substr(0, kept.size() - 6);
        const std::string log = LogOfRecords(20000);
        EXPECT_LT(records.size(), log.size());
        EXPECT_EQ(records, log.substr(0, records.size())) << baud;
    }
}

TEST(CliLink, ASecondCtrlCQuitsAtOnceAndLeavesTheFileAsItIs) {
    test::TempDir dir;
    // The locator takes its time to answer the stop, so the second Ctrl+C comes first.
    test::SimulatorProcess sim(dir / "COM5", {"--records", "20000", "--baud", "9600", "--chunk",
                                              "3-3", "--answer-delay", "600"});
    ASSERT_TRUE(sim.Ready());
    TarvikProcess download(dir, {"--yes", "download", "--port", "5", "--all"});
    const auto file = DataFileOnceItHolds(dir, 2000);
    ASSERT_FALSE(file.empty());
    download.Interrupt();
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    download.Interrupt();
    EXPECT_EQ(download.Wait(), 128 + SIGINT);
    const std::string records = RecordsOf(test::ReadBytes(file));
    EXPECT_EQ(records, LogOfRecords(20000).substr(0, records.size()));
}

} // namespace
} // namespace tarvik
