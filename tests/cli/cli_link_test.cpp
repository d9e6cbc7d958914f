// The tarvik command's link commands against the simulator program on a pseudo-terminal.

#include "datafile/data_file_header.h"
#include "sim/log_generator.h"
#include "support/run_command.h"
#include "support/simulator_process.h"
#include "support/temp_dir.h"
#include "support/test_environment.h"

#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <iterator>
#include <set>
#include <sstream>
#include <thread>

namespace tarvik {
namespace {

using test::ShellQuoted;

// `tarvik ARGS` with its folders in `dir` and COM n at dir/COMn, exec'd so signals reach it.
std::string TarvikLine(const test::TempDir& dir, const std::string& args) {
    return "exec env TARVIK_PORT_PATTERN=" + ShellQuoted(dir / "COM{n}") + " " +
           ShellQuoted(test::ProgramsFolder() / "tarvik") + " --documents " +
           ShellQuoted(dir / "docs") + " --appdata " + ShellQuoted(dir / "app") + " " + args;
}

test::CommandResult Tarvik(const test::TempDir& dir, const std::string& args) {
    return test::RunCommand(TarvikLine(dir, args));
}

TEST(CliLink, ScanInfoDownloadAndSetOfALocatorAnsweringAtOnceOrLateAndInPieces) {
    for (const bool late : {false, true}) {
        SCOPED_TRACE(late ? "late" : "at once");
        test::TempDir dir;
        EXPECT_EQ(Tarvik(dir, "--yes scan").exitCode, 1); // no locator anywhere
        const auto commands = dir / "commands.txt";
        std::vector<std::string> options = {
            "--serial", "31337",       "--user", "Night shift",   "--firmware",
            "V4.2",     "--records",   "20000",  "--unpaced",     "--chunk",
            "1-700",    "--self-test", "F",      "--command-log", commands.string()};
        if (late)
            options.insert(options.end(),
                           {"--reply-pieces", "2", "--piece-pause", "30", "--answer-delay", "300"});
        test::SimulatorProcess sim(dir / "COM6", options);
        ASSERT_TRUE(sim.Ready());

        const test::CommandResult scan = Tarvik(dir, "--yes scan");
        EXPECT_EQ(scan.exitCode, 0);
        EXPECT_EQ(scan.output, "port: 6\ndevice: " + (dir / "COM6").string() +
                                   "\nmodel: KVZ3\nserial: 31337\nuser: Night shift\nfirmware: "
                                   "V4.2\nlast download: 01/12/26\nself test: Fail\n");
        EXPECT_EQ(test::ReadBytes(dir / "app" / "tarvik" / "ports.ini"), "\r\n31337,6\r\n");
        // Through a saved port too the identity comes whole and without the reply's "_" fill.
        const test::CommandResult info = Tarvik(dir, "info --port 6 --yes");
        EXPECT_EQ(info.exitCode, 0);
        EXPECT_EQ(info.output, "port: 6" + scan.output.substr(scan.output.find("\nmodel")));

        const test::CommandResult all = Tarvik(dir, "--yes download --port 6 --all");
        ASSERT_EQ(all.exitCode, 0);
        const std::filesystem::path file = all.output.substr(0, all.output.size() - 1);
        EXPECT_EQ(file.parent_path(), dir / "docs" / "tarvik" / "data vz3");
        // Name and identity line carry the bare identity; then the log as the locator sent it.
        EXPECT_TRUE(file.filename().string().starts_with("31337 KVZ3 Night shift [All] ["));
        EXPECT_EQ(test::ReadBytes(file), BuildDataFileHeader() + "Night shift,KVZ3,31337\r\n" +
                                             sim::GenerateLogText({.recordCount = 20000}) + "\x1a");

        // Every command reached the locator whole: none was spliced into another.
        const std::set<std::string> whole = {"#X", "#FV", "#LD", "#ST", "#AE", "#DA"};
        std::ifstream taken(commands);
        std::multiset<std::string> seen;
        for (std::string line; std::getline(taken, line); seen.insert(line))
            EXPECT_TRUE(whole.count(line)) << line;
        EXPECT_EQ(seen.count("#AE"), 1u);
        EXPECT_EQ(seen.count("#DA"), 1u);
        if (late)
            continue;

        EXPECT_EQ(Tarvik(dir, "--yes set-date --port 6").output, "Date set\n");
        EXPECT_EQ(Tarvik(dir, "--yes set-user --port 6 Night").output, "User Set\n");
        EXPECT_NE(Tarvik(dir, "--yes info --port 6").output.find("user: Night\n"),
                  std::string::npos);
        // Wrong input is wrong usage, and nothing at a port a failure.
        for (const std::string args : {"info --port 17", "--yes download --port 6 --from 01/12/26",
                                       "--yes set-user --port 6 a.b"})
            EXPECT_EQ(Tarvik(dir, args).exitCode, 2) << args;
        EXPECT_EQ(Tarvik(dir, "info --port 3 --yes").exitCode, 1);
    }
}

// A transfer that ends early keeps every byte that came before its end, in order: Ctrl+C
// (whose "ABORT" arrives split over reads of three characters), a second Ctrl+C before the
// locator answered the first, and a power-down notice after its 40000th byte (only the chunk
// holding it is not written).
TEST(CliLink, ATransferEndedByCtrlCOrAPowerDownKeepsWhatCame) {
    const std::string aborted = "tarvik: the transfer was aborted; what arrived is in ";
    struct Case {
        std::string options;
        int interrupts, exitCode;
        std::string ending, said;
    };
    for (const Case& c : std::vector<Case>{
             {"--baud 115200 --chunk 3-3 --reply-pieces 2", 1, 1, "ABORT\x1a", aborted},
             {"--baud 9600 --chunk 3-3 --reply-pieces 2", 1, 1, "ABORT\x1a", aborted},
             {"--baud 9600 --chunk 3-3 --answer-delay 600", 2, 128 + SIGINT, "", "Stopping"},
             {"--unpaced --power-down-after 40000", 0, 1, "", "The Locator has powered down."}}) {
        SCOPED_TRACE(c.options);
        test::TempDir dir;
        std::istringstream words("--records 20000 " + c.options);
        test::SimulatorProcess sim(dir / "COM5", {std::istream_iterator<std::string>(words), {}});
        ASSERT_TRUE(sim.Ready());
        test::ChildProcess download({"/bin/sh", "-c",
                                     TarvikLine(dir, "--yes download --port 5 --all 2>" +
                                                         ShellQuoted(dir / "tarvik.err"))});
        // The data file, once it holds more than its header.
        std::filesystem::path file;
        for (int i = 0; i < 6000 && file.empty(); ++i) {
            std::error_code ec;
            for (const auto& entry :
                 std::filesystem::directory_iterator(dir / "docs" / "tarvik" / "data vz3", ec))
                if (entry.file_size(ec) > 2000)
                    file = entry.path();
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        ASSERT_FALSE(file.empty());
        if (c.interrupts == 1) {
            // Meanwhile the port is in use: another command says so, once.
            const std::string busy = Tarvik(dir, "info --port 5 2>&1").output;
            const std::string inUse =
                "(" + (dir / "COM5").string() + ") is in use by another program";
            EXPECT_NE(busy.find(inUse), std::string::npos) << busy;
            EXPECT_EQ(busy.find(inUse), busy.rfind(inUse)) << busy;
        }
        for (int i = 0; i < c.interrupts; ++i) {
            download.Signal(SIGINT);
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        EXPECT_EQ(download.Wait(), c.exitCode);
        EXPECT_NE(test::ReadBytes(dir / "tarvik.err").find(c.said), std::string::npos);
        const std::string bytes = test::ReadBytes(file);
        std::string kept = bytes.substr(bytes.find("\r\n", BuildDataFileHeader().size()) + 2);
        ASSERT_TRUE(kept.ends_with(c.ending));
        kept.resize(kept.size() - c.ending.size());
        EXPECT_LE(kept.size(), c.interrupts ? std::string::npos : 40000u);
        EXPECT_EQ(kept, sim::GenerateLogText({.recordCount = 20000}).substr(0, kept.size()));
    }
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
    EXPECT_EQ(test::RunCommand("qpdf --check " + ShellQuoted(certificate)).exitCode, 0);

    // No pass that day, no record that day, and not a date.
    for (const auto& [day, exitCode] :
         std::vector<std::pair<std::string, int>>{{"06/12/26", 1}, {"07/12/26", 1}, {"7/12/26", 2}})
        EXPECT_EQ(Tarvik(dir, "--yes selftest --port 4 " + day).exitCode, exitCode);

    const test::CommandResult made =
        Tarvik(dir, "certificate --model KVZ3 --serial 999 --user Crew --pass '05/12/26 09:12:30'");
    EXPECT_EQ(made.exitCode, 0);
    EXPECT_TRUE(std::filesystem::exists(made.output.substr(0, made.output.size() - 1)));
}

} // namespace
} // namespace tarvik
