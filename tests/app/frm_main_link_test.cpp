#include "app/frm_main.h"
#include "common/colours.h"
#include "link/frm_port_manage.h"
#include "link/link_fakes.h"
#include "support/scripted_prompts.h"
#include "support/temp_dir.h"
#include "support/test_environment.h"

#include <QCalendarWidget>
#include <QComboBox>
#include <QCoreApplication>
#include <QDateEdit>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>
#include <gtest/gtest.h>

#include <cstdlib>

using namespace tarvik;

namespace {

class MainWindowLinkTest : public ::testing::Test {
protected:
    std::unique_ptr<frmMain> Make() {
        folders.documents = dir / "Documents";
        folders.appData = dir / "AppData";
        frmMain::LinkHardware hardware;
        hardware.linkPort = std::make_unique<test::SimulatedPorts::Port>(ports);
        hardware.probePort = std::make_unique<test::SimulatedPorts::Port>(ports);
        hardware.pacer = std::make_unique<test::ZeroPacer>();
        frmMain::Desktop desktop;
        desktop.openFolder = [](const std::filesystem::path&) { return true; };
        desktop.openUrl = [](const QString&) { return true; };
        desktop.openDocument = [this](const std::filesystem::path& f) {
            documents.push_back(f);
            return true;
        };
        desktop.programFolder = test::ProgramsFolder();
        auto window = std::make_unique<frmMain>(prompts, clock, folders, QString(), desktop,
                                                std::move(hardware));
        window->Form_Load();
        return window;
    }

    std::vector<std::string> Entries(const frmMain& window) const {
        std::vector<std::string> entries;
        for (int i = 0; i < window.cboLocators->count(); ++i)
            entries.push_back(window.cboLocators->itemText(i).toStdString() + "," +
                              std::to_string(window.cboLocators->itemData(i).toInt()));
        return entries;
    }

