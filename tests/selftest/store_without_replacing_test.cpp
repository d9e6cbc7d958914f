#include "selftest/store_without_replacing.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

namespace tarvik {
namespace {

using test::ReadBytes;
using test::WriteBytes;

TEST(StoreWithoutReplacing, NumberedNamesGoBeforeTheExtension) {
    EXPECT_EQ(NumberedFileName("12 Cert.pdf", 1), "12 Cert.pdf");
    EXPECT_EQ(NumberedFileName("1.5 Cert [For 05-12-26].pdf", 13),
              "1.5 Cert [For 05-12-26] (13).pdf");
    EXPECT_EQ(NumberedFileName("notes", 3), "notes (3)");
    EXPECT_EQ(NumberedFileName(".hidden", 2), ".hidden (2)");
}

// Both ways of storing: the rename, and the copy for file systems that cannot rename so.
class EachWayOfStoring
    : public ::testing::TestWithParam<MoveOutcome (*)(
          const std::filesystem::path&, const std::filesystem::path&, std::error_code&)> {
protected:
    MoveOutcome Store(const std::filesystem::path& from, const std::filesystem::path& to) {
        error.clear();
        return GetParam()(from, to, error);
    }
    test::TempDir dir;
    std::error_code error;
};

TEST_P(EachWayOfStoring, MovesOntoAFreeNameOnly) {
    WriteBytes(dir / "new", "new document");
    WriteBytes(dir / "kept", "stored document");
    std::filesystem::create_directory(dir / "folder");

    EXPECT_EQ(Store(dir / "new", dir / "kept"), MoveOutcome::Taken);
    EXPECT_EQ(Store(dir / "new", dir / "folder"), MoveOutcome::Taken);
    EXPECT_EQ(ReadBytes(dir / "kept"), "stored document");
    EXPECT_TRUE(std::filesystem::is_empty(dir / "folder"));

    EXPECT_EQ(Store(dir / "new", dir / "stored"), MoveOutcome::Moved);
    EXPECT_EQ(ReadBytes(dir / "stored"), "new document");
    EXPECT_FALSE(std::filesystem::exists(dir / "new"));

    EXPECT_EQ(Store(dir / "new", dir / "again"), MoveOutcome::Failed);
    EXPECT_TRUE(error);
    EXPECT_FALSE(std::filesystem::exists(dir / "again"));
    EXPECT_EQ(Store(dir / "stored", dir / "missing" / "stored"), MoveOutcome::Failed);
    EXPECT_EQ(ReadBytes(dir / "stored"), "new document");
}

INSTANTIATE_TEST_SUITE_P(RenameAndCopy, EachWayOfStoring,
                         ::testing::Values(&MoveWithoutReplacing, &CopyWithoutReplacing));

TEST(StoreWithoutReplacing, ANewFileIsNeverOneThatExists) {
    test::TempDir dir;
    WriteBytes(dir / "taken", "kept");
    std::error_code error;
    EXPECT_EQ(OpenNewFile(dir / "taken", error), nullptr);
    EXPECT_EQ(error, std::errc::file_exists);
    EXPECT_EQ(ReadBytes(dir / "taken"), "kept");
    std::FILE* fresh = OpenNewFile(dir / "fresh", error);
    ASSERT_NE(fresh, nullptr);
    std::fclose(fresh);
    EXPECT_TRUE(std::filesystem::is_regular_file(dir / "fresh"));
}

} // namespace
} // namespace tarvik
