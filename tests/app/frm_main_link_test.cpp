// The main window with simulated locators behind its serial ports: scan, saved entries, the
// port editor, transfers and their endings, the Setup tab, the certificate lookup, the keys.
#include "app/frm_about.h"
#include "app/main_window_fixture.h"
#include "link/frm_port_manage.h"

#include <QTreeWidget>
#include <cstdlib>

using namespace tarvik;
using namespace tarvik::test;

namespace {

// The saved locators offered: "serial,port " each.
std::string Entries(const frmMain& window) {
    std::string entries;
    for (int i = 0; i < window.cboLocators->count(); ++i)
        entries += window.cboLocators->itemText(i).toStdString() + "," +
                   std::to_string(window.cboLocators->itemData(i).toInt()) + " ";
    return entries;
}

const std::vector<std::string> kTwoRecords = {"0512261000000017999111600-02-01P",
                                              "0512261000010017999111600-02-01G"};

} // namespace

TEST_F(MainWindowTest, ScanLinksTheLocatorRemembersItsPortAndUnlinkingClearsIt) {
    auto window = Make();
    window->ShowIdentity({"Crew", "NVZ3", "42", ""});
    window->SetLinkControls(false); // no port open: the identity stays
    EXPECT_EQ(window->txtModel->text(), "NVZ3");
    EXPECT_FALSE(window->cmdSetUser->isEnabled());

    sim::LocatorSettings locator = Locator();
    locator.lastDownload = "28/11/26";
    ports.Plug(2, locator);
    prompts.AnswerYes(); // sure to scan
    prompts.AnswerYes(); // use this connection
    window->cmdrescan->click();
    EXPECT_EQ(Identity(*window), "KVZ3 1234 Site crew");
    EXPECT_EQ(window->lblFirmwareVersion->text() + window->lblLastDownloadDate->text(),
              "V2.0428/11/26");
    EXPECT_TRUE(window->cmdSetUser->isEnabled());
    EXPECT_EQ(Tabs(*window), "1111");
    EXPECT_EQ(Entries(*window), "1234,2 ");

    // Disconnect asks first, then closes the link; the saved entry reconnects without a scan.
    prompts.AnswerNo();
    window->cmdDisconnect->click();
    EXPECT_TRUE(window->link->AnyPortOpen());
    prompts.AnswerYes();
    window->cmdDisconnect->click();
    EXPECT_EQ(prompts.Texts().back(), "Are you sure you want to disconnect?");
    EXPECT_FALSE(window->link->AnyPortOpen());
    EXPECT_EQ(Identity(*window), "  ");
    EXPECT_EQ(window->lblUserChars->text(), "- 32 -");
    EXPECT_EQ(Tabs(*window), "1010");
    EXPECT_FALSE(window->cmdSetUser->isEnabled());
    prompts.AnswerYes();
    window->cboLocators_Click(0);
    EXPECT_EQ(window->txtModel->text(), "KVZ3");
    EXPECT_TRUE(window->link->linkPort().IsOpen());
}

TEST_F(MainWindowTest, ThePortEditorRefusesBadPortsSavesWhenToldAndAsksOnCloseAfterAChange) {
    const auto portsFile = folders.PortsFilePath();
    WriteBytes(portsFile, "old header\r\n111,3\r\n");
    ::setenv("TARVIK_PORT_PATTERN", (dir / "COM{n}").c_str(), 1);
    auto window = Make();
    ASSERT_EQ(Entries(*window), "111,3 ");
    window->cmdManagePorts_Click();
    auto* editor = window->findChild<frmPortManage*>(QStringLiteral("frmPortManage"));
    ASSERT_EQ(editor->lvPorts->topLevelItemCount(), 1);
    EXPECT_EQ(editor->lvPorts->topLevelItem(0)->text(1), "111");
    EXPECT_EQ(editor->lvPorts->topLevelItem(0)->text(2).toStdString(), (dir / "COM3").string());
    auto add = [&](const char* serial, const char* port) {
        editor->txtSerialNo->setText(serial);
        editor->txtPort->setText(port);
        editor->cmdAdd->click();
    };
    add("222", "17");
    EXPECT_EQ(prompts.Texts(),
              std::vector<std::string>{"The port must be a whole number from 1 to 16."});
    EXPECT_FALSE(editor->changed());
    add("222", "4");
    editor->cmdSave->click(); // asks nothing
    EXPECT_EQ(ReadBytes(portsFile), "\r\n111,3\r\n222,4\r\n");
    EXPECT_EQ(Entries(*window), "111,3 222,4 ");
    add("333", "5");
    prompts.AnswerNo();
    editor->cmdClose->click();
    EXPECT_EQ(prompts.Texts(),
              (std::vector<std::string>{"The port must be a whole number from 1 to 16.",
                                        "Save changes you have made to the ports list?"}));
    EXPECT_EQ(ReadBytes(portsFile), "\r\n111,3\r\n222,4\r\n");
}

