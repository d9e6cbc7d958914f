// The link over a real pseudo-terminal, with the simulator program on the other side.

#include "datafile/data_file_header.h"
#include "link/discovery.h"
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
    ASSERT_TRUE(discovery.ConnectToSavedPort(5));
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
    // The identity comes from the boxes as a saved port shows them: fill characters kept.
    EXPECT_EQ(test::ReadBytes(dir / "all.lgd"),
              BuildDataFileHeader() + "Crew" + std::string(28, '_') + ",KVZ3____,42______\r\n" +
                  sim::GenerateLogText(log) + "\x1a");
}

TEST_F(PtyLink, ATransferAtTheRealLineSpeedArrivesWhole) {
    test::SimulatorProcess sim(dir / "COM8", {"--records", "250", "--baud", "115200"});
    ASSERT_TRUE(sim.Ready());
    prompts.AnswerYes();
    ASSERT_TRUE(discovery.ConnectToSavedPort(8));
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

} // namespace
} // namespace tarvik
