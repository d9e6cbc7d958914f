// The link over a real pseudo-terminal, with the simulator program on the other side.

#include "common/colours.h"
#include "datafile/data_file_header.h"
#include "link/discovery.h"
#include "link/download.h"
#include "link/event_loop_pacer.h"
#include "link/link_fakes.h"
#include "link/qt_serial_port.h"
#include "link/wire_protocol.h"
#include "sim/log_generator.h"
#include "support/scripted_prompts.h"
#include "support/simulator_process.h"
#include "support/temp_dir.h"

#include <QCoreApplication>
#include <gtest/gtest.h>

#include <cstdlib>

namespace tarvik {
namespace {

class PtyLink : public ::testing::Test {
protected:
    PtyLink()
        : session(link, probe, pacer, view, prompts, clock, file1),
          discovery(session, dir / "ports.ini") {
        ::setenv("TARVIK_PORT_PATTERN", (dir.path() / "COM{n}").c_str(), 1);
        view.onUnlink = [this] { session.ClosePorts(); };
    }
    ~PtyLink() override { ::unsetenv("TARVIK_PORT_PATTERN"); }

    // Lets the event loop run until `done` or ten seconds have passed.
    bool WaitFor(const std::function<bool()>& done) { return WaitUntil(pacer, done, 10000); }

    test::TempDir dir;
    QtSerialPort link;
    QtSerialPort probe;
    EventLoopPacer pacer;
    test::RecordingView view;
    test::ScriptedPrompts prompts;
    SystemClock clock;
    SharedFileHandle file1;
    LinkSession session;
    Discovery discovery;
};

TEST_F(PtyLink, ScanFindsTheSimulatedLocatorOnComThree) {
    test::SimulatorProcess sim(dir / "COM3", {"--model", "KVZ3", "--serial", "5150", "--user",
                                              "Depot", "--firmware", "V3.1", "--last-download",
                                              "02/12/26", "--self-test", "F"});
    ASSERT_TRUE(sim.Ready());
    prompts.AnswerYes();
    discovery.ScanAndConnect();
    ASSERT_EQ(prompts.Texts(), std::vector<std::string>{
                                   "Locator type KVZ3, Serial Number 5150. Use this connection?"});
    EXPECT_EQ(view.identity.user, "Depot");
    EXPECT_EQ(view.firmware, "V3.1");
    EXPECT_EQ(session.LocatorPort, 3);
    EXPECT_TRUE(WaitFor([&] { return !session.flags.LastSelfTestResult.empty(); }));
    EXPECT_EQ(view.lastDownload, "02/12/26");
    EXPECT_EQ(session.flags.LastSelfTestResult, "Fail");
    EXPECT_EQ(test::ReadBytes(dir / "ports.ini"), "\r\n5150,3\r\n");
}

TEST_F(PtyLink, AWholeLogArrivesByteForByteInSmallChunks) {
    test::SimulatorProcess sim(dir / "COM5",
                               {"--records", "3000", "--seed", "11", "--chunk", "1-97", "--unpaced",
                                "--user", "Crew", "--serial", "42"});
    ASSERT_TRUE(sim.Ready());
    prompts.AnswerYes();
    discovery.cboLocators_Click(5); // connects and asks for the last download date
    ASSERT_TRUE(link.IsOpen());
    // Its answer to the handler's "#LD" must not land in the file.
    ASSERT_TRUE(WaitFor([&] { return view.lastDownload == "01/12/26"; }))
        << view.lastDownload << "|" << view.monitor << "|" << view.statuses.back();

    ASSERT_TRUE(file1.OpenForWriting(dir / "all.lgd"));
    bool ended = false;
    session.onTransferEnded = [&](bool) { ended = true; };
    session.flags.DownloadHeaderPending = true;
    session.senders().SendCommand(wire::kDownloadAll);
    ASSERT_TRUE(WaitFor([&] { return ended; }));

    sim::LogOptions log;
    log.seed = 11;
    log.recordCount = 3000;
    // The identity line carries the bare texts, without the reply's "_" fill.
    EXPECT_EQ(test::ReadBytes(dir / "all.lgd"),
              BuildDataFileHeader() + "Crew,KVZ3,42\r\n" + sim::GenerateLogText(log) + "\x1a");
}

TEST_F(PtyLink, ATransferAtTheRealLineSpeedArrivesWhole) {
    test::SimulatorProcess sim(dir / "COM8", {"--records", "250", "--baud", "115200"});
    ASSERT_TRUE(sim.Ready());
    prompts.AnswerYes();
    discovery.cboLocators_Click(8); // connects and asks for the last download date
    ASSERT_TRUE(link.IsOpen());
    ASSERT_TRUE(WaitFor([&] { return !view.lastDownload.empty(); }));
    ASSERT_TRUE(file1.OpenForWriting(dir / "paced.lgd"));
    bool ended = false;
    session.onTransferEnded = [&](bool) { ended = true; };
    session.flags.DownloadHeaderPending = true;
    session.senders().SendCommand(wire::kDownloadAll);
    ASSERT_TRUE(WaitFor([&] { return ended; })); // 8.5 kB: about 0.75 s on the line
    sim::LogOptions log;
    log.recordCount = 250;
    EXPECT_TRUE(test::ReadBytes(dir / "paced.lgd").ends_with(sim::GenerateLogText(log) + "\x1a"));
}

// Starts a transfer of the whole log into `file` and waits until more than `bytes` are in.
class PtyTransfer : public PtyLink {
protected:
    void StartAndWaitFor(int port, std::size_t bytes) {
        prompts.AnswerYes();
        discovery.cboLocators_Click(port); // connects and asks for the last download date
        ASSERT_TRUE(link.IsOpen());
        ASSERT_TRUE(WaitFor([&] {
            return !view.lastDownload.empty() && !session.flags.LastSelfTestResult.empty();
        }));
        ASSERT_TRUE(file1.OpenForWriting(file));
        session.flags.DownloadHeaderPending = true;
        session.senders().SendCommand(wire::kDownloadAll);
        ASSERT_TRUE(WaitFor([&] { return test::ReadBytes(file).size() > bytes; }));
        ASSERT_TRUE(session.flags.DownloadInProgress);
    }

