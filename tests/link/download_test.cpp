#include "common/colours.h"
#include "datafile/data_file_header.h"
#include "link/discovery.h"
#include "link/download.h"
#include "link/link_fakes.h"
#include "link/setup_commands.h"
#include "sim/log_generator.h"
#include "support/scripted_prompts.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace tarvik {
namespace {

// Enough records for the log to span several days.
constexpr std::size_t kRecords = 9000;

class DownloadTest : public ::testing::Test, protected test::InProcessLink {
protected:
    DownloadTest() : InProcessLink({2026, 12, 5, 14, 3, 9}) {
        view.lastDownload = "01/12/26";
        view.identity = {"Crew", "KVZ3", "1234", ""};
    }

    // A locator with a generated log on COM1, linked.
    sim::LocatorEngine& Plug(sim::LocatorSettings settings = Settings()) {
        return LinkTo(1, std::move(settings));
    }

    static std::string LogText() {
        sim::LogOptions log;
        log.recordCount = kRecords;
        return sim::GenerateLogText(log);
    }

    static sim::LocatorSettings Settings() {
        sim::LocatorSettings settings;
        sim::LogOptions log;
        log.recordCount = kRecords;
        sim::GenerateLog(log, [&](std::string_view record) {
            settings.records.emplace_back(record);
            return true;
        });
        return settings;
    }

    std::string Header() const { return BuildDataFileHeader() + "Crew,KVZ3,1234\r\n"; }

