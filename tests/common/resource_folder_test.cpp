// Where the programs find their fonts, pictures and helper programs, in a build tree and
// installed.

#include "common/resource_folder.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

namespace fs = std::filesystem;

TEST(ResourceFolder, BesideTheProgramInABuildTreeAndInShareWhenInstalled) {
    tarvik::test::TempDir dir;
    const auto helper = [&](const fs::path& bin) {
        return tarvik::HelperProgram(bin, "tarvik-chart-render");
    };
    // Build tree: bin/ holds the programs, the Fonts folder and the pictures.
    fs::create_directories(dir / "build" / "bin" / "Fonts");
    tarvik::test::WriteBytes(dir / "build" / "bin" / "tarvik-chart-render", "");
    EXPECT_EQ(tarvik::ResourceFolder(dir / "build" / "bin"), dir / "build" / "bin");
    EXPECT_EQ(helper(dir / "build" / "bin"), dir / "build" / "bin" / "tarvik-chart-render");
    // Installed: bin/, share/tarvik/Fonts and libexec/tarvik/.
    fs::create_directories(dir / "usr" / "bin");
    fs::create_directories(dir / "usr" / "share" / "tarvik" / "Fonts");
    tarvik::test::WriteBytes(dir / "usr" / "libexec" / "tarvik" / "tarvik-chart-render", "");
    EXPECT_EQ(tarvik::ResourceFolder(dir / "usr" / "bin"), dir / "usr" / "share" / "tarvik");
    EXPECT_EQ(helper(dir / "usr" / "bin"),
              dir / "usr" / "libexec" / "tarvik" / "tarvik-chart-render");
    // A share/tarvik without fonts is not taken for the resources, nor a libexec without it.
    fs::create_directories(dir / "bin");
    fs::create_directories(dir / "share" / "tarvik");
    EXPECT_EQ(tarvik::ResourceFolder(dir / "bin"), dir / "bin");
    EXPECT_EQ(helper(dir / "bin"), dir / "bin" / "tarvik-chart-render");
}