    test::TempDir dir;
    std::vector<std::filesystem::path> documents;
    Folders folders;
    test::SimulatedPorts ports;
    test::ScriptedPrompts prompts;
    FixedClock clock{DateTime{2026, 12, 5, 10, 0, 0}};
};

TEST_F(MainWindowLinkTest, ScanLinksTheLocatorAndRemembersItsPort) {
    sim::LocatorSettings locator;
    locator.identity = {"Site crew", "KVZ3", "1234", "V2.04"};
    locator.lastDownload = "28/11/26";
    ports.Plug(2, locator);
    auto window = Make();
    EXPECT_EQ(window->cboLocators->count(), 0);

    prompts.AnswerYes(); // sure to scan
    prompts.AnswerYes(); // use this connection
    window->cmdrescan->click();

    EXPECT_EQ(window->txtModel->text(), "KVZ3");
    EXPECT_EQ(window->txtSerialNo->text(), "1234");
    EXPECT_EQ(window->txtUser->text(), "Site crew");
    EXPECT_EQ(window->lblFirmwareVersion->text(), "V2.04");
    EXPECT_EQ(window->lblLastDownloadDate->text(), "28/11/26");
    EXPECT_EQ(window->link->flags.LastSelfTestResult, "Pass");
    EXPECT_TRUE(window->cmdSetUser->isEnabled());
    EXPECT_TRUE(window->tabstrip->isTabEnabled(frmMain::TabTransfer));
    EXPECT_EQ(Entries(*window), std::vector<std::string>{"1234,2"});

    // Disconnect closes the link; the saved entry reconnects without a scan.
    prompts.AnswerYes();
    window->cmdDisconnect->click();
    EXPECT_FALSE(window->link->AnyPortOpen());
    EXPECT_EQ(window->txtModel->text(), "");
    prompts.AnswerYes();
    window->cboLocators_Click(0);
    EXPECT_EQ(window->txtModel->text(), "KVZ3");
    EXPECT_TRUE(window->link->linkPort().IsOpen());
}

TEST_F(MainWindowLinkTest, ThePortEditorRefusesBadPortsAndSavesOnlyWhenAsked) {
    const auto portsFile = dir / "AppData" / "tarvik" / "ports.ini";
    test::WriteBytes(portsFile, "old header\r\n111,3\r\n");
    ::setenv("TARVIK_PORT_PATTERN", (dir / "COM{n}").c_str(), 1);
    auto window = Make();
    ASSERT_EQ(Entries(*window), std::vector<std::string>{"111,3"});

    window->cmdManagePorts_Click();
    auto* editor = window->findChild<frmPortManage*>(QStringLiteral("frmPortManage"));
    ASSERT_NE(editor, nullptr);
    ASSERT_EQ(editor->lvPorts->topLevelItemCount(), 1);
    EXPECT_EQ(editor->lvPorts->topLevelItem(0)->text(1), "111");
    EXPECT_EQ(editor->lvPorts->topLevelItem(0)->text(2).toStdString(), (dir / "COM3").string());

    editor->txtPort->setText("17");
    editor->txtSerialNo->setText("222");
    editor->cmdAdd->click();
    EXPECT_EQ(prompts.Texts(),
              std::vector<std::string>{"The port must be a whole number from 1 to 16."});
    EXPECT_FALSE(editor->changed());

    editor->txtPort->setText("4");
    editor->cmdAdd->click();
    EXPECT_TRUE(editor->changed());
    prompts.AnswerNo();
    editor->cmdClose->click();
    EXPECT_EQ(prompts.Texts().back(), "Save changes you have made to the ports list?");
    EXPECT_EQ(test::ReadBytes(portsFile), "old header\r\n111,3\r\n");
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    ASSERT_EQ(window->findChild<frmPortManage*>(QStringLiteral("frmPortManage")), nullptr);

    window->cmdManagePorts_Click();
    editor = window->findChild<frmPortManage*>(QStringLiteral("frmPortManage"));
    editor->txtPort->setText("4");
    editor->txtSerialNo->setText("222");
    editor->cmdAdd->click();
    prompts.Clear();
    editor->cmdSave->click();
    EXPECT_TRUE(prompts.shown().empty()); // Save asks nothing
    EXPECT_EQ(test::ReadBytes(portsFile), "\r\n111,3\r\n222,4\r\n");
    EXPECT_EQ(Entries(*window), (std::vector<std::string>{"111,3", "222,4"}));
    editor->cmdClose->click();
    EXPECT_TRUE(prompts.shown().empty()); // nothing changed since the save
}

TEST_F(MainWindowLinkTest, DownloadAllOpensTheNewFileAndTheSetupTabSendsItsCommands) {
    sim::LocatorSettings locator;
    locator.identity = {"Site crew", "KVZ3", "1234", "V2.04"};
    locator.records = {"0512261000000017999111600-02-01P", "0512261000010017999111600-02-01G"};
    ports.Plug(2, locator);
    auto window = Make();
    auto* link = static_cast<test::SimulatedPorts::Port*>(&window->link->linkPort());
    prompts.AnswerYes();
    window->discovery->cboLocators_Click(2);
    window->ShowIdentity({"Site crew", "KVZ3", "1234", ""}); // as a scan shows it
    prompts.Clear();

    window->cmdDownloadAll->setEnabled(true);
    window->cmdDownloadAll->click();
    const auto file = folders.DataFolder() / window->currentDataFile.name;
    EXPECT_EQ(window->currentDataFile.folder, folders.DataFolder());
    EXPECT_TRUE(test::ReadBytes(file).ends_with(
        "Site crew,KVZ3,1234\r\n0512261000000017999111600-02-01P\r\n"
        "0512261000010017999111600-02-01G\r\n\x1a"));
    EXPECT_EQ(window->lblStatus->text().toStdString(),
              "File '" + window->currentDataFile.name + "' successfully opened");
    EXPECT_EQ(window->tabstrip->currentIndex(), frmMain::TabAnalyse);
    EXPECT_TRUE(window->cmdAnalyse->isEnabled());
    EXPECT_TRUE(window->cmdDownloadAll->isEnabled());

    link->written.clear();
    window->cmdSetDate->click();
    window->cmdSetTime->click();
    window->txtUser->setText("Bo");
    window->cmdSetUser->click();
    EXPECT_EQ(link->written, "#DS05/12/26#TS10:00:00#FTBo" + std::string(30, ' '));
    EXPECT_EQ(window->lblStatus->text(), "User Set");
}

TEST_F(MainWindowLinkTest, DisconnectOrUnplugDuringATransferEndsItAndTheirMessagesStay) {
    sim::LocatorSettings locator;
    locator.identity = {"Site crew", "KVZ3", "1234", "V2.04"};
    locator.records = {"0512261000000017999111600-02-01P", "0512261000010017999111600-02-01G"};
    locator.sendEndMark = false; // the rest of the log is still to come
    ports.Plug(2, locator);
    ports.chunkSize = 40; // the Connect tab comes back with the second chunk
    auto window = Make();
    auto transferRunning = [&] {
        prompts.AnswerYes();
        window->discovery->cboLocators_Click(2);
        window->cmdDownloadAll->setEnabled(true);
        window->cmdDownloadAll->click();
        ASSERT_TRUE(window->tmrDLStatusFlash->isActive());
    };
    transferRunning();
    const auto file = window->currentDataFile.Path();
    const std::string received = test::ReadBytes(file);
    ASSERT_TRUE(received.ends_with("-02-01G\r\n"));

    prompts.AnswerYes();
    window->cmdDisconnect->click();
    EXPECT_FALSE(window->tmrDLStatusFlash->isActive());
    EXPECT_EQ(window->lblStatus->text(), "File download aborted. Incomplete data written to file");
    EXPECT_TRUE(window->tabstrip->isTabEnabled(frmMain::TabConnect));

    // Linked again: the replies to linking go nowhere near the cut file.
    clock.Set({2026, 12, 5, 10, 0, 30});
    transferRunning();
    EXPECT_EQ(test::ReadBytes(file), received);
    ASSERT_NE(window->currentDataFile.Path(), file);

    auto* link = static_cast<test::SimulatedPorts::Port*>(&window->link->linkPort());
    link->Unplug();
    EXPECT_FALSE(window->tmrDLStatusFlash->isActive());
    EXPECT_EQ(window->lblStatus->text(),
              "The Locator was disconnected. Any downloads may not have completed.");
    EXPECT_EQ(window->txtModel->text(), "");
    EXPECT_EQ(window->txtSerialNo->text(), "");
    EXPECT_EQ(window->txtUser->text(), "");
    EXPECT_EQ(window->shpMode->palette().color(QPalette::Window), VbColour(colours::kDarkRed));
    EXPECT_FALSE(window->tabstrip->isTabEnabled(frmMain::TabTransfer));
    EXPECT_FALSE(window->tabstrip->isTabEnabled(frmMain::TabSetup));
    EXPECT_TRUE(window->tabstrip->isTabEnabled(frmMain::TabConnect));
    EXPECT_FALSE(window->cmdAnalyse->isEnabled());
    EXPECT_FALSE(window->file1.IsOpen());
}

TEST_F(MainWindowLinkTest, TheTransferFrameFollowsTheLocatorLinkedNow) {
    sim::LocatorSettings noLog;
    noLog.identity = {"Nora", "KVZ3nd", "77", "V1"};
    ports.Plug(4, noLog);
    sim::LocatorSettings logs;
    logs.identity = {"Olaf", "KVZ3", "78", "V1"};
    ports.Plug(6, logs);
    auto window = Make();
    prompts.AnswerYes();
    window->discovery->cboLocators_Click(4);
    EXPECT_TRUE(window->Frame2->testAttribute(Qt::WA_Disabled));

    prompts.AnswerYes(); // sure to scan
    prompts.AnswerNo();  // not Nora
    prompts.AnswerYes(); // Olaf
    window->cmdrescan->click();
    EXPECT_EQ(window->txtSerialNo->text(), "78");
    EXPECT_FALSE(window->Frame2->testAttribute(Qt::WA_Disabled));
    EXPECT_FALSE(window->cmdDownloadByDate->testAttribute(Qt::WA_Disabled));
}

TEST_F(MainWindowLinkTest, TheEndDateNeverFallsBeforeTheStartAndTheUserBoxRefusesSomeCharacters) {
    auto window = Make();
    window->dtpStart->setDate(QDate(2026, 12, 3));
    window->dtpEnd->setDate(QDate(2026, 12, 1));
    EXPECT_EQ(window->dtpEnd->date(), QDate(2026, 12, 3));
    EXPECT_EQ(window->lblEndError->text(),
              "End date can not be before start date. End date set to start date.");
    window->dtpEnd->setDate(QDate(2026, 12, 4));
    EXPECT_EQ(window->lblEndError->text(), "");

    window->tabstrip->setTabEnabled(frmMain::TabSetup, true);
    window->txtUser->setEnabled(true);
    window->txtUser->setFocus();
    QTest::keyClicks(window->txtUser, "ab.c");
    EXPECT_EQ(window->txtUser->text(), "abc");
    EXPECT_EQ(window->txtUser->cursorPosition(), 3);
    EXPECT_EQ(window->lblUserChars->text(), "- 29 -");
}

TEST_F(MainWindowLinkTest, APassOnTheChosenDayGivesACertificateInTheCertsFolder) {
    sim::LocatorSettings locator;
    locator.identity = {"Site crew", "KVZ3", "1234", "V2.04"};
    locator.records = {"0512261000000017999111600-02-01P", "0512261000010017999111600-02-01G"};
    ports.Plug(2, locator);
    auto window = Make();
    prompts.AnswerYes();
    window->discovery->cboLocators_Click(2);
    window->ShowIdentity({"Site crew", "KVZ3", "1234", ""});
    const CurrentDataFile before = window->currentDataFile;

    window->MonthView1->setSelectedDate(QDate(2026, 12, 5));
    window->MonthView1_DateClick();
    EXPECT_FALSE(window->MonthView1->isEnabled());
    window->selfTestLookup->tmrSTDLMonitor_Timer();

    EXPECT_TRUE(window->MonthView1->isEnabled());
    EXPECT_EQ(window->currentDataFile.Path(), before.Path());
    ASSERT_EQ(documents.size(), 1u);
    EXPECT_EQ(documents[0].parent_path(), folders.CertsFolder());
    EXPECT_TRUE(std::filesystem::exists(documents[0]));
    EXPECT_EQ(window->lblStatus->text(),
              "Certificate successfully retrieved. Go to 'Connect' tab to review.");
}

TEST_F(MainWindowLinkTest, ShiftCtrlQClosesTheLinkAndAsksForThePassword) {
    sim::LocatorSettings locator;
    ports.Plug(2, locator);
    auto window = Make();
    prompts.AnswerYes();
    window->discovery->cboLocators_Click(2);
    ASSERT_TRUE(window->link->AnyPortOpen());

    prompts.Clear();
    prompts.AnswerText("millrace");
    prompts.AnswerText(std::nullopt); // no port: the window does not open
    for (int key : {16, 17, 81})
        window->Form_KeyDown(key);
    EXPECT_FALSE(window->link->AnyPortOpen());
    ASSERT_GE(prompts.shown().size(), 2u);
    EXPECT_EQ(prompts.shown()[0].text, "Enter your passwword");
    EXPECT_EQ(prompts.shown()[0].title, "Password");
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(window->findChild<QWidget*>(QStringLiteral("frmTools")), nullptr);
}

} // namespace