    test::TempDir dir;
    test::RecordingTransferView transfer;
    CurrentDataFile current;
    LocatorIdentity fileIdentity;
    Download download{session, transfer, Folders{dir / "Documents", dir / "AppData"}, current,
                      fileIdentity};
};

TEST_F(DownloadTest, EveryByteReachesTheFileWhateverTheChunkSize) {
    Plug();
    for (std::size_t chunk : {1u, 7u, 33u, 4096u}) {
        ports.chunkSize = chunk;
        clock.Set({2026, 12, 5, 14, 3, static_cast<int>(chunk % 60)});
        ASSERT_TRUE(download.cmdDownloadAll_Click());
        EXPECT_EQ(current.folder, dir / "Documents" / "tarvik" / "data vz3");
        EXPECT_EQ(test::ReadBytes(current.Path()), Header() + LogText() + "\x1a") << chunk;
        EXPECT_FALSE(file1.IsOpen());
    }
    EXPECT_EQ(current.name, "1234 KVZ3 Crew [All] [05122026140316].lgd");
    EXPECT_EQ(link.written, "#DA#DA#DA#DA");
    EXPECT_EQ(view.statuses.back(), "File '" + current.name + "' successfully opened");
    EXPECT_EQ(transfer.viewerOpened, 4);
    EXPECT_EQ(transfer.downloadedFile.serial, "1234");
    EXPECT_TRUE(transfer.blinkWithText);
    EXPECT_EQ(view.progress, 165000);
    EXPECT_TRUE(prompts.shown().empty());
}

TEST_F(DownloadTest, ByDateSendsTheRangeAndNamesTheFileByIt) {
    Plug();
    // The first day of the log only.
    const std::string first = Settings().records.front();
    const DateTime day{2000 + std::stoi(first.substr(4, 2)), std::stoi(first.substr(2, 2)),
                       std::stoi(first.substr(0, 2))};
    ASSERT_TRUE(download.cmdDownloadByDate_Click(day, day));
    const std::string wire = FormatWireDate(day);
    EXPECT_EQ(link.written, "#DD" + wire + ":" + wire);
    std::string dashed = wire;
    std::replace(dashed.begin(), dashed.end(), '/', '-');
    EXPECT_EQ(current.name,
              "1234 KVZ3 Crew [From " + dashed + " to " + dashed + "] [05122026140309].lgd");
    EXPECT_FALSE(transfer.blinkWithText);

    std::string expected;
    for (const std::string& record : Settings().records)
        if (record.substr(0, 6) == first.substr(0, 6))
            expected += record + "\r\n";
    ASSERT_LT(expected.size(), LogText().size());
    EXPECT_EQ(test::ReadBytes(current.Path()), Header() + expected + "\x1a");

    download.cmdDownloadByDate_Click({2026, 12, 1}, {2026, 12, 5});
    EXPECT_TRUE(link.written.ends_with("#DD01/12/26:05/12/26"));
}

TEST_F(DownloadTest, TheLineAroundTheDownloadAndStopCommands) {
    sim::LocatorSettings silent;
    silent.silent = true;
    Plug(silent);
    // Only a transfer by date empties the receive buffer first; DTR is off while sending.
    ports.log.Clear();
    ASSERT_TRUE(download.cmdDownloadByDate_Click({2026, 12, 1}, {2026, 12, 5}));
    EXPECT_EQ(ports.log.Steps(),
              (std::vector<std::string>{"link dtr off", "link flush",
                                        "link [#DD01/12/26:05/12/26] short", "link dtr on"}));
    ports.log.Clear();
    download.cmdStop_Click();
    EXPECT_EQ(ports.log.Steps(),
              (std::vector<std::string>{"link dtr off", "link [A] short", "link dtr on"}));

    clock.Set({2026, 12, 5, 14, 4, 0});
    ports.log.Clear();
    ASSERT_TRUE(download.cmdDownloadAll_Click());
    EXPECT_EQ(ports.log.Steps(),
              (std::vector<std::string>{"link dtr off", "link [#DA] short", "link dtr on"}));
}

TEST_F(DownloadTest, ATransferWithoutRecordsLeavesNoFileAndTheCurrentFileAsItWas) {
    Plug(sim::LocatorSettings{});
    const CurrentDataFile before{dir / "elsewhere", "mine.lgd"};
    for (bool buttons : {true, false}) {
        current = before;
        fileIdentity = {"Old", "PVZ3", "9", ""};
        transfer.dataFileButtons = buttons;
        prompts.Clear();
        ASSERT_TRUE(download.cmdDownloadAll_Click());
        EXPECT_EQ(prompts.Texts(),
                  std::vector<std::string>{"There was no data to download for this date range."});
        EXPECT_EQ(view.statuses.back(), "File download complete");
        EXPECT_EQ(transfer.viewerOpened, 0);
        EXPECT_TRUE(std::filesystem::is_empty(dir / "Documents" / "tarvik" / "data vz3"));
        EXPECT_EQ(current.Path(), before.Path());
        EXPECT_EQ(fileIdentity.model, "PVZ3");
        EXPECT_EQ(transfer.dataFileButtons, buttons);
    }
    EXPECT_EQ(transfer.overs, 2);
}

// A transfer that is still coming: the first records arrived, the rest is awaited.
class CutTransferTest : public DownloadTest {
protected:
    void SetUp() override {
        sim::LocatorSettings silent;
        silent.silent = true;
        Plug(silent);
        current = {dir / "elsewhere", "mine.lgd"};
        transfer.dataFileButtons = false;
        ASSERT_TRUE(download.cmdDownloadAll_Click());
        session.MSComm1_OnComm({PortEvent::kReceive, kFirst});
        download.cmdStop_Click(); // the abort timer runs
        view.blinkStopped = false;
    }

    // Whatever comes after the cut reaches no file, and the cut file stays the current one.
    void ExpectCutCleanly() {
        const CurrentDataFile cut = current;
        EXPECT_EQ(cut.folder, dir / "Documents" / "tarvik" / "data vz3");
        EXPECT_FALSE(session.flags.DownloadInProgress);
        EXPECT_FALSE(session.flags.DownloadHeaderPending);
        EXPECT_FALSE(file1.IsOpen());
        EXPECT_TRUE(view.blinkStopped);
        EXPECT_FALSE(transfer.abortTimerOn);
        EXPECT_TRUE(transfer.dataFileButtons);
        link.Open(1, PortRole::Link); // linked again
        session.MSComm1_OnComm({PortEvent::kReceive, "0512261000010017999111600-02-01G\r\n"});
        session.MSComm1_OnComm({PortEvent::kReceive, "FW 3.02#LD01/12/26#STP"});
        EXPECT_EQ(test::ReadBytes(cut.Path()), Header() + kFirst);
    }

