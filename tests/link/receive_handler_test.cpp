#include "link/link_fakes.h"
#include "link/link_session.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

namespace tarvik {
namespace {

using test::Texts;

class ReceiveHandler : public ::testing::Test, protected test::InProcessLink {
protected:
    ReceiveHandler() {
        LinkTo(1, test::SilentLocator()); // the tests deliver every chunk themselves
        view.lastDownload = "01/12/26";   // shown already: no re-request
        view.identity = {"Crew  ", "KVZ3", "1234", ""};
        session.onTransferEnded = [this](bool aborted) { endings.push_back(aborted); };
    }

    // A transfer (or with `lookup`, a self-test lookup) writing into `name` in the folder.
    void Start(const std::string& name, bool lookup = false) {
        ASSERT_TRUE(file1.OpenForWriting(dir / name));
        (lookup ? session.flags.SelfTestLookupPending : session.flags.DownloadInProgress) = true;
        session.flags.AbortAcknowledged = false;
    }
    std::string Written(const std::string& name) {
        file1.Close();
        return test::ReadBytes(dir / name);
    }

    test::TempDir dir;
    std::vector<bool> endings; // whether each transfer that ended was aborted
};

constexpr char kRecord[] = "0512261000000017999111600-02-01P\r\n";

TEST_F(ReceiveHandler, SelfTestLettersAndTheLastDownloadDateAskedForUntilItIsShown) {
    view.lastDownload.clear();
    ports.log.Clear();
    session.steadyNow = [] { return std::chrono::steady_clock::time_point{}; }; // all at once
    for (const auto& [chunk, result] : std::vector<std::pair<std::string, std::string>>{
             {"#STP", "Pass"}, {"#STF", "Fail"}, {"xx#STQ", "Q"}}) {
        Receive(chunk);
        EXPECT_EQ(session.flags.LastSelfTestResult, result) << chunk;
    }
    // Asked for once, at the medium pace, while DTR is off for the whole chunk.
    EXPECT_EQ(ports.log.Steps(),
              (Texts{"link dtr off", "link [#LD] medium", "link dtr on", "link dtr off",
                     "link dtr on", "link dtr off", "link dtr on"}));
    Receive("#LD04/12/26");
    Receive("#STP");
    EXPECT_EQ(link.written, "#LD");
    EXPECT_EQ(view.lastDownload + session.flags.LastDownloadDate, "04/12/2604/12/26");

    view.identity.model = "KVZ3nd";
    Receive("#LD04/12/26");
    EXPECT_EQ(view.lastDownload, "N/A");
    EXPECT_EQ(view.monitor, "#LD04/12/26");
    EXPECT_TRUE(prompts.shown().empty());
}

TEST_F(ReceiveHandler, ClockCorrectedOnlyBeyondTwoMinutes) {
    Receive("#AE 05/12/26 #T09:58:00");
    EXPECT_EQ(link.written, "");
    EXPECT_TRUE(prompts.shown().empty());

    ports.log.Clear();
    Receive("#AE 05/12/26 #T09:57:00");
    EXPECT_EQ(ports.log.Steps(), (Texts{"link dtr off", "link [#TS10:00:00] long", "link dtr on"}));
    ASSERT_EQ(prompts.Texts().size(), 1u);
    EXPECT_TRUE(prompts.Texts()[0].ends_with("adding 3 minutes to the locator time."));

    clock.Set({2026, 12, 5, 0, 1, 0});
    Receive("#T23:59:00");
    EXPECT_TRUE(
        prompts.Texts().back().ends_with("subtracting 1438 minutes from the locator time."));
}

TEST_F(ReceiveHandler, RepliesSplitBetweenChunksAreTakenOnceWholeAndNeverCutShort) {
    view.lastDownload.clear();
    Receive("#LD04/");
    EXPECT_EQ(view.lastDownload, ""); // never a partial date
    Receive("12/26#S");
    EXPECT_EQ(view.lastDownload, "04/12/26");
    EXPECT_EQ(link.written, ""); // the date was on its way: not asked for again
    Receive("TF");
    EXPECT_EQ(session.flags.LastSelfTestResult, "Fail");

    // Not a time, however it arrives.
    Receive("#T09:5");
    Receive("x:00");
    EXPECT_TRUE(prompts.shown().empty());
    // A time in two pieces corrects the clock once, not again on the next chunk.
    Receive("#AE 05/12/26 #T09:5");
    Receive("7:00");
    Receive("--");
    EXPECT_EQ(link.written, "#TS10:00:00");
    EXPECT_EQ(prompts.Texts().size(), 1u);
}

TEST_F(ReceiveHandler, CommsErrorsAreReportedAndLineEventsIgnored) {
    for (int code : {1, 3, 4, 5, 7, 6, PortEvent::kFrame})
        session.MSComm1_OnComm({code, {}});
    EXPECT_EQ(prompts.Texts(), (Texts{"Comms error: 6", "Comms error: 1004"}));
    EXPECT_TRUE(link.IsOpen());
}

TEST_F(ReceiveHandler, TransferProgressCountsModuloTheBarsMaximum) {
    Start("d.lgd");
    session.flags.DownloadByteCount = 164990;
    Receive(std::string(10, '0'));
    EXPECT_EQ(view.progress, 165000);
    Receive("0");
    EXPECT_EQ(view.progress, 0);
}

TEST_F(ReceiveHandler, ASelfTestLookupGoesToFileOneUntilTheEndMark) {
    Start("~LastSTPass.tmp", true);
    Receive(kRecord);
    Receive("\x1a");
    EXPECT_FALSE(session.flags.SelfTestLookupPending);
    EXPECT_EQ(view.monitor, ""); // the lookup's chunks are not ordinary data
    EXPECT_EQ(Written("~LastSTPass.tmp"), kRecord + std::string("\x1a"));
}

TEST_F(ReceiveHandler, ChunksArrivingDuringASendWaitAndKeepTheirOrder) {
    Start("d.lgd");
    view.lastDownload.clear(); // the handler will send "#LD", letting events run meanwhile
    int delivered = 0;
    pacer.onLetEventsRun = [&] {
        if (delivered < 2)
            Receive("<" + std::to_string(++delivered) + ">");
    };
    Receive("<0>");
    EXPECT_EQ(Written("d.lgd"), "<0><1><2>");
}

TEST_F(ReceiveHandler, TheLastDownloadDateIsAskedForAtMostOnceASecondAndFiveTimesALink) {
    view.lastDownload.clear();
    auto now = std::chrono::steady_clock::time_point{};
    session.steadyNow = [&] { return now; };
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

TEST_F(ReceiveHandler, TheEndMarkAbortAndPowerDownAreRecognisedAcrossChunksKeepingEveryByte) {
    // The chunk that holds the end is written before the transfer is said to be over.
    session.onTransferEnded = [this](bool aborted) {
        endings.push_back(aborted);
        EXPECT_TRUE(test::ReadBytes(dir / "d.lgd").ends_with("RT\x1a"));
    };
    Start("d.lgd");
    for (const char* chunk : {kRecord, "AB", "O", "RT\x1a"})
        Receive(chunk);
    EXPECT_EQ(endings, std::vector<bool>{true});
    EXPECT_FALSE(file1.IsOpen());
    EXPECT_EQ(Written("d.lgd"), kRecord + std::string("ABORT\x1a"));
    session.onTransferEnded = [this](bool aborted) { endings.push_back(aborted); };

    // "ABORT" well before the end mark still makes a stopped transfer; none makes a whole one.
    Start("e.lgd");
    Receive("ABORT");
    Receive(kRecord + std::string("\x1a"));
    Start("e.lgd");
    Receive(kRecord + std::string("\x1a"));
    EXPECT_EQ(endings, (std::vector<bool>{true, true, false}));
    EXPECT_TRUE(view.blinkStopped);

    // A power-down notice in two pieces: what came before it stays in the file.
    Start("f.lgd");
    for (const char* chunk : {"051226#", "P", "D"})
        Receive(chunk);
    EXPECT_FALSE(session.flags.DownloadInProgress);
    EXPECT_EQ(view.statuses.back(),
              "The Locator has powered down. Any downloads may not have completed.");
    EXPECT_EQ(Written("f.lgd"), "051226#P");
}

TEST_F(ReceiveHandler, ACommandAskedForDuringASendGoesOutWholeAfterIt) {
    // The reply to "#ST" arrives while "#AE" is going out; the handler's re-request of the
    // last download date waits for "#AE" to finish.
    view.lastDownload.clear();
    pacer.onLetEventsRun = [&] {
        if (link.written == "#A" && session.flags.LastSelfTestResult.empty())
            Receive("#STP");
    };
    session.RequestLocatorTime();
    EXPECT_EQ(ports.log.StepsOf("link"),
              (Texts{"link open 1", "link [#A] long", "link dtr off", "link dtr on",
                     "link [E] long", "link [#LD] medium"}));
}

} // namespace
} // namespace tarvik
