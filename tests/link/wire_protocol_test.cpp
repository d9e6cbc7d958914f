#include "link/reply_scanner.h"
#include "link/wire_protocol.h"

#include <gtest/gtest.h>

#include <optional>
#include <vector>

namespace tarvik {
namespace {

TEST(WireProtocol, CommandsCarryTheirArgumentsWithoutTerminators) {
    const DateTime day{2026, 12, 5, 14, 3, 9};
    EXPECT_EQ(wire::SetDateCommand(day), "#DS05/12/26");
    EXPECT_EQ(wire::SetTimeCommand(day), "#TS14:03:09");
    EXPECT_EQ(wire::DateRangeCommand("#DD", DateTime{2026, 11, 1}, day), "#DD01/11/26:05/12/26");
    EXPECT_EQ(wire::SetUserCommand("Alice"), "#FTAlice" + std::string(27, ' '));
    EXPECT_EQ(wire::SetUserCommand(""), "#FT" + std::string(32, ' '));
    EXPECT_EQ(wire::SetUserCommand(std::string(40, 'x')), "#FT" + std::string(40, 'x'));
    EXPECT_EQ(wire::SetSerialCommand("KVZ3", "123"), "#SSKVZ3    123     ");
}

TEST(WireProtocol, IdentityReplyByLayoutWithoutItsFillAndNoLogModels) {
    const std::string reply = "noise#XBert" + std::string(28, '_') + "KVZ3____" + "1234____";
    const auto identity = wire::ParseIdentityReply(reply, wire::kDiscoveryLayout);
    ASSERT_TRUE(identity);
    EXPECT_EQ(identity->user + "|" + identity->model + "|" + identity->serial, "Bert|KVZ3|1234");
    // The service layout reads 16 characters further on; a short reply gives empty fields.
    EXPECT_EQ(wire::ParseIdentityReply(reply, wire::kServiceLayout)->model, "");
    EXPECT_FALSE(wire::ParseIdentityReply("#FV1.0", wire::kDiscoveryLayout));

    EXPECT_TRUE(wire::IsNoLogModel("KVZ3nd") && wire::IsNoLogModel("NVZ3ND"));
    EXPECT_FALSE(wire::IsNoLogModel("NVZ3"));
}

TEST(WireProtocol, ClockDifferenceCountsMinuteBoundaries) {
    EXPECT_EQ(wire::MinuteDifference("10:03:00", "10:00:59"), 3);
    EXPECT_EQ(wire::MinuteDifference("10:02:59", "10:00:00"), 2);
    EXPECT_EQ(wire::MinuteDifference("00:01:00", "23:59:00"), -1438);
    EXPECT_EQ(wire::ClockCorrectionMessage(3),
              "Information\r\n\r\nThe Locator time was more than two minutes different to the "
              "time held by this PC.\r\n\r\nThe time on the locator has been updated by adding 3 "
              "minutes to the locator time.");
}

// The values a run of chunks gave, in order.
std::vector<std::string> Found(const std::vector<std::string>& chunks,
                               std::optional<std::string> wire::ReplyMarkers::*value) {
    wire::ReplyScanner scanner;
    std::vector<std::string> found;
    for (const std::string& chunk : chunks)
        if (const auto text = scanner.Scan(chunk).*value)
            found.push_back(*text);
    return found;
}

TEST(ReplyScanner, AReplySplitAnywhereIsFoundOnceWhenItsLastCharacterArrives) {
    const std::string stream = "#LD04/12/26#STP#AE 05/12/26 #T09:57:00";
    for (std::size_t cut = 0; cut <= stream.size(); ++cut) {
        const std::vector<std::string> chunks = {stream.substr(0, cut), stream.substr(cut), "-"};
        for (const auto& [value, expected] :
             {std::pair{&wire::ReplyMarkers::lastDownload, "04/12/26"},
              std::pair{&wire::ReplyMarkers::selfTest, "P"},
              std::pair{&wire::ReplyMarkers::locatorTime, "09:57:00"}})
            EXPECT_EQ(Found(chunks, value), std::vector<std::string>{expected}) << cut;
    }
    // Not a time: never taken, however it arrives.
    EXPECT_TRUE(Found({"#T09:5", "x:00"}, &wire::ReplyMarkers::locatorTime).empty());
}

TEST(ReplyScanner, AbortAndPowerDownInPiecesAndANewStreamForgetsTheOld) {
    for (const std::string marker : {"ABORT", "#PD"}) {
        for (std::size_t cut = 1; cut < marker.size(); ++cut) {
            wire::ReplyScanner scanner;
            const auto first = scanner.Scan("0512" + marker.substr(0, cut));
            const auto second = scanner.Scan(marker.substr(cut) + "\x1a");
            EXPECT_FALSE(first.abort || first.powerDown) << marker << cut;
            EXPECT_EQ(second.abort, marker == "ABORT") << marker << cut;
            EXPECT_EQ(second.powerDown, marker == "#PD") << marker << cut;
        }
    }
    wire::ReplyScanner scanner;
    EXPECT_TRUE(scanner.Scan("#LD04/1").lastDownloadSeen);
    scanner.Forget();
    EXPECT_FALSE(scanner.Scan("2/26").lastDownloadSeen);
}

} // namespace
} // namespace tarvik
