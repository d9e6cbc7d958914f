#include "service/service_replies.h"
#include "service/troubleshoot_log.h"

#include "support/temp_dir.h"

#include <gtest/gtest.h>

namespace tarvik {
namespace {

TEST(TroubleshootLog, LivesInTheDocumentsTarvikFolderWhichItCreatesAndSaysWhenItCannot) {
    test::TempDir dir;
    const CurrentDataFile where =
        TroubleshootLogLocation({dir / "docs", dir / "app"}, DateTime{2026, 12, 5, 9, 7, 3});
    EXPECT_EQ(where.Path(), dir / "docs" / "tarvik" / "Troubleshoot [] [05122026090703].lgd");
    TroubleshootLog log;
    ASSERT_TRUE(log.Create(where.Path()));
    log.WriteLine("x");
    EXPECT_EQ(test::ReadBytes(where.Path()), "x\r\n");

    std::string error;
    EXPECT_FALSE(log.Create(dir / "docs", &error)); // a folder, not a file
    EXPECT_FALSE(error.empty());
    EXPECT_FALSE(log.IsOpen());
    log.WriteLine("nowhere"); // harmless
}

TEST(ServiceReplies, TheIdentityIsReadInTheLayoutItCameInAndAShortReplyGivesWhatIsThere) {
    const std::string user = "Depot" + std::string(27, '_');
    struct Case {
        std::string reply, user, model, serial;
    };
    for (const Case& c : std::vector<Case>{
             // The long layout: model at character 51, serial number at 59, from the "#".
             {"#X" + user + std::string(16, '-') + "NVZ3____12345678", "Depot", "NVZ3", "12345678"},
             // The short layout, as discovery reads it.
             {"#X" + user + "KVZ3____1234____", "Depot", "KVZ3", "1234"},
             {"#XDepot_", "Depot", "", ""},
             {"#X" + std::string(32, 'u') + "KV", std::string(32, 'u'), "KV", ""},
             {"#X", "", "", ""}}) {
        const auto identity = ServiceIdentityReply(c.reply);
        ASSERT_TRUE(identity) << c.reply;
        EXPECT_EQ(identity->user + "|" + identity->model + "|" + identity->serial,
                  c.user + "|" + c.model + "|" + c.serial);
    }
    EXPECT_FALSE(ServiceIdentityReply("x#XSomeone"));
}

TEST(ServiceReplies, ClockReplyIsReadAtFixedPositionsAndTheUserCounterCountsPastZero) {
    const auto clock = ServiceClockReply("#AE 05/12/26 #T09:0");
    ASSERT_TRUE(clock);
    EXPECT_EQ(clock->date + "|" + clock->time, "05/12/26|09:0");
    // Only a chunk that begins with its marker is a reply.
    EXPECT_FALSE(ServiceClockReply("#A"));
    EXPECT_FALSE(ServiceClockReply(" #AE 05/12/26 #T09:07:03"));
    EXPECT_EQ(UserCharsLeftText(0) + UserCharsLeftText(32) + UserCharsLeftText(40),
              "-32 left--0 left---8 left-");
}

} // namespace
} // namespace tarvik