TEST_F(MainWindowTest, DownloadAllOpensTheNewFileAndTheSetupTabSendsItsCommands) {
    auto window = Linked(Locator(kTwoRecords));
    auto* link = static_cast<SimulatedPorts::Port*>(&window->link->linkPort());
    window->cmdDownloadAll->setEnabled(true);
    window->cmdDownloadAll->click();
    EXPECT_EQ(window->currentDataFile.folder, folders.DataFolder());
    EXPECT_TRUE(ReadBytes(window->currentDataFile.Path())
                    .ends_with("Site crew,KVZ3,1234\r\n" + kTwoRecords[0] + "\r\n" +
                               kTwoRecords[1] + "\r\n\x1a"));
    EXPECT_EQ(window->lblStatus->text().toStdString(),
              "File '" + window->currentDataFile.name + "' successfully opened");
    EXPECT_EQ(window->tabstrip->currentIndex(), frmMain::TabAnalyse);
    EXPECT_TRUE(window->cmdAnalyse->isEnabled());
    EXPECT_TRUE(window->cmdDownloadAll->isEnabled());

    link->written.clear();
    window->cmdSetDate->click();
    window->cmdSetTime->click();
    window->txtUser->setFocus();
    window->txtUser->clear();
    QTest::keyClicks(window->txtUser, "B.o"); // "." is refused where it is typed
    EXPECT_EQ(window->txtUser->cursorPosition(), 2);
    EXPECT_EQ(window->lblUserChars->text(), "- 30 -");
    window->cmdSetUser->click();
    EXPECT_EQ(link->written, "#DS05/12/26#TS10:00:00#FTBo" + std::string(30, ' '));
    EXPECT_EQ(window->lblStatus->text(), "User Set");
    EXPECT_EQ(StatusColour(*window), VbColour(colours::kDarkGrey));
}

TEST_F(MainWindowTest, DisconnectOrUnplugDuringATransferEndsItAndTheirMessagesStay) {
    sim::LocatorSettings locator = Locator(kTwoRecords);
    locator.sendEndMark = false; // the rest of the log is still to come
    ports.chunkSize = 40;        // the Connect tab comes back with the second chunk
    auto window = Linked(locator);
    auto transferRunning = [&] {
        window->cmdDownloadAll->setEnabled(true);
        window->cmdDownloadAll->click();
        ASSERT_TRUE(window->tmrDLStatusFlash->isActive());
        window->tmrDLStatusFlash_Timer(); // work in progress shows red
        EXPECT_EQ(StatusColour(*window), VbColour(colours::kRed));
    };
    transferRunning();
    const auto file = window->currentDataFile.Path();
    ASSERT_TRUE(ReadBytes(file).ends_with("-02-01G\r\n"));
    prompts.AnswerYes();
    window->cmdDisconnect->click();
    EXPECT_FALSE(window->tmrDLStatusFlash->isActive());
    EXPECT_EQ(window->lblStatus->text(), "File download aborted. Incomplete data written to file");
    EXPECT_EQ(Tabs(*window), "1010");

    clock.Set({2026, 12, 5, 10, 0, 30}); // a new file's name
    prompts.AnswerYes();
    window->discovery->cboLocators_Click(2);
    transferRunning();
    ASSERT_NE(window->currentDataFile.Path(), file);
    static_cast<SimulatedPorts::Port*>(&window->link->linkPort())->Unplug();
    EXPECT_FALSE(window->tmrDLStatusFlash->isActive());
    EXPECT_EQ(window->lblStatus->text(),
              "The Locator was disconnected. Any downloads may not have completed.");
    EXPECT_EQ(Identity(*window), "  ");
    EXPECT_EQ(window->shpMode->palette().color(QPalette::Window), VbColour(colours::kDarkRed));
    EXPECT_EQ(Tabs(*window), "1010");
    EXPECT_FALSE(window->cmdAnalyse->isEnabled());
    EXPECT_FALSE(window->file1.IsOpen());
}

