#include "service/service_replies.h"

#include <gtest/gtest.h>

namespace tarvik {
namespace {

TEST(ServiceReplies, IdentityInTheLayoutItCameInOrAsMuchAsCameAndClockAtFixedPlaces) {
    const std::string user = "Depot" + std::string(27, '_');
    for (const auto& [reply, fields] : std::vector<std::pair<std::string, std::string>>{
             // The long layout: model at character 51, serial number at 59, from the "#".
             {"#X" + user + std::string(16, '-') + "NVZ3____12345678", "Depot|NVZ3|12345678"},
             // The short layout, as discovery reads it.
             {"#X" + user + "KVZ3____1234____", "Depot|KVZ3|1234"},
             {"#XDepot_", "Depot||"},
             {"#X" + std::string(32, 'u') + "KV", std::string(32, 'u') + "|KV|"},
             {"#X", "||"}}) {
        const auto identity = ServiceIdentityReply(reply);
        ASSERT_TRUE(identity) << reply;
        EXPECT_EQ(identity->user + "|" + identity->model + "|" + identity->serial, fields);
    }
    EXPECT_FALSE(ServiceIdentityReply("x#XSomeone"));
    // The clock is read at fixed places of a chunk that begins with its marker.
    const auto clock = ServiceClockReply("#AE 05/12/26 #T09:0");
    ASSERT_TRUE(clock);
    EXPECT_EQ(clock->date + "|" + clock->time, "05/12/26|09:0");
    EXPECT_FALSE(ServiceClockReply("#A"));
    EXPECT_FALSE(ServiceClockReply(" #AE 05/12/26 #T09:07:03"));
}

} // namespace
} // namespace tarvik
