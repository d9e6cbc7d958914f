#include "link/link_fakes.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

namespace tarvik {
namespace {

using test::Texts;

constexpr char kRecord[] = "0512261000000017999111600-02-01P\r\n";

class ReceiveHandler : public ::testing::Test, protected test::InProcessLink {
protected:
    ReceiveHandler() {
        LinkTo(1, {.silent = true});    // the tests deliver every chunk themselves
        view.lastDownload = "01/12/26"; // shown already: no re-request
        view.identity = {"Crew  ", "KVZ3", "1234", ""};
        // The chunk that holds the end mark is written before the end is told.
        session.onTransferEnded = [this](bool aborted) {
            endings += aborted ? "aborted" : "whole";
            endings += test::ReadBytes(dir / "d.lgd").ends_with("\x1a") ? " " : "(cut) ";
        };
        session.steadyNow = [this] { return now; };
    }
    void Start() {
        ASSERT_TRUE(file1.OpenForWriting(dir / "d.lgd"));
        session.flags.DownloadInProgress = true;
        session.flags.AbortAcknowledged = false;
    }
    std::string Written() {
        file1.Close();
        return test::ReadBytes(dir / "d.lgd");
    }

    test::TempDir dir;
    std::string endings;
    std::chrono::steady_clock::time_point now{};
};

TEST_F(ReceiveHandler, RepliesOutsideATransfer) {
    view.lastDownload.clear();
    ports.log.Clear();
    Receive("#STP");
    EXPECT_EQ(session.flags.LastSelfTestResult, "Pass");
    // "#LD" asked for at the medium pace, DTR off while the chunk is handled.
    EXPECT_EQ(ports.log.Steps(), (Texts{"link dtr off", "link [#LD] medium", "link dtr on"}));
    // A date in pieces is never shown cut short, nor asked for again while on its way.
    now += std::chrono::seconds(2);
    Receive("#LD04/");
    EXPECT_EQ(view.lastDownload, "");
    Receive("12/26#S");
    Receive("TF");
    EXPECT_EQ(link.written, "#LD");
    EXPECT_EQ(view.lastDownload + session.flags.LastDownloadDate, "04/12/2604/12/26");
    EXPECT_EQ(session.flags.LastSelfTestResult, "Fail");

    // The clock is corrected beyond two minutes only, once for a time in two pieces.
    Receive("#AE 05/12/26 #T09:58:00");
    for (int code : {1, 3, 4, 5, 7, 6, PortEvent::kFrame})
        session.MSComm1_OnComm({code, {}});
    EXPECT_EQ(prompts.Texts(), (Texts{"Comms error: 6", "Comms error: 1004"}));
    ports.log.Clear();
    Receive("#AE 05/12/26 #T09:5");
    Receive("7:00");
    Receive("--");
    EXPECT_EQ(ports.log.Steps()[3], "link [#TS10:00:00] long");
    EXPECT_EQ(link.written, "#LD#TS10:00:00");
    EXPECT_TRUE(prompts.Texts().at(2).ends_with("adding 3 minutes to the locator time."));
    clock.Set({2026, 12, 5, 0, 1, 0});
    Receive("#T23:59:00");
    EXPECT_TRUE(
        prompts.Texts().back().ends_with("subtracting 1438 minutes from the locator time."));
    EXPECT_TRUE(link.IsOpen());
}

TEST_F(ReceiveHandler, TheLastDownloadDateIsAskedForAtMostOnceASecondAndFiveTimesALink) {
    view.lastDownload.clear();
    for (int chunk = 0; chunk < 40; ++chunk, now += std::chrono::milliseconds(400))
        Receive("0");
    EXPECT_EQ(link.written, "#LD#LD#LD#LD#LD");
    // A new link may ask again, a second after it opened.
    session.OpenSessionPort(1);
    Receive("0");
    EXPECT_EQ(link.written, "#LD#LD#LD#LD#LD");
    now += std::chrono::seconds(1);
    Receive("0");
    EXPECT_EQ(link.written, "#LD#LD#LD#LD#LD#LD");
}

TEST_F(ReceiveHandler, TransfersKeepEveryByteAndEndAsTheirStreamSays) {
    // Chunks arriving while the handler's re-request goes out wait and keep their order.
    Start();
    view.lastDownload.clear();
    session.flags.DownloadByteCount = 164997;
    int delivered = 0;
    pacer.onLetEventsRun = [&] {
        if (delivered < 2)
            Receive("<" + std::to_string(++delivered) + ">");
    };
    Receive("<0>");
    EXPECT_EQ(view.progress, 3); // 165003 counted modulo the bar's maximum
    EXPECT_EQ(Written(), "<0><1><2>");
    pacer.onLetEventsRun = nullptr;
    view.lastDownload = "01/12/26";

    // "ABORT" in pieces or well before the end mark makes a stopped transfer; none a whole one.
    Start();
    for (const char* chunk : {kRecord, "AB", "O", "RT\x1a"})
        Receive(chunk);
    EXPECT_FALSE(file1.IsOpen());
    EXPECT_EQ(Written(), kRecord + std::string("ABORT\x1a"));
    Start();
    Receive("ABORT");
    Receive(kRecord + std::string("\x1a"));
    Start();
    Receive(kRecord + std::string("\x1a"));
    EXPECT_EQ(endings, "aborted aborted whole ");
    EXPECT_TRUE(view.blinkStopped);

    // A power-down notice in pieces: what came before it stays in the file.
    Start();
    for (const char* chunk : {"051226#", "P", "D"})
        Receive(chunk);
    EXPECT_FALSE(session.flags.DownloadInProgress);
    EXPECT_EQ(view.statuses.back(),
              "The Locator has powered down. Any downloads may not have completed.");
    EXPECT_EQ(Written(), "051226#P");
}

} // namespace
} // namespace tarvik
