// Where the programs find their fonts, pictures and helper programs, in a build tree and
// installed.

#include "common/resource_folder.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

namespace tarvik {
namespace {

namespace fs = std::filesystem;

TEST(ResourceFolder, BesideTheProgramInABuildTreeAndInShareWhenInstalled) {
    test::TempDir dir;
    // Build tree: bin/ holds the programs, the Fonts folder and the pictures.
    fs::create_directories(dir / "build" / "bin" / "Fonts");
    test::WriteBytes(dir / "build" / "bin" / "tarvik-chart-render", "");
    EXPECT_EQ(ResourceFolder(dir / "build" / "bin"), dir / "build" / "bin");
    EXPECT_EQ(HelperProgram(dir / "build" / "bin", "tarvik-chart-render"),
              dir / "build" / "bin" / "tarvik-chart-render");

    // Installed: bin/, share/tarvik/Fonts and libexec/tarvik/.
    fs::create_directories(dir / "usr" / "bin");
    fs::create_directories(dir / "usr" / "share" / "tarvik" / "Fonts");
    test::WriteBytes(dir / "usr" / "libexec" / "tarvik" / "tarvik-chart-render", "");
    EXPECT_EQ(ResourceFolder(dir / "usr" / "bin"), dir / "usr" / "share" / "tarvik");
    EXPECT_EQ(HelperProgram(dir / "usr" / "bin", "tarvik-chart-render"),
              dir / "usr" / "libexec" / "tarvik" / "tarvik-chart-render");
}

TEST(ResourceFolder, NeitherLayoutNamesTheProgramsOwnFolder) {
    test::TempDir dir;
    fs::create_directories(dir / "bin");
    // A share/tarvik without fonts is not taken for the resources.
    fs::create_directories(dir / "share" / "tarvik");
    EXPECT_EQ(ResourceFolder(dir / "bin"), dir / "bin");
    EXPECT_EQ(HelperProgram(dir / "bin", "tarvik-chart-render"),
              dir / "bin" / "tarvik-chart-render");
}

} // namespace
} // namespace tarvik
