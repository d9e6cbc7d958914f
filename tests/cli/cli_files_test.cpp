#include "support/run_command.h"
#include "support/temp_dir.h"
#include "support/test_environment.h"
#include "viewer/record_fixtures.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

using namespace tarvik;
using tarvik::test::ShellQuoted;

// Runs the tarvik command; what it says on stdout and stderr together.
static test::CommandResult Tarvik(const std::string& args) {
    return test::RunCommand(ShellQuoted(test::ProgramsFolder() / "tarvik") + " " + args + " 2>&1");
}

TEST(CliFiles, PipesFoldersDevicesMissingAndEmptyFilesAreRefusedWithAMessageThatSaysWhy) {
    test::TempDir dir;
    ASSERT_EQ(::mkfifo((dir / "pipe.lgd").c_str(), 0600), 0);
    test::WriteDataFile(dir / "empty.lgd", "Crew,KVZ3,7", {});
    const std::string special = "a folder, a device or a pipe"; // each would hang if opened
    for (const auto& [file, said] : std::vector<std::pair<std::filesystem::path, std::string>>{
             {dir / "pipe.lgd", special},
             {dir.path(), special},
             {"/dev/zero", special},
             {dir / "none.lgd", "cannot be read"}})
        for (const std::string& command :
             {"summary " + ShellQuoted(file),
              "export-csv " + ShellQuoted(file) + " -o " + ShellQuoted(dir / "out.csv"),
              "chart " + ShellQuoted(file) + " --month 12/26 -o " + ShellQuoted(dir / "c.jpg")}) {
            const test::CommandResult run = Tarvik(command);
            EXPECT_EQ(run.exitCode, 1) << command;
            EXPECT_NE(run.output.find(said), std::string::npos) << command << ": " << run.output;
        }
    EXPECT_EQ(test::FolderEntries(dir.path()), (std::set<std::string>{"empty.lgd", "pipe.lgd"}));
    // A file that can be read but holds no records is told apart from one that cannot.
    EXPECT_NE(
        Tarvik("export-csv " + ShellQuoted(dir / "empty.lgd")).output.find("contains no data"),
        std::string::npos);
}

TEST(CliFiles, NamesThatAreNotUtf8AreUsedAsTheyAre) {
    test::TempDir dir;
    const std::filesystem::path log = dir / "log\xff.lgd";
    test::WriteDataFile(log, "Crew,KVZ3,7", test::RecordsOnDay("051226", '1', 90));
    const std::filesystem::path chart = dir / "chart\xfe.jpg";
    const test::CommandResult drawn =
        Tarvik("chart " + ShellQuoted(log) + " --day 05/12/26 -o " + ShellQuoted(chart));
    EXPECT_EQ(drawn.output, chart.string() + "\n");
    EXPECT_EQ(test::RunCommand("djpeg " + ShellQuoted(chart) + " >/dev/null 2>&1").exitCode, 0);

    const std::filesystem::path csv = dir / "out\xfd.csv";
    EXPECT_EQ(Tarvik("export-csv " + ShellQuoted(log) + " -o " + ShellQuoted(csv)).exitCode, 0);
    EXPECT_TRUE(std::filesystem::is_regular_file(csv));
    EXPECT_EQ(Tarvik("summary " + ShellQuoted(log)).output.substr(0, 12), "Records: 90\n");
}
