#include "support/run_command.h"
#include "support/temp_dir.h"
#include "support/test_environment.h"
#include "viewer/record_fixtures.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

using namespace tarvik;
using tarvik::test::ShellQuoted;

namespace {

// Runs the tarvik command; what it says on stdout and stderr together.
test::CommandResult Tarvik(const std::string& args) {
    return test::RunCommand(ShellQuoted(test::ProgramsFolder() / "tarvik") + " " + args + " 2>&1");
}

} // namespace

TEST(CliFiles, PipesFoldersAndDevicesAreRefusedWithAMessageThatSaysSo) {
    test::TempDir dir;
    const auto fifo = dir / "pipe.lgd";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    // Each would hang or read without end if it were opened as a file.
    for (const std::filesystem::path& file : {fifo, dir.path(), std::filesystem::path("/dev/zero")})
        for (const std::string& command :
             {"summary " + ShellQuoted(file),
              "export-csv " + ShellQuoted(file) + " -o " + ShellQuoted(dir / "out.csv"),
              "chart " + ShellQuoted(file) + " --month 12/26 -o " + ShellQuoted(dir / "c.jpg")}) {
            const test::CommandResult run = Tarvik(command);
            EXPECT_EQ(run.exitCode, 1) << command;
            EXPECT_NE(run.output.find("a folder, a device or a pipe"), std::string::npos)
                << command << ": " << run.output;
        }
    EXPECT_FALSE(std::filesystem::exists(dir / "out.csv"));
    EXPECT_FALSE(std::filesystem::exists(dir / "c.jpg"));

    // A missing file cannot be read; a file without records has no data: told apart.
    for (const std::string command : {"summary", "export-csv"}) {
        const test::CommandResult missing = Tarvik(command + " " + ShellQuoted(dir / "none.lgd"));
        EXPECT_NE(missing.output.find("cannot be read"), std::string::npos) << missing.output;
    }
    test::WriteDataFile(dir / "empty.lgd", "Crew,KVZ3,7", {});
    const test::CommandResult empty = Tarvik("export-csv " + ShellQuoted(dir / "empty.lgd"));
    EXPECT_NE(empty.output.find("contains no data"), std::string::npos) << empty.output;
}

TEST(CliFiles, NamesThatAreNotUtf8AreUsedAsTheyAre) {
    test::TempDir dir;
    const std::filesystem::path log = dir / "log\xff.lgd";
    test::WriteDataFile(log, "Crew,KVZ3,7", test::RecordsOnDay("051226", '1', 90));
    const std::filesystem::path chart = dir / "chart\xfe.jpg";
    const test::CommandResult drawn =
        Tarvik("chart " + ShellQuoted(log) + " --day 05/12/26 -o " + ShellQuoted(chart));
    ASSERT_EQ(drawn.exitCode, 0) << drawn.output;
    EXPECT_EQ(drawn.output, chart.string() + "\n");
    EXPECT_EQ(test::RunCommand("djpeg " + ShellQuoted(chart) + " >/dev/null 2>&1").exitCode, 0);

    const std::filesystem::path csv = dir / "out\xfd.csv";
    const test::CommandResult exported =
        Tarvik("export-csv " + ShellQuoted(log) + " -o " + ShellQuoted(csv));
    ASSERT_EQ(exported.exitCode, 0) << exported.output;
    EXPECT_TRUE(std::filesystem::is_regular_file(csv));
    EXPECT_EQ(Tarvik("summary " + ShellQuoted(log)).output.substr(0, 12), "Records: 90\n");
}
