// The link over a real pseudo-terminal, with the simulator program on the other side.

#include "datafile/data_file_header.h"
#include "link/discovery.h"
#include "link/download.h"
#include "link/event_loop_pacer.h"
#include "link/link_fakes.h"
#include "link/qt_serial_port.h"
#include "sim/log_generator.h"
#include "support/simulator_process.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

namespace tarvik {
namespace {

std::string LogOf(std::size_t records, unsigned seed = 1) {
    return sim::GenerateLogText({seed, 30, {2026, 12, 5}, records});
}

class PtyLink : public ::testing::Test {
protected:
    PtyLink() {
        ::setenv("TARVIK_PORT_PATTERN", (dir.path() / "COM{n}").c_str(), 1);
        view.onUnlink = [this] { session.ClosePorts(); };
    }
    ~PtyLink() override { ::unsetenv("TARVIK_PORT_PATTERN"); }

    std::unique_ptr<test::SimulatorProcess> Sim(int port, std::vector<std::string> options) {
        auto sim = std::make_unique<test::SimulatorProcess>(dir / ("COM" + std::to_string(port)),
                                                            std::move(options));
        EXPECT_TRUE(sim->Ready());
        return sim;
    }
    bool WaitFor(const std::function<bool()>& done) { return WaitUntil(pacer, done, 10000); }
    // Links through a saved port and waits for the replies to linking, so that none of them
    // lands in a transfer that follows.
    void Connect(int port) {
        view.lastDownload.clear();
        session.flags.LastSelfTestResult.clear();
        prompts.AnswerYes();
        discovery.cboLocators_Click(port);
        ASSERT_TRUE(WaitFor([&] {
            return !view.lastDownload.empty() && !session.flags.LastSelfTestResult.empty();
        })) << view.statuses.back();
    }
    // Downloads All as the button does, into `current`.
    void StartDownload() {
        overs = view.overs;
        ASSERT_TRUE(download.cmdDownloadAll_Click());
    }
    bool Over() { return view.overs > overs; }

