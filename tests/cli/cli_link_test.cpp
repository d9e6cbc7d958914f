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
#include <set>
#include <thread>

namespace tarvik {
namespace {

using test::ShellQuoted;

// Runs `tarvik ARGS` with its folders in `dir` and COM n at dir/COMn; stdout is captured,
// stderr too when `errors` is set.
test::CommandResult Tarvik(const test::TempDir& dir, const std::string& args, bool errors = false) {
    return test::RunCommand("TARVIK_PORT_PATTERN=" + ShellQuoted(dir.path() / "COM{n}") + " " +
                            ShellQuoted(test::ProgramsFolder() / "tarvik") + " --documents " +
                            ShellQuoted(dir / "docs") + " --appdata " + ShellQuoted(dir / "app") +
                            " " + args + (errors ? " 2>&1" : " 2>/dev/null"));
}

// `tarvik --yes download --port N --all` in the background, as Tarvik() runs it; what it
// says on stderr goes into dir/tarvik.err.
struct BackgroundDownload : test::ChildProcess {
    BackgroundDownload(const test::TempDir& dir, int port)
        : ChildProcess({"/usr/bin/env", "TARVIK_PORT_PATTERN=" + (dir / "COM{n}").string(),
                        (test::ProgramsFolder() / "tarvik").string(), "--documents",
                        (dir / "docs").string(), "--appdata", (dir / "app").string(), "--yes",
                        "download", "--port", std::to_string(port), "--all"},
                       "", dir / "tarvik.err") {}
};

// The one data file a download has written, once it holds more than `bytes` bytes; empty
// when none does within a minute.
std::filesystem::path DataFileOnceItHolds(const test::TempDir& dir, std::uintmax_t bytes) {
    for (int i = 0; i < 6000; ++i) {
        std::error_code ec;
        for (const auto& entry :
             std::filesystem::directory_iterator(dir / "docs" / "tarvik" / "data vz3", ec))
            if (entry.file_size(ec) > bytes)
                return entry.path();
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return {};
}

// What follows the header block and the identity line of a downloaded data file.
std::string RecordsOf(const std::filesystem::path& file) {
    const std::string bytes = test::ReadBytes(file);
    return bytes.substr(bytes.find("\r\n", BuildDataFileHeader().size()) + 2);
}

std::string LogOfRecords(std::size_t count) {
    sim::LogOptions options;
    options.recordCount = count;
    return sim::GenerateLogText(options);
}

// `records` hold the start of a log of `count` records, in order, and not all of it.
void ExpectStartOfLog(const std::string& records, std::size_t count) {
    EXPECT_GT(records.size(), 0u);
    EXPECT_LT(records.size(), count * 34);
    EXPECT_EQ(records, LogOfRecords(count).substr(0, records.size()));
}

TEST(CliLink, ScanInfoAndDownloadOfALocatorAnsweringAtOnceOrLateAndInPieces) {
    const std::vector<std::string> late = {"--reply-pieces", "2",  "--piece-pause", "30",
                                           "--answer-delay", "300"};
    for (const bool isLate : {false, true}) {
        SCOPED_TRACE(isLate ? "late" : "at once");
        test::TempDir dir;
        const auto commands = dir / "commands.txt";
        std::vector<std::string> options = {
            "--serial", "31337",       "--user", "Night shift",   "--firmware",
            "V4.2",     "--records",   "20000",  "--unpaced",     "--chunk",
            "1-700",    "--self-test", "F",      "--command-log", commands.string()};
        if (isLate)
            options.insert(options.end(), late.begin(), late.end());
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
                                             LogOfRecords(20000) + "\x1a");

        // Every command reached the locator whole: none was spliced into another.
        const std::set<std::string> whole = {"#X", "#FV", "#LD", "#ST", "#AE", "#DA"};
        std::ifstream taken(commands);
        std::multiset<std::string> seen;
        for (std::string line; std::getline(taken, line); seen.insert(line))
            EXPECT_TRUE(whole.count(line)) << line;
        EXPECT_EQ(seen.count("#AE"), 1u);
        EXPECT_EQ(seen.count("#DA"), 1u);
    }
}

TEST(CliLink, SetCommandsSayWhatTheySetAndWrongInputIsAFailureOrWrongUsage) {
    test::TempDir dir;
    EXPECT_EQ(Tarvik(dir, "--yes scan").exitCode, 1);
    EXPECT_EQ(Tarvik(dir, "info --port 3 --yes").exitCode, 1);
    EXPECT_EQ(Tarvik(dir, "info --port 17").exitCode, 2);

    test::SimulatorProcess sim(dir / "COM2", {});
    ASSERT_TRUE(sim.Ready());
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
    EXPECT_EQ(Tarvik(dir, "--yes download --port 3 --all").exitCode, 1);
    // What came before the notice is kept, in order; only the chunk that holds "#PD" is not
    // written, and the notice came after the 40000th byte.
    const std::string kept = RecordsOf(DataFileOnceItHolds(dir, 0));
    EXPECT_LE(kept.size(), 40000u);
    ExpectStartOfLog(kept, 5000);
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

TEST(CliLink, CtrlCStopsADownloadAndKeepsEveryByteThatCame) {
    for (const std::string baud : {"115200", "9600"}) {
        SCOPED_TRACE(baud);
        test::TempDir dir;
        // Three characters a read, so "ABORT" arrives split.
        test::SimulatorProcess sim(dir / "COM5", {"--records", "20000", "--baud", baud, "--chunk",
                                                  "3-3", "--reply-pieces", "2"});
        ASSERT_TRUE(sim.Ready());
        BackgroundDownload download(dir, 5);
        const auto file = DataFileOnceItHolds(dir, 2000);
        ASSERT_FALSE(file.empty());

        // Meanwhile the port is in use: another command says so, once.
        const std::string busy = Tarvik(dir, "info --port 5", true).output;
        const std::string inUse = "(" + (dir / "COM5").string() + ") is in use by another program";
        EXPECT_NE(busy.find(inUse), std::string::npos) << busy;
        EXPECT_EQ(busy.find(inUse), busy.rfind(inUse)) << busy;

        download.Signal(SIGINT);
        EXPECT_EQ(download.Wait(), 1);
        EXPECT_NE(test::ReadBytes(dir / "tarvik.err")
                      .find("File download aborted. Incomplete data written to file"),
                  std::string::npos);
        const std::string kept = RecordsOf(file);
        ASSERT_TRUE(kept.ends_with("ABORT\x1a"));
        ExpectStartOfLog(kept.substr(0, kept.size() - 6), 20000);
    }
}

TEST(CliLink, ASecondCtrlCQuitsAtOnceAndLeavesTheFileAsItIs) {
    test::TempDir dir;
    // The locator takes its time to answer the stop, so the second Ctrl+C comes first.
    test::SimulatorProcess sim(dir / "COM5", {"--records", "20000", "--baud", "9600", "--chunk",
                                              "3-3", "--answer-delay", "600"});
    ASSERT_TRUE(sim.Ready());
    BackgroundDownload download(dir, 5);
    const auto file = DataFileOnceItHolds(dir, 2000);
    ASSERT_FALSE(file.empty());
    download.Signal(SIGINT);
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    download.Signal(SIGINT);
    EXPECT_EQ(download.Wait(), 128 + SIGINT);
    ExpectStartOfLog(RecordsOf(file), 20000);
}

} // namespace
} // namespace tarvik
