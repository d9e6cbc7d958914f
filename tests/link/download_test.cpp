#include "datafile/data_file_header.h"
#include "link/discovery.h"
#include "link/download.h"
#include "link/link_fakes.h"
#include "link/setup_commands.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

namespace tarvik {
namespace {

using test::ReadBytes;
using test::Texts;

constexpr char kRecord[] = "0512261000000017999111600-02-01P\r\n";

class DownloadTest : public ::testing::Test, protected test::InProcessLink {
protected:
    DownloadTest() : InProcessLink({2026, 12, 5, 14, 3, 9}) {
        view.lastDownload = "01/12/26";
        view.identity = {"Crew", "KVZ3", "1234", ""};
    }
    static std::string Day(int day) {
        return "0" + std::to_string(day) + "12261000000017999111600-02-01P";
    }
    void StartSilent() {
        LinkTo(1, {.silent = true});
        ASSERT_TRUE(download.cmdDownloadAll_Click());
    }
    std::string Header() const { return BuildDataFileHeader() + "Crew,KVZ3,1234\r\n"; }

    test::TempDir dir;
    CurrentDataFile current;
    LocatorIdentity fileIdentity;
    Download download{session, view, Folders{dir / "Documents", dir / "AppData"}, current,
                      fileIdentity};
};

TEST_F(DownloadTest, EveryByteReachesTheFileInAnyChunkSizeAllOrByDate) {
    sim::LocatorSettings locator;
    locator.records = {Day(1), Day(2), Day(3), Day(4)};
    LinkTo(1, locator);
    int chunks = 0;
    view.onMonitor = [&] {
        if (++chunks % 3 == 0)
            file1.Close(); // what a reader opening the current file does
    };
    for (std::size_t chunk : {1u, 7u, 4096u}) {
        ports.chunkSize = chunk;
        clock.Set({2026, 12, 5, 14, 3, static_cast<int>(chunk % 60)});
        view.blinkStopped = false;
        ports.log.Clear();
        ASSERT_TRUE(download.cmdDownloadAll_Click());
        EXPECT_EQ(ports.log.Steps().at(1), "link [#DA] short");
        EXPECT_EQ(ReadBytes(current.Path()), Header() + Day(1) + "\r\n" + Day(2) + "\r\n" + Day(3) +
                                                 "\r\n" + Day(4) + "\r\n\x1a")
            << chunk;
        EXPECT_FALSE(file1.IsOpen());
        EXPECT_TRUE(view.blinkStopped);
    }
    EXPECT_EQ(current.name, "1234 KVZ3 Crew [All] [05122026140316].lgd");
    EXPECT_EQ(view.statuses.back(), "File '" + current.name + "' successfully opened");
    EXPECT_EQ(view.viewerOpened, 3);
    EXPECT_TRUE(view.blinkWithText);

    // Only a transfer by date empties the receive buffer first; its range takes the last day.
    ports.log.Clear();
    ASSERT_TRUE(download.cmdDownloadByDate_Click({2026, 12, 2}, {2026, 12, 3}));
    EXPECT_EQ(ports.log.Steps().at(1) + "|" + ports.log.Steps().at(2),
              "link flush|link [#DD02/12/26:03/12/26] short");
    EXPECT_EQ(current.name, "1234 KVZ3 Crew [From 02-12-26 to 03-12-26] [05122026140316].lgd");
    EXPECT_FALSE(view.blinkWithText);
    EXPECT_EQ(ReadBytes(current.Path()), Header() + Day(2) + "\r\n" + Day(3) + "\r\n\x1a");
}

TEST_F(DownloadTest, EveryWayOfEndingATransferEarlyKeepsWhatCameAndNoFileWithoutRecords) {
    const CurrentDataFile before{dir / "elsewhere", "mine.lgd"};
    // What ends it, whether a record came first, a status it leaves.
    const std::vector<std::tuple<const char*, bool, std::function<void()>, std::string>> cases = {
        {"no records", false, [&] { Receive("\x1a"); }, "File download complete"},
        {"Disconnect before any", false, [&] { session.Disconnect(); },
         LinkSession::kTransferCutStatus},
        {"Disconnect", true, [&] { session.Disconnect(); }, LinkSession::kTransferCutStatus},
        {"a saved locator", true, [&] { Discovery(session, dir / "p.ini").cboLocators_Click(9); },
         LinkSession::kTransferCutStatus},
        {"a power-down", true, [&] { Receive("05122610#PD"); },
         "The Locator has powered down. Any downloads may not have completed."},
        {"an unplug", true, [&] { link.Unplug(); },
         "The Locator was disconnected. Any downloads may not have completed."},
    };
    for (const auto& [name, record, cut, status] : cases) {
        SCOPED_TRACE(name);
        clock.Set({2026, 12, 5, 14, static_cast<int>(view.overs), 0}); // a new name
        view.statuses.clear();
        view.blinkStopped = view.dataFileButtons = false;
        view.identity = {"Crew", "KVZ3", "1234", ""};
        current = before;
        fileIdentity = {"Old", "PVZ3", "9", ""};
        StartSilent();
        if (record)
            Receive(kRecord);
        download.cmdStop_Click(); // the abort timer runs
        cut();
        EXPECT_NE(std::find(view.statuses.begin(), view.statuses.end(), status),
                  view.statuses.end());
        EXPECT_FALSE(session.flags.DownloadInProgress || session.flags.DownloadHeaderPending);
        EXPECT_FALSE(file1.IsOpen() || view.abortTimerOn);
        EXPECT_EQ(link.IsOpen(), name == std::string("no records"));
        EXPECT_TRUE(view.blinkStopped);
        // Whatever comes after the cut reaches no file; a cut file with data stays current.
        link.Open(1, PortRole::Link);
        Receive("0512261000010017999111600-02-01G\r\nFW 3.02#LD01/12/26#STP");
        if (record) {
            EXPECT_EQ(current.folder, dir / "Documents" / "tarvik" / "data vz3");
            EXPECT_EQ(ReadBytes(current.Path()), Header() + kRecord);
            continue;
        }
        EXPECT_TRUE(std::filesystem::is_empty(dir / "Documents" / "tarvik" / "data vz3"));
        EXPECT_EQ(current.Path(), before.Path());
        EXPECT_EQ(fileIdentity.model, "PVZ3");
        EXPECT_FALSE(view.dataFileButtons);
    }
    EXPECT_EQ(prompts.Texts()[0], "There was no data to download for this date range.");
    EXPECT_EQ(view.viewerOpened, 0);
    // An unplug unlinks as a power-down does.
    EXPECT_EQ(view.identity.model, "");
    EXPECT_EQ(view.lamp, colours::kDarkRed);
    EXPECT_FALSE(view.dataFileButtons);
}

TEST_F(DownloadTest, StopRepeatsUntilAnsweredAndGoesAheadOfWaitingCommandsButNeverInsideOne) {
    StartSilent();
    Receive(kRecord);
    ports.log.Clear();
    download.cmdStop_Click();
    EXPECT_EQ(ports.log.Steps(), (Texts{"link dtr off", "link [A] short", "link dtr on"}));
    download.cmdStop_Click();
    EXPECT_TRUE(view.abortTimerOn);
    download.tmrAbort_Timer();
    Receive("05122610ABORT\x1a");
    EXPECT_EQ(view.statuses.back(), "File download aborted. Incomplete data written to file");
    download.tmrAbort_Timer();
    EXPECT_EQ(link.written, "#DAAAA");
    EXPECT_EQ(ReadBytes(current.Path()), Header() + kRecord + "05122610ABORT\x1a");
    download.cmdStop_Click();
    EXPECT_EQ(view.statuses.back(), "Download aborted successfully...");

    // The next transfer can be stopped again: the old answer does not count for it. While
    // "#AE" goes out, "#ST" is asked for, then Stop pressed.
    clock.Set({2026, 12, 5, 14, 4, 0});
    ASSERT_TRUE(download.cmdDownloadAll_Click());
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
    // What still waits when the port closes mid-send is dropped.
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

TEST_F(DownloadTest, ADownloadWhoseFileCannotBeCreatedSendsNothingAndTheSetupCommands) {
    LinkTo(1, {.silent = true});
    test::WriteBytes(dir / "Documents" / "tarvik", "a file where the folder should be");
    EXPECT_FALSE(download.cmdDownloadAll_Click());
    EXPECT_TRUE(prompts.Texts().at(0).starts_with("The data file ")) << prompts.Texts()[0];
    EXPECT_FALSE(session.flags.DownloadHeaderPending);

    SetLocatorDate(session);
    SetLocatorTime(session);
    SetLocatorUser(session, std::string(40, 'u'), fileIdentity);
    EXPECT_EQ(link.written + "|" + fileIdentity.user,
              "#DS05/12/26#TS14:03:09#FT" + std::string(40, 'u') + "|" + std::string(40, 'u'));
    EXPECT_EQ(Texts(view.statuses.end() - 6, view.statuses.end()),
              (Texts{"Setting Date", "Date set", "Setting time", "Time set", "Setting User",
                     "User Set"}));
    // Forbidden characters are taken out before the caret only (a paste of "a.b" keeps its dot).
    for (char c : std::string("*/\\?:.")) {
        const UserTextEdit edit = CheckUserTextEdit(std::string("ab") + c + "cd", 3);
        EXPECT_TRUE(edit.text == "abcd" && edit.caret == 2u && edit.removed) << c;
    }
    EXPECT_EQ(CheckUserTextEdit("a.b", 3).text, "a.b");
    EXPECT_FALSE(CheckUserTextEdit("", 0).removed);
}

} // namespace
} // namespace tarvik
