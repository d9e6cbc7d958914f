#include "service/service_replies.h"
#include "service/troubleshoot_log.h"

#include "support/temp_dir.h"

#include <gtest/gtest.h>

namespace tarvik {
namespace {

TEST(TroubleshootLog, LivesInTheDocumentsTarvikFolderNamedByItsStamp) {
    const Folders folders{"/home/u/Documents", "/home/u/.config"};
    const CurrentDataFile log = TroubleshootLogLocation(folders, DateTime{2026, 12, 5, 9, 7, 3});
    EXPECT_EQ(log.folder, std::filesystem::path("/home/u/Documents/tarvik"));
    EXPECT_EQ(log.name, "Troubleshoot [] [05122026090703].lgd");
}

TEST(TroubleshootLog, CreatesItsFolderAndReportsAFileItCannotWrite) {
    test::TempDir dir;
    TroubleshootLog log;
    ASSERT_TRUE(log.Create(dir / "new" / "folder" / "t.lgd"));
    log.WriteLine("x");
    EXPECT_EQ(test::ReadBytes(dir / "new" / "folder" / "t.lgd"), "x\r\n");

    std::string error;
    EXPECT_FALSE(log.Create(dir / "new", &error)); // a folder, not a file
    EXPECT_FALSE(error.empty());
    EXPECT_FALSE(log.IsOpen());
    log.WriteLine("nowhere"); // harmless
}

TEST(ServiceReplies, IdentityFieldsAtTheServicePositionsAndAShortReplyGivesWhatIsThere) {
    // The model starts at character 51 and the serial number at 59, counted from the "#".
    auto identity = ServiceIdentityReply("#XDepot" + std::string(27, '_') + std::string(16, '-') +
                                         "NVZ3____12345678");
    ASSERT_TRUE(identity);
    EXPECT_EQ(identity->user, "Depot");
    EXPECT_EQ(identity->model, "NVZ3");
    EXPECT_EQ(identity->serial, "12345678");

    identity = ServiceIdentityReply("#XDepot_");
    ASSERT_TRUE(identity);
    EXPECT_EQ(identity->user, "Depot");
    EXPECT_EQ(identity->model, "");
    EXPECT_EQ(identity->serial, "");

    // Cut inside the model: the model has what arrived, the serial nothing.
    identity = ServiceIdentityReply("#X" + std::string(32, 'u') + "KV");
    ASSERT_TRUE(identity);
    EXPECT_EQ(identity->user, std::string(32, 'u'));
    EXPECT_EQ(identity->model, "KV");
    EXPECT_EQ(identity->serial, "");

    identity = ServiceIdentityReply("#X");
    ASSERT_TRUE(identity);
    EXPECT_EQ(identity->user, "");
}

TEST(ServiceReplies, TheIdentityIsReadInTheLayoutItCameIn) {
    const std::string user = "Depot" + std::string(27, '_');
    // The short layout, as discovery reads it.
    auto identity = ServiceIdentityReply("#X" + user + "KVZ3____" + "1234____");
    ASSERT_TRUE(identity);
    EXPECT_EQ(identity->user, "Depot");
    EXPECT_EQ(identity->model, "KVZ3");
    EXPECT_EQ(identity->serial, "1234");
    // The long layout: 16 more characters before the model and serial number.
    identity = ServiceIdentityReply("#X" + user + std::string(16, '_') + "PVZ3____" + "5678____");
    ASSERT_TRUE(identity);
    EXPECT_EQ(identity->model, "PVZ3");
    EXPECT_EQ(identity->serial, "5678");
}

TEST(ServiceReplies, ClockReplyIsReadAtFixedPositions) {
    auto clock = ServiceClockReply("#AE 05/12/26 #T09:0");
    ASSERT_TRUE(clock);
    EXPECT_EQ(clock->date, "05/12/26");
    EXPECT_EQ(clock->time, "09:0");
    // Only a chunk that begins with its marker is a reply.
    EXPECT_FALSE(ServiceClockReply("#A"));
    EXPECT_FALSE(ServiceClockReply(" #AE 05/12/26 #T09:07:03"));
    EXPECT_FALSE(ServiceIdentityReply("x#XSomeone"));
}

TEST(ServiceReplies, UserCounterCountsDownAndPastZero) {
    EXPECT_EQ(UserCharsLeftText(0), "-32 left-");
    EXPECT_EQ(UserCharsLeftText(31), "-1 left-");
    EXPECT_EQ(UserCharsLeftText(32), "-0 left-");
    EXPECT_EQ(UserCharsLeftText(40), "--8 left-");
}

} // namespace
} // namespace tarvik