    // What the file holds is the header and the start of the log, and nothing more comes.
    void ExpectCutCleanly(const std::string& kept) {
        EXPECT_FALSE(session.flags.DownloadInProgress);
        EXPECT_FALSE(file1.IsOpen());
        sim::LogOptions log;
        log.recordCount = kRecords;
        const std::string header = BuildDataFileHeader() + "Tarvik demo,KVZ3,00000001\r\n";
        ASSERT_TRUE(kept.starts_with(header));
        EXPECT_TRUE(sim::GenerateLogText(log).starts_with(kept.substr(header.size())));
    }

    static constexpr std::size_t kRecords = 3000; // about nine seconds at 115200 baud
    const std::filesystem::path file = dir / "cut.lgd";
};

TEST_F(PtyTransfer, DisconnectEndsItAndTheRepliesToLinkingAgainStayOutOfTheFile) {
    test::SimulatorProcess sim(dir / "COM7", {"--records", "3000", "--baud", "115200"});
    ASSERT_TRUE(sim.Ready());
    StartAndWaitFor(7, 4000);
    session.Disconnect();
    EXPECT_EQ(view.statuses.back(), LinkSession::kTransferCutStatus);
    const std::string kept = test::ReadBytes(file);
    ExpectCutCleanly(kept);

    // "FW ..#LD01/12/26#STP" must not be spliced into the cut file's records.
    view.lastDownload.clear();
    prompts.AnswerYes();
    discovery.cboLocators_Click(7); // links again and asks for "#LD" and "#ST"
    ASSERT_TRUE(WaitFor(
        [&] { return !view.lastDownload.empty() && !session.flags.LastSelfTestResult.empty(); }));
    EXPECT_EQ(test::ReadBytes(file), kept);
}

TEST_F(PtyTransfer, AnUnplugEndsItAndUnlinks) {
    auto sim = std::make_unique<test::SimulatorProcess>(
        dir / "COM9", std::vector<std::string>{"--records", "3000", "--baud", "115200"});
    ASSERT_TRUE(sim->Ready());
    StartAndWaitFor(9, 4000);
    sim->Stop();
    ASSERT_TRUE(WaitFor([&] { return view.unlinked > 0; }));
    EXPECT_EQ(view.statuses.back(),
              "The Locator was disconnected. Any downloads may not have completed.");
    EXPECT_EQ(view.identity.serial, "");
    EXPECT_EQ(view.lamp, colours::kDarkRed);
    ExpectCutCleanly(test::ReadBytes(file));
}

TEST_F(PtyLink, ALocatorThatGoesAwayEndsTheLink) {
    auto sim = std::make_unique<test::SimulatorProcess>(dir / "COM2", std::vector<std::string>{});
    ASSERT_TRUE(sim->Ready());
    prompts.AnswerYes();
    ASSERT_TRUE(discovery.ConnectToSavedPort(2));
    sim->Stop();
    EXPECT_TRUE(WaitFor([&] { return !link.IsOpen(); }));
    EXPECT_EQ(view.statuses.back(),
              "The Locator was disconnected. Any downloads may not have completed.");
    EXPECT_EQ(prompts.Texts().size(), 1u) << prompts.Texts().back(); // no comms error
}

TEST_F(PtyLink, AStopMidwayAtNineThousandSixHundredBaudEndsAsAbortedWithEveryByte) {
    // Three characters a read, so "ABORT" arrives split.
    test::SimulatorProcess sim(dir / "COM4", {"--records", "3000", "--baud", "9600", "--chunk",
                                              "3-3", "--reply-pieces", "2", "--user", "Crew"});
    ASSERT_TRUE(sim.Ready());
    prompts.AnswerYes();
    discovery.cboLocators_Click(4); // connects and asks for the last download date
    ASSERT_TRUE(link.IsOpen());
    // Both first replies in, so neither lands in the transfer.
    ASSERT_TRUE(WaitFor(
        [&] { return !view.lastDownload.empty() && !session.flags.LastSelfTestResult.empty(); }));

    test::RecordingTransferView transfer;
    CurrentDataFile current;
    LocatorIdentity fileIdentity;
    Download download(session, transfer, Folders{dir / "Documents", dir / "AppData"}, current,
                      fileIdentity);
    ASSERT_TRUE(download.cmdDownloadAll_Click());
    ASSERT_TRUE(WaitFor([&] { return session.flags.DownloadByteCount > 1000; }));
    download.cmdStop_Click();
    ASSERT_TRUE(WaitFor([&] { return transfer.overs > 0; }));

    EXPECT_EQ(view.statuses.back(), "File download aborted. Incomplete data written to file");
    EXPECT_EQ(transfer.viewerOpened, 0);
    const std::string bytes = test::ReadBytes(current.Path());
    const std::size_t records = bytes.find("\r\n", bytes.find("Crew")) + 2;
    ASSERT_TRUE(bytes.ends_with("ABORT\x1a"));
    const std::string kept = bytes.substr(records, bytes.size() - records - 6);
    sim::LogOptions log;
    log.recordCount = 3000;
    const std::string whole = sim::GenerateLogText(log);
    EXPECT_LT(kept.size(), whole.size());
    EXPECT_EQ(kept, whole.substr(0, kept.size()));
}

// Records what the pacer asks its event loop for.
class RecordingEventLoopPacer final : public EventLoopPacer {
public:
    std::vector<long> asked;

protected:
    void WaitFor(std::chrono::microseconds length) override {
        asked.push_back(static_cast<long>(length.count()));
        EventLoopPacer::WaitFor(length);
    }
};

TEST(EventLoopPacerTest, ThePausesKeepTheirRatioOfOneToFourToForty) {
    RecordingEventLoopPacer pacer;
    pacer.Wait(Pause::Short);
    pacer.Wait(Pause::Medium);
    pacer.Wait(Pause::Long);
    EXPECT_EQ(pacer.asked, (std::vector<long>{2500, 10000, 100000}));
}

} // namespace
} // namespace tarvik
