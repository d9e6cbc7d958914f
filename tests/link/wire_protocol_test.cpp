#include "link/reply_scanner.h"
#include "link/wire_protocol.h"

#include <gtest/gtest.h>

namespace tarvik {
namespace {

TEST(WireProtocol, CommandsCarryTheirArgumentsAndTheClockCheckCountsMinuteBoundaries) {
    EXPECT_EQ(wire::SetUserCommand("Alice"), "#FTAlice" + std::string(27, ' '));
    EXPECT_EQ(wire::SetSerialCommand("KVZ3", "123"), "#SSKVZ3    123     ");
    EXPECT_EQ(wire::MinuteDifference("10:02:59", "10:00:00"), 2);
    EXPECT_EQ(wire::ClockCorrectionMessage(3),
              "Information\r\n\r\nThe Locator time was more than two minutes different to the "
              "time held by this PC.\r\n\r\nThe time on the locator has been updated by adding 3 "
              "minutes to the locator time.");
}

TEST(ReplyScanner, EveryReplySplitAnywhereIsFoundOnceWhenItsLastCharacterArrives) {
    // The "-" after the stream must find nothing.
    const std::string stream = "#LD04/12/26#STP#AE 05/12/26 #T09:57:00ABORT#PD";
    for (std::size_t cut = 0; cut <= stream.size(); ++cut) {
        wire::ReplyScanner scanner;
        std::string found;
        for (const std::string& chunk :
             {stream.substr(0, cut), stream.substr(cut), std::string("-")}) {
            const wire::ReplyMarkers m = scanner.Scan(chunk);
            found += m.lastDownload.value_or("") + m.selfTest.value_or("") +
                     m.locatorTime.value_or("") + (m.abort ? "ABORT" : "") +
                     (m.powerDown ? "PD" : "") + "|";
        }
        EXPECT_TRUE(found.ends_with("||")) << cut;
        std::erase(found, '|');
        EXPECT_EQ(found, "04/12/26P09:57:00ABORTPD") << cut;
    }
    wire::ReplyScanner scanner;
    EXPECT_TRUE(scanner.Scan("#LD04/1").lastDownloadSeen);
    scanner.Forget();
    EXPECT_FALSE(scanner.Scan("2/26").lastDownloadSeen);
    EXPECT_FALSE(scanner.Scan("#T09:5").locatorTime || scanner.Scan("x:00").locatorTime);
}

} // namespace
} // namespace tarvik