    static constexpr const char* kFirst = "0512261000000017999111600-02-01P\r\n";
};

TEST_F(CutTransferTest, DisconnectEndsItAndSaysSo) {
    session.Disconnect();
    EXPECT_EQ(view.statuses.back(), LinkSession::kTransferCutStatus);
    EXPECT_FALSE(link.IsOpen());
    ExpectCutCleanly();
}

TEST_F(CutTransferTest, ChoosingASavedLocatorEndsIt) {
    Discovery discovery(session, dir / "ports.ini");
    discovery.cboLocators_Click(9); // nothing there
    EXPECT_EQ(view.statuses[view.statuses.size() - 4], LinkSession::kTransferCutStatus);
    ExpectCutCleanly();
}

TEST_F(CutTransferTest, APowerDownEndsItAndItsMessageStays) {
    session.MSComm1_OnComm({PortEvent::kReceive, "05122610#PD"});
    EXPECT_EQ(view.statuses.back(),
              "The Locator has powered down. Any downloads may not have completed.");
    ExpectCutCleanly();
}

TEST_F(CutTransferTest, AnUnplugUnlinksLikeAPowerDown) {
    link.Unplug();
    EXPECT_EQ(view.statuses.back(),
              "The Locator was disconnected. Any downloads may not have completed.");
    EXPECT_EQ(view.unlinked, 1);
    EXPECT_EQ(view.identity.model, "");
    EXPECT_EQ(view.lamp, colours::kDarkRed);
    EXPECT_EQ(view.linkControls.back(), false);
    EXPECT_FALSE(view.dataFileButtons);
    ExpectCutCleanly();
}

TEST_F(DownloadTest, ACutBeforeAnyDataLeavesNoFile) {
    sim::LocatorSettings silent;
    silent.silent = true;
    Plug(silent);
    current = {dir / "elsewhere", "mine.lgd"};
    ASSERT_TRUE(download.cmdDownloadAll_Click());
    session.Disconnect();
    EXPECT_EQ(current.Path(), dir / "elsewhere" / "mine.lgd");
    EXPECT_TRUE(std::filesystem::is_empty(dir / "Documents" / "tarvik" / "data vz3"));
}

TEST_F(DownloadTest, StopRepeatsUntilTheLocatorAnswersAndAStoppedFileKeepsItsData) {
    sim::LocatorSettings silent;
    silent.silent = true;
    Plug(silent);
    ASSERT_TRUE(download.cmdDownloadAll_Click());
    session.MSComm1_OnComm({PortEvent::kReceive, "0512261000000017999111600-02-01P\r\n"});
    download.cmdStop_Click();
    download.cmdStop_Click();
    EXPECT_EQ(link.written, "#DAAA");
    EXPECT_TRUE(transfer.abortTimerOn);
    download.tmrAbort_Timer();
    EXPECT_EQ(link.written, "#DAAAA");

    session.MSComm1_OnComm({PortEvent::kReceive, "05122610ABORT\x1a"});
    EXPECT_EQ(view.statuses.back(), "File download aborted. Incomplete data written to file");
    download.tmrAbort_Timer();
    EXPECT_EQ(link.written, "#DAAAA");
    EXPECT_EQ(test::ReadBytes(current.Path()),
              Header() + "0512261000000017999111600-02-01P\r\n05122610ABORT\x1a");

    download.cmdStop_Click();
    EXPECT_EQ(view.statuses.back(), "Download aborted successfully...");

    // The next transfer can be stopped again: the old answer does not count for it.
    clock.Set({2026, 12, 5, 14, 4, 0});
    ASSERT_TRUE(download.cmdDownloadAll_Click());
    download.cmdStop_Click();
    EXPECT_EQ(link.written, "#DAAAA#DAA");
}

TEST_F(DownloadTest, APowerDownKeepsWhatCameAndASecondDownloadWorks) {
    sim::LocatorSettings settings = Settings();
    settings.powerDownAfter = 5000;
    sim::LocatorEngine& engine = Plug(settings);
    ports.chunkSize = 300;
    ASSERT_TRUE(download.cmdDownloadAll_Click());
    EXPECT_EQ(view.statuses.back(),
              "The Locator has powered down. Any downloads may not have completed.");
    EXPECT_FALSE(link.IsOpen());
    const CurrentDataFile first = current;
    EXPECT_EQ(test::ReadBytes(first.Path()), Header() + LogText().substr(0, 5000));

    engine.Disconnected(); // switched on again
    link.Open(1, PortRole::Link);
    view.identity = {"Crew", "KVZ3", "1234", ""}; // linked again
    clock.Set({2026, 12, 5, 14, 5, 0});
    ASSERT_TRUE(download.cmdDownloadAll_Click());
    EXPECT_NE(current.name, first.name);
    EXPECT_EQ(test::ReadBytes(current.Path()), Header() + LogText().substr(0, 5000));
    EXPECT_EQ(test::ReadBytes(first.Path()), Header() + LogText().substr(0, 5000));
}

TEST_F(DownloadTest, AReaderClosingFileOneMidTransferLosesNothing) {
    Plug();
    ports.chunkSize = 500;
    view.onMonitor = [&] {
        if (view.chunksShown == 3)
            file1.Close(); // what opening the current file for reading does
    };
    ASSERT_TRUE(download.cmdDownloadAll_Click());
    EXPECT_EQ(test::ReadBytes(current.Path()), Header() + LogText() + "\x1a");
}

TEST_F(DownloadTest, AFileThatCannotBeCreatedIsReportedAndNothingIsSent) {
    Plug();
    test::WriteBytes(dir / "Documents" / "tarvik", "a file where the folder should be");
    EXPECT_FALSE(download.cmdDownloadAll_Click());
    EXPECT_EQ(link.written, "");
    ASSERT_EQ(prompts.Texts().size(), 1u);
    EXPECT_TRUE(prompts.Texts()[0].starts_with("The data file ")) << prompts.Texts()[0];
    EXPECT_FALSE(session.flags.DownloadHeaderPending);
}

TEST_F(DownloadTest, DateTimeAndUserCommands) {
    Plug();
    SetLocatorDate(session);
    SetLocatorTime(session);
    SetLocatorUser(session, "Alice", fileIdentity);
    SetLocatorUser(session, "", fileIdentity);
    SetLocatorUser(session, std::string(40, 'u'), fileIdentity);
    EXPECT_EQ(link.written, "#DS05/12/26#TS14:03:09#FTAlice" + std::string(27, ' ') + "#FT" +
                                std::string(32, ' ') + "#FT" + std::string(40, 'u'));
    EXPECT_EQ(fileIdentity.user, std::string(40, 'u'));
    EXPECT_EQ(view.statuses,
              (std::vector<std::string>{"Setting Date", "Date set", "Setting time", "Time set",
                                        "Setting User", "User Set", "Setting User", "User Set",
                                        "Setting User", "User Set"}));
}

TEST(UserTextEdit, ForbiddenCharactersBeforeTheCaretAreTakenOut) {
    for (char c : std::string("*/\\?:.")) {
        const UserTextEdit edit = CheckUserTextEdit(std::string("ab") + c + "cd", 3);
        EXPECT_EQ(edit.text, "abcd");
        EXPECT_EQ(edit.caret, 2u);
        EXPECT_TRUE(edit.removed);
    }
    // Only the character before the caret is looked at (a paste of "a.b" keeps its dot).
    EXPECT_EQ(CheckUserTextEdit("a.b", 3).text, "a.b");
    EXPECT_FALSE(CheckUserTextEdit("", 0).removed);
}

TEST_F(DownloadTest, StopGoesAheadOfWaitingCommandsButNeverInsideOne) {
    sim::LocatorSettings silent;
    silent.silent = true;
    Plug(silent);
    ASSERT_TRUE(download.cmdDownloadAll_Click());
    link.written.clear();
    // While "#AE" goes out, "#ST" is asked for and then Stop is pressed.
    int characters = 0;
    pacer.onLetEventsRun = [&] {
        if (++characters == 1) {
            session.senders().SendCommandSlow("#ST");
            download.cmdStop_Click();
        }
    };
    session.RequestLocatorTime();
    EXPECT_EQ(link.written, "#AEA#ST");

    // What still waits when the port closes is dropped.
    link.written.clear();
    characters = 0;
    pacer.onLetEventsRun = [&] {
        if (++characters == 1) {
            session.senders().SendCommandSlow("#ST");
            link.Close();
        }
    };
    session.RequestLocatorTime();
    link.Open(1, PortRole::Link);
    session.senders().SendCommandSlow("#LD");
    EXPECT_EQ(link.written, "##LD");
}

} // namespace
} // namespace tarvik
