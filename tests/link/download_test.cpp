#include "common/colours.h"
#include "datafile/data_file_header.h"
#include "link/discovery.h"
#include "link/download.h"
#include "link/link_fakes.h"
#include "link/setup_commands.h"
#include "sim/log_generator.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

namespace tarvik {
namespace {

using test::Texts;

// Enough records for the log to span several days.
constexpr std::size_t kRecords = 9000;
constexpr char kRecord[] = "0512261000000017999111600-02-01P\r\n";
const char* const kPoweredDown =
    "The Locator has powered down. Any downloads may not have completed.";

std::string LogText() {
    sim::LogOptions log;
    log.recordCount = kRecords;
    return sim::GenerateLogText(log);
}

sim::LocatorSettings WithLog() {
    sim::LocatorSettings settings;
    const std::string text = LogText();
    for (std::size_t at = 0; at < text.size(); at += 34)
        settings.records.push_back(text.substr(at, 32));
    return settings;
}

class DownloadTest : public ::testing::Test, protected test::InProcessLink {
protected:
    DownloadTest() : InProcessLink({2026, 12, 5, 14, 3, 9}) {
        view.lastDownload = "01/12/26";
        view.identity = {"Crew", "KVZ3", "1234", ""};
    }

    // A locator on COM1, linked.
    sim::LocatorEngine& Plug(sim::LocatorSettings settings = WithLog()) {
        return LinkTo(1, std::move(settings));
    }
    // A transfer of everything from a locator that sends nothing unless a test delivers it.
    void StartSilent() {
        Plug(test::SilentLocator());
        ASSERT_TRUE(download.cmdDownloadAll_Click());
    }
    std::string Header() const { return BuildDataFileHeader() + "Crew,KVZ3,1234\r\n"; }
    std::filesystem::path DataFolder() const { return dir / "Documents" / "tarvik" / "data vz3"; }

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
        view.blinkStopped = false;
        ASSERT_TRUE(download.cmdDownloadAll_Click());
        EXPECT_EQ(current.folder, DataFolder());
        EXPECT_EQ(test::ReadBytes(current.Path()), Header() + LogText() + "\x1a") << chunk;
        EXPECT_FALSE(file1.IsOpen());
        EXPECT_TRUE(view.blinkStopped);
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
    const std::string text = LogText();
    const std::string first = text.substr(0, 6);
    const DateTime day{2000 + std::stoi(first.substr(4, 2)), std::stoi(first.substr(2, 2)),
                       std::stoi(first.substr(0, 2))};
    std::size_t end = 0;
    while (text.compare(end, 6, first) == 0)
        end += 34;
    ASSERT_LT(end, text.size());
    ASSERT_TRUE(download.cmdDownloadByDate_Click(day, day));
    const std::string wire = FormatWireDate(day);
    EXPECT_EQ(link.written, "#DD" + wire + ":" + wire);
    const std::string dashed = wire.substr(0, 2) + "-" + wire.substr(3, 2) + "-" + wire.substr(6);
    EXPECT_EQ(current.name,
              "1234 KVZ3 Crew [From " + dashed + " to " + dashed + "] [05122026140309].lgd");
    EXPECT_FALSE(transfer.blinkWithText);
    EXPECT_EQ(test::ReadBytes(current.Path()), Header() + text.substr(0, end) + "\x1a");
}

TEST_F(DownloadTest, TheLineAroundTheDownloadAndStopCommands) {
    Plug(test::SilentLocator());
    // Only a transfer by date empties the receive buffer first; DTR is off while sending.
    const std::vector<std::pair<std::function<void()>, Texts>> cases = {
        {[&] {
             download.cmdDownloadByDate_Click({2026, 12, 1}, {2026, 12, 5});
         },
         {"link dtr off", "link flush", "link [#DD01/12/26:05/12/26] short", "link dtr on"}},
        {[&] { download.cmdStop_Click(); }, {"link dtr off", "link [A] short", "link dtr on"}},
        {[&] {
             clock.Set({2026, 12, 5, 14, 4, 0});
             download.cmdDownloadAll_Click();
         },
         {"link dtr off", "link [#DA] short", "link dtr on"}},
    };
    for (const auto& [press, steps] : cases) {
        ports.log.Clear();
        press();
        EXPECT_EQ(ports.log.Steps(), steps);
    }
}

TEST_F(DownloadTest, ATransferWithoutRecordsOrCutBeforeAnyLeavesNoFileAndTheCurrentOneAsItWas) {
    const CurrentDataFile before{dir / "elsewhere", "mine.lgd"};
    for (bool cut : {false, true}) {
        Plug(cut ? test::SilentLocator() : sim::LocatorSettings{});
        current = before;
        fileIdentity = {"Old", "PVZ3", "9", ""};
        transfer.dataFileButtons = cut;
        prompts.Clear();
        ASSERT_TRUE(download.cmdDownloadAll_Click());
        if (cut)
            session.Disconnect();
        else
            EXPECT_EQ(prompts.Texts(), Texts{"There was no data to download for this date range."});
        EXPECT_EQ(transfer.viewerOpened, 0);
        EXPECT_TRUE(std::filesystem::is_empty(DataFolder()));
        EXPECT_EQ(current.Path(), before.Path());
        EXPECT_EQ(fileIdentity.model, "PVZ3");
        EXPECT_EQ(transfer.dataFileButtons, cut);
    }
    EXPECT_EQ(transfer.overs, 2);
}

TEST_F(DownloadTest, EveryWayOfCuttingATransferEndsItCleanly) {
    struct Case {
        const char* name;
        std::function<void()> cut;
        std::string status;
    };
    const std::vector<Case> cases = {
        {"Disconnect", [&] { session.Disconnect(); }, LinkSession::kTransferCutStatus},
        {"a saved locator", [&] { Discovery(session, dir / "p.ini").cboLocators_Click(9); },
         LinkSession::kTransferCutStatus},
        {"a power-down", [&] { Receive("05122610#PD"); }, kPoweredDown},
        {"an unplug", [&] { link.Unplug(); },
         "The Locator was disconnected. Any downloads may not have completed."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        clock.Set({2026, 12, 5, 14, static_cast<int>(&c - cases.data()), 0});
        view.statuses.clear();
        view.blinkStopped = false;
        view.identity = {"Crew", "KVZ3", "1234", ""};
        current = {dir / "elsewhere", "mine.lgd"};
        transfer.dataFileButtons = false;
        StartSilent();
        Receive(kRecord);
        download.cmdStop_Click(); // the abort timer runs
        c.cut();

        const auto shown = std::find(view.statuses.begin(), view.statuses.end(), c.status);
        EXPECT_NE(shown, view.statuses.end());
        EXPECT_EQ(current.folder, DataFolder());
        EXPECT_FALSE(session.flags.DownloadInProgress || session.flags.DownloadHeaderPending);
        EXPECT_FALSE(file1.IsOpen() || link.IsOpen() || transfer.abortTimerOn);
        EXPECT_TRUE(view.blinkStopped && transfer.dataFileButtons);
        // Whatever comes after the cut reaches no file; the cut file stays the current one.
        link.Open(1, PortRole::Link);
        Receive("0512261000010017999111600-02-01G\r\nFW 3.02#LD01/12/26#STP");
        EXPECT_EQ(test::ReadBytes(current.Path()), Header() + kRecord);
    }
    // An unplug unlinks as a power-down does.
    EXPECT_EQ(view.identity.model, "");
    EXPECT_EQ(view.lamp, colours::kDarkRed);
    EXPECT_FALSE(view.dataFileButtons);
}

TEST_F(DownloadTest, StopRepeatsUntilTheLocatorAnswersAndAStoppedFileKeepsItsData) {
    StartSilent();
    Receive(kRecord);
    download.cmdStop_Click();
    download.cmdStop_Click();
    EXPECT_TRUE(transfer.abortTimerOn);
    download.tmrAbort_Timer();
    EXPECT_EQ(link.written, "#DAAAA");

    Receive("05122610ABORT\x1a");
    EXPECT_EQ(view.statuses.back(), "File download aborted. Incomplete data written to file");
    download.tmrAbort_Timer();
    EXPECT_EQ(link.written, "#DAAAA");
    EXPECT_EQ(test::ReadBytes(current.Path()), Header() + kRecord + "05122610ABORT\x1a");
    download.cmdStop_Click();
    EXPECT_EQ(view.statuses.back(), "Download aborted successfully...");

    // The next transfer can be stopped again: the old answer does not count for it.
    clock.Set({2026, 12, 5, 14, 4, 0});
    ASSERT_TRUE(download.cmdDownloadAll_Click());
    download.cmdStop_Click();
    EXPECT_EQ(link.written, "#DAAAA#DAA");
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
    SetLocatorUser(session, std::string(40, 'u'), fileIdentity);
    EXPECT_EQ(link.written, "#DS05/12/26#TS14:03:09#FT" + std::string(40, 'u'));
    EXPECT_EQ(fileIdentity.user, std::string(40, 'u'));
    EXPECT_EQ(view.statuses, (Texts{"Setting Date", "Date set", "Setting time", "Time set",
                                    "Setting User", "User Set"}));
}

TEST(UserTextEdit, ForbiddenCharactersBeforeTheCaretAreTakenOut) {
    for (char c : std::string("*/\\?:.")) {
        const UserTextEdit edit = CheckUserTextEdit(std::string("ab") + c + "cd", 3);
        EXPECT_TRUE(edit.text == "abcd" && edit.caret == 2u && edit.removed) << c;
    }
    // Only the character before the caret is looked at (a paste of "a.b" keeps its dot).
    EXPECT_EQ(CheckUserTextEdit("a.b", 3).text, "a.b");
    EXPECT_FALSE(CheckUserTextEdit("", 0).removed);
}

TEST_F(DownloadTest, StopGoesAheadOfWaitingCommandsButNeverInsideOne) {
    StartSilent();
    // While "#AE" goes out, "#ST" is asked for and then Stop is pressed; then, while it goes
    // out again, "#ST" is asked for and the port closes: what still waits is dropped.
    std::function<void()> meanwhile = [&] {
        session.senders().SendCommandSlow("#ST");
        download.cmdStop_Click();
    };
    pacer.onLetEventsRun = [&] {
        if (meanwhile)
            std::exchange(meanwhile, nullptr)();
    };
    link.written.clear();
    session.RequestLocatorTime();
    EXPECT_EQ(link.written, "#AEA#ST");

    meanwhile = [&] {
        session.senders().SendCommandSlow("#ST");
        link.Close();
    };
    link.written.clear();
    session.RequestLocatorTime();
    link.Open(1, PortRole::Link);
    session.senders().SendCommandSlow("#LD");
    EXPECT_EQ(link.written, "##LD");
}

} // namespace
} // namespace tarvik