TEST_F(MainWindowTest, TheTransferFrameFollowsTheLocatorLinkedNow) {
    sim::LocatorSettings noLog = Locator(), logs = Locator();
    noLog.identity = {"Nora", "KVZ3nd", "77", "V1"};
    logs.identity = {"Olaf", "KVZ3", "78", "V1"};
    ports.Plug(6, logs);
    auto window = Linked(noLog);
    EXPECT_TRUE(window->Frame2->testAttribute(Qt::WA_Disabled));
    EXPECT_FALSE(window->dtpStart->isEnabled());

    prompts.AnswerYes(); // sure to scan
    prompts.AnswerNo();  // not Nora
    prompts.AnswerYes(); // Olaf
    window->cmdrescan->click();
    EXPECT_EQ(window->txtSerialNo->text(), "78");
    EXPECT_FALSE(window->Frame2->testAttribute(Qt::WA_Disabled));
    EXPECT_FALSE(window->cmdDownloadByDate->testAttribute(Qt::WA_Disabled));
}

TEST_F(MainWindowTest, APassOnTheChosenDayGivesACertificateInTheCertsFolder) {
    auto window = Linked(Locator(kTwoRecords));
    const CurrentDataFile before = window->currentDataFile;
    window->MonthView1->setSelectedDate(QDate(2026, 12, 5));
    window->MonthView1_DateClick();
    EXPECT_FALSE(window->MonthView1->isEnabled());
    window->selfTestLookup->tmrSTDLMonitor_Timer();

    EXPECT_TRUE(window->MonthView1->isEnabled());
    EXPECT_EQ(window->currentDataFile.Path(), before.Path());
    ASSERT_EQ(opened.size(), 1u); // through the window's document opener
    EXPECT_EQ(opened[0].parent_path(), folders.CertsFolder());
    EXPECT_TRUE(std::filesystem::exists(opened[0]));
    EXPECT_EQ(window->lblStatus->text(),
              "Certificate successfully retrieved. Go to 'Connect' tab to review.");
    EXPECT_EQ(StatusColour(*window), VbColour(colours::kDarkGrey));
}

TEST_F(MainWindowTest, KeyCombinationsOpenAboutAndTheServiceWindowAfterUnlinking) {
    auto window = Linked(Locator());
    window->show();
    QApplication::setActiveWindow(window.get());
    // Keys go where the user's typing goes: the focused control.
    window->tabstrip->setCurrentIndex(frmMain::TabAnalyse);
    window->cmdOpenExistingFile->setFocus();
    QWidget* typing = window->focusWidget() ? window->focusWidget() : window.get();
    QTest::keyPress(typing, Qt::Key_Control);
    QTest::keyPress(typing, Qt::Key_A);
    ASSERT_NE(window->findChild<frmAbout*>(QStringLiteral("frmAbout")), nullptr);

    prompts.AnswerText("millrace");
    prompts.AnswerText(std::nullopt); // no port: the window does not open
    for (Qt::Key key : {Qt::Key_Q, Qt::Key_Shift, Qt::Key_B, Qt::Key_Control}) // B adds nothing
        QTest::keyPress(typing, key);
    EXPECT_FALSE(window->link->AnyPortOpen());
    ASSERT_GE(prompts.shown().size(), 2u);
    EXPECT_EQ(prompts.shown()[0].text, "Enter your passwword");
    EXPECT_EQ(prompts.shown()[0].title, "Password");
    EXPECT_EQ(prompts.shown()[0].kind, ScriptedPrompts::Shown::Kind::HiddenText);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(window->findChild<QWidget*>(QStringLiteral("frmTools")), nullptr);
}