    test::TempDir dir;
    QtSerialPort link, probe;
    EventLoopPacer pacer;
    test::RecordingView view;
    test::ScriptedPrompts prompts;
    SystemClock clock;
    SharedFileHandle file1;
    LinkSession session{link, probe, pacer, view, prompts, clock, file1};
    Discovery discovery{session, dir / "ports.ini"};
    CurrentDataFile current;
    LocatorIdentity fileIdentity;
    Download download{session, view, Folders{dir / "Documents", dir / "AppData"}, current,
                      fileIdentity};
    int overs = 0;
};

TEST_F(PtyLink, AScanFindsTheLocatorOnComThreeAndADeviceInUseIsToldFromAMissingOne) {
    EXPECT_FALSE(probe.Open(4, PortRole::Probe) || !probe.OpenProblem().empty());
    const auto sim = Sim(3, {"--model", "KVZ3", "--serial", "5150", "--user", "Depot", "--firmware",
                             "V3.1", "--last-download", "02/12/26", "--self-test", "F"});
    prompts.AnswerYes();
    discovery.ScanAndConnect();
    ASSERT_EQ(prompts.Texts(),
              test::Texts{"Locator type KVZ3, Serial Number 5150. Use this connection?"});
    EXPECT_EQ(view.identity.user + " " + view.firmware, "Depot V3.1");
    EXPECT_TRUE(WaitFor([&] { return !session.flags.LastSelfTestResult.empty(); }));
    EXPECT_EQ(view.lastDownload + " " + session.flags.LastSelfTestResult, "02/12/26 Fail");
    EXPECT_EQ(test::ReadBytes(dir / "ports.ini"), "\r\n5150,3\r\n");

    // The link holds COM3: a second port on it is refused for a reason the user is told.
    QtSerialPort second;
    EXPECT_FALSE(second.Open(3, PortRole::Probe));
    EXPECT_NE(second.OpenProblem().find("in use by another program"), std::string::npos);
    // Only a permission error on a device this user may not read and write asks for the group.
    EXPECT_EQ(OpenProblemText(1, "/dev/ttyUSB0", QSerialPort::PermissionError, false),
              "Port 1 (/dev/ttyUSB0) cannot be opened: your user has no permission to use it; "
              "add your user to the dialout group, then log in again.");
    EXPECT_EQ(OpenProblemText(3, "/dev/ttyACM2", QSerialPort::PermissionError, true),
              "Port 3 (/dev/ttyACM2) is in use by another program.");
    EXPECT_EQ(OpenProblemText(3, "/dev/ttyACM2", QSerialPort::DeviceNotFoundError, false) +
                  OpenProblemText(3, "", QSerialPort::PermissionError, false),
              "");
}

TEST_F(PtyLink, AWholeLogArrivesByteForByteInSmallChunks) {
    const auto sim = Sim(5, {"--records", "3000", "--seed", "11", "--chunk", "1-97", "--unpaced",
                             "--user", "Crew", "--serial", "42"});
    Connect(5);
    StartDownload();
    ASSERT_TRUE(WaitFor([&] { return Over(); }));
    // The identity line carries the bare texts, without the reply's "_" fill.
    EXPECT_EQ(test::ReadBytes(current.Path()),
              BuildDataFileHeader() + "Crew,KVZ3,42\r\n" + LogOf(3000, 11) + "\x1a");
}

// 3000 records (nine seconds at 115200 baud, ninety at 9600) cut midway: the start is kept.
TEST_F(PtyLink, StopDisconnectOrAnUnplugEndATransferMidwayKeepingEveryByteThatCame) {
    const std::string header = BuildDataFileHeader() + "Tarvik demo,KVZ3,00000001\r\n";
    const std::vector<std::string> fast = {"--records", "3000", "--baud", "115200"};
    // At 9600 baud in three characters a read, so that "ABORT" arrives split.
    const std::vector<std::string> slow = {"--records", "3000", "--baud",         "9600",
                                           "--chunk",   "3-3",  "--reply-pieces", "2"};
    for (const auto& [cause, port] :
         std::vector<std::pair<std::string, int>>{{"Stop", 4}, {"Disconnect", 7}, {"unplug", 9}}) {
        SCOPED_TRACE(cause);
        auto sim = Sim(port, cause == "Stop" ? slow : fast);
        Connect(port);
        StartDownload();
        ASSERT_TRUE(WaitFor([&] { return session.flags.DownloadByteCount > 1000; }));
        if (cause == "Stop") {
            download.cmdStop_Click();
            ASSERT_TRUE(WaitFor([&] { return Over(); }));
            EXPECT_EQ(view.statuses.back(),
                      "File download aborted. Incomplete data written to file");
        } else if (cause == "Disconnect") {
            session.Disconnect();
            EXPECT_EQ(view.statuses.back(), LinkSession::kTransferCutStatus);
        } else {
            sim->Stop();
            ASSERT_TRUE(WaitFor([&] { return view.unlinked > 0; }));
            EXPECT_EQ(view.statuses.back(),
                      "The Locator was disconnected. Any downloads may not have completed.");
            for (const std::string& text : prompts.Texts())
                EXPECT_EQ(text.find("Comms error"), std::string::npos) << text;
        }
        EXPECT_FALSE(session.flags.DownloadInProgress || file1.IsOpen());
        std::string kept = test::ReadBytes(current.Path());
        ASSERT_TRUE(kept.starts_with(header));
        kept.erase(0, header.size());
        if (cause == "Stop") {
            ASSERT_TRUE(kept.ends_with("ABORT\x1a"));
            kept.resize(kept.size() - 6);
        }
        EXPECT_LT(kept.size(), LogOf(3000).size());
        EXPECT_TRUE(LogOf(3000).starts_with(kept));
        if (cause == "Disconnect") {
            // "FW ..#LD01/12/26#STP" must not be spliced into the cut file's records.
            Connect(port);
            EXPECT_EQ(test::ReadBytes(current.Path()), header + kept);
        }
    }
    EXPECT_EQ(view.viewerOpened, 0);
}

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
    for (Pause pause : {Pause::Short, Pause::Medium, Pause::Long})
        pacer.Wait(pause);
    EXPECT_EQ(pacer.asked, (std::vector<long>{2500, 10000, 100000}));
}

} // namespace
} // namespace tarvik
