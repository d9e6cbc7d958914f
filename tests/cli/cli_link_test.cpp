// The tarvik command's link commands against the simulator program on a pseudo-terminal.

#include "support/simulator_process.h"
#include "support/temp_dir.h"
#include "support/test_environment.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <cstdlib>

#include <sys/wait.h>

namespace tarvik {
namespace {

struct CommandRun {
    int exitCode = -1;
    std::string out;
};

// Runs `tarvik ARGS` with its folders in `dir` and COM n at dir/COMn; stdout is captured.
CommandRun Tarvik(const test::TempDir& dir, const std::string& args) {
    const std::string command = "TARVIK_PORT_PATTERN='" + (dir.path() / "COM{n}").string() + "' '" +
                                (test::ProgramsFolder() / "tarvik").string() + "' --documents '" +
                                (dir / "docs").string() + "' --appdata '" + (dir / "app").string() +
                                "' " + args + " 2>/dev/null";
    CommandRun run;
    FILE* pipe = ::popen(command.c_str(), "r");
    std::array<char, 512> buffer{};
    while (std::fgets(buffer.data(), buffer.size(), pipe))
        run.out += buffer.data();
    run.exitCode = WEXITSTATUS(::pclose(pipe));
    return run;
}

TEST(CliLink, ScanAndInfoFindTheSimulatedLocator) {
    test::TempDir dir;
    test::SimulatorProcess sim(dir / "COM6", {"--serial", "31337", "--user", "Night shift",
                                              "--firmware", "V4.2", "--self-test", "F"});
    ASSERT_TRUE(sim.Ready());

    const CommandRun scan = Tarvik(dir, "--yes scan");
    EXPECT_EQ(scan.exitCode, 0);
    EXPECT_EQ(scan.out, "port: 6\nmodel: KVZ3\nserial: 31337\nuser: Night shift\nfirmware: "
                        "V4.2\nlast download: 01/12/26\nself test: Fail\n");
    EXPECT_EQ(test::ReadBytes(dir / "app" / "tarvik" / "ports.ini"), "\r\n31337,6\r\n");

    const CommandRun info = Tarvik(dir, "info --port 6 --yes");
    EXPECT_EQ(info.exitCode, 0);
    EXPECT_NE(info.out.find("serial: 31337___\n"), std::string::npos) << info.out;
}

TEST(CliLink, NothingToFindIsAFailureAndABadPortIsWrongUsage) {
    test::TempDir dir;
    EXPECT_EQ(Tarvik(dir, "--yes scan").exitCode, 1);
    EXPECT_EQ(Tarvik(dir, "info --port 3 --yes").exitCode, 1);
    EXPECT_EQ(Tarvik(dir, "info --port 17").exitCode, 2);
}

} // namespace
} // namespace tarvik
