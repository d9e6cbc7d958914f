#include "datafile/data_file_header.h"
#include "link/link_fakes.h"
#include "link/link_session.h"
#include "support/scripted_prompts.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

namespace tarvik {
namespace {

class ReceiveHandler : public ::testing::Test, protected test::InProcessLink {
protected:
    ReceiveHandler() {
        sim::LocatorSettings silent; // the tests deliver every chunk themselves
        silent.silent = true;
        LinkTo(1, silent);
        view.lastDownload = "01/12/26"; // shown already: no re-request
        view.identity = {"Crew  ", "KVZ3", "1234", ""};
    }

    void Receive(const std::string& chunk) { session.MSComm1_OnComm({PortEvent::kReceive, chunk}); }

    test::TempDir dir;
};

TEST_F(ReceiveHandler, SelfTestLettersAndTheLastDownloadDate) {
    Receive("#STP");
    EXPECT_EQ(session.flags.LastSelfTestResult, "Pass");
    Receive("#STF");
    EXPECT_EQ(session.flags.LastSelfTestResult, "Fail");
    Receive("xx#STQ");
    EXPECT_EQ(session.flags.LastSelfTestResult, "Q");

    Receive("#LD04/12/26");
    EXPECT_EQ(view.lastDownload, "04/12/26");
    EXPECT_EQ(session.flags.LastDownloadDate, "04/12/26");

    view.identity.model = "KVZ3nd";
    Receive("#LD04/12/26");
    EXPECT_EQ(view.lastDownload, "N/A");
    EXPECT_EQ(view.monitor, "#LD04/12/26");
    EXPECT_TRUE(prompts.shown().empty());
}

TEST_F(ReceiveHandler, AsksForTheLastDownloadDateUntilItIsShown) {
    view.lastDownload.clear();
    ports.log.Clear();
    Receive("#STP");
    EXPECT_EQ(link.written, "#LD");
    // The request goes out at the medium pace while DTR is off for the whole chunk.
    EXPECT_EQ(ports.log.Steps(),
              (std::vector<std::string>{"link dtr off", "link [#LD] medium", "link dtr on"}));
    Receive("#LD03/12/26");
    EXPECT_EQ(link.written, "#LD");
    Receive("#STP");
    EXPECT_EQ(link.written, "#LD");
}

TEST_F(ReceiveHandler, ClockCorrectedOnlyBeyondTwoMinutes) {
    Receive("#AE 05/12/26 #T09:58:00");
    EXPECT_EQ(link.written, "");
    EXPECT_TRUE(prompts.shown().empty());

    ports.log.Clear();
    Receive("#AE 05/12/26 #T09:57:00");
    EXPECT_EQ(ports.log.Steps(),
              (std::vector<std::string>{"link dtr off", "link [#TS10:00:00] long", "link dtr on"}));
    ASSERT_EQ(prompts.Texts().size(), 1u);
    EXPECT_TRUE(prompts.Texts()[0].ends_with("adding 3 minutes to the locator time."));

    clock.Set({2026, 12, 5, 0, 1, 0});
    Receive("#T23:59:00");
    EXPECT_TRUE(
        prompts.Texts().back().ends_with("subtracting 1438 minutes from the locator time."));
}

TEST_F(ReceiveHandler, RepliesCutShortByTheirChunkAreNotTaken) {
    Receive("#AE 05/12/26 #T");
    Receive("#T09:5");
    Receive("#T09:5x:00");
    EXPECT_TRUE(prompts.shown().empty());
    EXPECT_EQ(link.written, "");
    view.lastDownload.clear();
    Receive("#LD04/1");
    EXPECT_EQ(view.lastDownload, ""); // never a partial date
    EXPECT_EQ(link.written, "");      // the rest is on its way: not asked for again
}

TEST_F(ReceiveHandler, PowerDownEndsTheLinkAndWritesNothing) {
    ASSERT_TRUE(file1.OpenForWriting(dir / "d.lgd"));
    session.flags.DownloadInProgress = true;
    Receive("0512261000000017999111600-02-01G\r\n#PD");
    EXPECT_FALSE(session.flags.DownloadInProgress);
    EXPECT_EQ(view.linkControls, std::vector<bool>{false});
    EXPECT_FALSE(view.dataFileButtons);
    EXPECT_EQ(view.statuses.back(),
              "The Locator has powered down. Any downloads may not have completed.");
    EXPECT_FALSE(link.IsOpen());
    EXPECT_TRUE(view.blinkStopped);
    // Closed, so that nothing later reaches the file.
    EXPECT_FALSE(file1.IsOpen());
    EXPECT_EQ(test::ReadBytes(dir / "d.lgd"), "");
}

TEST_F(ReceiveHandler, CommsErrorsAreReportedAndLineEventsIgnored) {
    for (int code : {1, 3, 4, 5, 7})
        session.MSComm1_OnComm({code, {}});
    EXPECT_TRUE(prompts.shown().empty());
    session.MSComm1_OnComm({6, {}});
    session.MSComm1_OnComm({PortEvent::kFrame, {}});
    EXPECT_EQ(prompts.Texts(), (std::vector<std::string>{"Comms error: 6", "Comms error: 1004"}));
    EXPECT_TRUE(link.IsOpen());
}

TEST_F(ReceiveHandler, ATransferGetsItsHeaderAndEndsOnTheEndMark) {
    ASSERT_TRUE(file1.OpenForWriting(dir / "d.lgd"));
    bool ended = false, endedAborted = true;
    session.onTransferEnded = [&](bool aborted) {
        ended = true;
        endedAborted = aborted;
    };
    session.flags.DownloadHeaderPending = true;
    Receive("0512261000000017999111600-02-01P\r\n");
    EXPECT_TRUE(view.transferRunning);
    EXPECT_TRUE(session.flags.DownloadInProgress);
    Receive("0512261000010017999111600-02-01G\r\n\x1a");
    EXPECT_TRUE(ended);
    EXPECT_FALSE(endedAborted);
    EXPECT_TRUE(view.blinkStopped);
    EXPECT_FALSE(file1.IsOpen());
    EXPECT_EQ(view.progress, 165000);
    EXPECT_EQ(test::ReadBytes(dir / "d.lgd"),
              BuildDataFileHeader() + "Crew,KVZ3,1234\r\n" +
                  "0512261000000017999111600-02-01P\r\n0512261000010017999111600-02-01G\r\n\x1a");
}

TEST_F(ReceiveHandler, AnAbortedTransferWritesItsLastChunkFirst) {
    ASSERT_TRUE(file1.OpenForWriting(dir / "d.lgd"));
    bool aborted = false;
    session.onTransferEnded = [&](bool wasAborted) {
        aborted = wasAborted;
        EXPECT_TRUE(test::ReadBytes(dir / "d.lgd").ends_with("ABORT\x1a"));
    };
    session.flags.DownloadInProgress = true;
    Receive("05122610ABORT\x1a");
    EXPECT_TRUE(aborted);
}

TEST_F(ReceiveHandler, ProgressCountsModuloTheBarsMaximum) {
    ASSERT_TRUE(file1.OpenForWriting(dir / "d.lgd"));
    session.flags.DownloadInProgress = true;
    session.flags.DownloadByteCount = 164990;
    Receive(std::string(10, '0'));
    EXPECT_EQ(view.progress, 165000);
    Receive("0");
    EXPECT_EQ(view.progress, 0);
}

TEST_F(ReceiveHandler, ASelfTestLookupGoesToFileOneUntilTheEndMark) {
    ASSERT_TRUE(file1.OpenForWriting(dir / "~LastSTPass.tmp"));
    session.flags.SelfTestLookupPending = true;
    Receive("0512261000000017999111600-02-01P\r\n");
    Receive("\x1a");
    EXPECT_FALSE(session.flags.SelfTestLookupPending);
    EXPECT_EQ(view.monitor, ""); // the lookup's chunks are not ordinary data
    file1.Close();
    EXPECT_EQ(test::ReadBytes(dir / "~LastSTPass.tmp"), "0512261000000017999111600-02-01P\r\n\x1a");
}

TEST_F(ReceiveHandler, ChunksArrivingDuringASendWaitAndKeepTheirOrder) {
    ASSERT_TRUE(file1.OpenForWriting(dir / "d.lgd"));
    session.flags.DownloadInProgress = true;
    view.lastDownload.clear(); // the handler will send "#LD", letting events run meanwhile
    int delivered = 0;
    pacer.onLetEventsRun = [&] {
        if (delivered < 2) {
            ++delivered;
            Receive("<" + std::to_string(delivered) + ">");
        }
    };
    Receive("<0>");
    file1.Close();
    EXPECT_EQ(test::ReadBytes(dir / "d.lgd"), "<0><1><2>");
}

TEST_F(ReceiveHandler, RepliesSplitBetweenChunksAreTakenOnceWhole) {
    view.lastDownload.clear();
    Receive("#LD04/");
    Receive("12/26#S");
    EXPECT_EQ(view.lastDownload, "04/12/26");
    EXPECT_EQ(link.written, ""); // the date was on its way: not asked for again
    Receive("TF");
    EXPECT_EQ(session.flags.LastSelfTestResult, "Fail");

    // A time in two pieces corrects the clock once, not again on the next chunk.
    Receive("#AE 05/12/26 #T09:5");
    Receive("7:00");
    Receive("--");
    EXPECT_EQ(link.written, "#TS10:00:00");
    EXPECT_EQ(prompts.Texts().size(), 1u);
}

TEST_F(ReceiveHandler, TheLastDownloadDateIsAskedForAtMostOnceASecondAndFiveTimesALink) {
    view.lastDownload.clear();
    auto now = std::chrono::steady_clock::time_point{};
    session.steadyNow = [&] { return now; };
    for (int chunk = 0; chunk < 40; ++chunk) {
        Receive("0");
        now += std::chrono::milliseconds(400);
    }
    EXPECT_EQ(link.written, "#LD#LD#LD#LD#LD");

    // A new link may ask again, a second after it opened.
    session.OpenSessionPort(1);
    Receive("0");
    EXPECT_EQ(link.written, "#LD#LD#LD#LD#LD");
    now += std::chrono::seconds(1);
    Receive("0");
    EXPECT_EQ(link.written, "#LD#LD#LD#LD#LD#LD");
}

TEST_F(ReceiveHandler, AbortAndPowerDownAreRecognisedAcrossChunksAndEveryByteIsKept) {
    ASSERT_TRUE(file1.OpenForWriting(dir / "d.lgd"));
    std::vector<bool> endings;
    session.onTransferEnded = [&](bool aborted) { endings.push_back(aborted); };
    session.flags.DownloadInProgress = true;
    Receive("0512261000000017999111600-02-01P\r\nAB");
    Receive("O");
    Receive("RT\x1a");
    EXPECT_EQ(endings, std::vector<bool>{true});
    EXPECT_EQ(test::ReadBytes(dir / "d.lgd"), "0512261000000017999111600-02-01P\r\nABORT\x1a");

    // "ABORT" well before the end mark still makes a stopped transfer.
    ASSERT_TRUE(file1.OpenForWriting(dir / "e.lgd"));
    session.flags.AbortAcknowledged = false;
    session.flags.DownloadInProgress = true;
    Receive("ABORT");
    Receive("0512261000000017999111600-02-01P\r\n\x1a");
    EXPECT_EQ(endings, (std::vector<bool>{true, true}));

    // A power-down notice in two pieces: what came before it stays in the file.
    ASSERT_TRUE(file1.OpenForWriting(dir / "f.lgd"));
    session.flags.DownloadInProgress = true;
    Receive("051226#");
    Receive("P");
    Receive("D");
    EXPECT_FALSE(session.flags.DownloadInProgress);
    EXPECT_EQ(view.statuses.back(),
              "The Locator has powered down. Any downloads may not have completed.");
    file1.Close();
    EXPECT_EQ(test::ReadBytes(dir / "f.lgd"), "051226#P");
}

TEST_F(ReceiveHandler, ACommandAskedForDuringASendGoesOutWholeAfterIt) {
    // The reply to "#ST" arrives while "#AE" is going out; the handler's re-request of the
    // last download date waits for "#AE" to finish.
    view.lastDownload.clear();
    bool delivered = false;
    pacer.onLetEventsRun = [&] {
        if (!delivered && link.written == "#A") {
            delivered = true;
            Receive("#STP");
        }
    };
    session.RequestLocatorTime();
    EXPECT_EQ(ports.log.StepsOf("link"),
              (std::vector<std::string>{"link open 1", "link [#A] long", "link dtr off",
                                        "link dtr on", "link [E] long", "link [#LD] medium"}));
}

} // namespace
} // namespace tarvik
