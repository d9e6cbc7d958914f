#include "app/frm_about.h"
#include "app/main_window_fixture.h"
#include "link/frm_port_manage.h"

#include <cstdlib>

using namespace tarvik;
using namespace tarvik::test;

namespace {

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
    sim::LocatorSettings locator = Locator();
    locator.lastDownload = "28/11/26";
    ports.Plug(2, locator);
    prompts.AnswerYes(); // sure to scan
    prompts.AnswerYes(); // use this connection
    window->cmdrescan->click();
    EXPECT_EQ(Seen(*window), "KVZ3 1234 Site crew|1111 --|Using port number 2|#404040");
    EXPECT_EQ(window->lblFirmwareVersion->text() + window->lblLastDownloadDate->text(),
              "V2.0428/11/26");
    EXPECT_EQ(Entries(*window), "1234,2 ");

    // Disconnect asks first, then closes the link; the saved entry reconnects without a scan.
    prompts.AnswerNo();
    window->cmdDisconnect->click();
    EXPECT_TRUE(window->link->AnyPortOpen());
    prompts.AnswerYes();
    window->cmdDisconnect->click();
    EXPECT_EQ(prompts.Texts().back(), "Are you sure you want to disconnect?");
    EXPECT_FALSE(window->link->AnyPortOpen());
    EXPECT_EQ(Seen(*window), "  |1010 --||#404040");
    EXPECT_EQ(window->lblUserChars->text(), "- 32 -");
    prompts.AnswerYes();
    window->cboLocators_Click(0);
    EXPECT_EQ(window->txtModel->text(), "KVZ3");

    // Keys go where the user's typing goes, the focused control: Ctrl+A opens About,
    // Shift+Ctrl+Q unlinks and opens the service window, which asks its password first.
    window->show();
    QApplication::setActiveWindow(window.get());
    window->tabstrip->setCurrentIndex(frmMain::TabAnalyse);
    window->cmdOpenExistingFile->setFocus();
    QWidget* typing = window->focusWidget() ? window->focusWidget() : window.get();
    QTest::keyPress(typing, Qt::Key_Control);
    QTest::keyPress(typing, Qt::Key_A);
    ASSERT_NE(window->findChild<frmAbout*>(QStringLiteral("frmAbout")), nullptr);
    prompts.Clear();
    prompts.AnswerText("millrace");
    prompts.AnswerText(std::nullopt); // no port: the window does not open
    for (Qt::Key key : {Qt::Key_Q, Qt::Key_Shift, Qt::Key_B, Qt::Key_Control}) // B adds nothing
        QTest::keyPress(typing, key);
    EXPECT_FALSE(window->link->AnyPortOpen());
    EXPECT_EQ(prompts.Texts().at(0), "Enter your passwword");
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(window->findChild<QWidget*>(QStringLiteral("frmTools")), nullptr);
}

TEST_F(MainWindowTest, ThePortEditorRefusesBadPortsAndItsSaveReachesTheFileAndTheList) {
    const auto portsFile = folders.PortsFilePath();
    WriteBytes(portsFile, "old header\r\n111,3\r\n");
    ::setenv("TARVIK_PORT_PATTERN", (dir / "COM{n}").c_str(), 1);
    auto window = Make();
    window->cmdManagePorts_Click();
    auto* editor = window->findChild<frmPortManage*>(QStringLiteral("frmPortManage"));
    ASSERT_EQ(editor->lvPorts->topLevelItemCount(), 1);
    EXPECT_EQ(editor->lvPorts->topLevelItem(0)->text(2).toStdString(), (dir / "COM3").string());
    const auto add = [&](const char* serial, const char* port) {
        editor->txtSerialNo->setText(serial);
        editor->txtPort->setText(port);
        editor->cmdAdd->click();
    };
    add("222", "17");
    add("222", "4");
    editor->cmdSave->click(); // asks nothing
    EXPECT_EQ(ReadBytes(portsFile), "\r\n111,3\r\n222,4\r\n");
    EXPECT_EQ(Entries(*window), "111,3 222,4 ");
    EXPECT_EQ(prompts.Texts(),
              std::vector<std::string>{"The port must be a whole number from 1 to 16."});
}

TEST_F(MainWindowTest, DownloadAllOpensTheNewFileAndTheSetupTabSendsItsCommands) {
    auto window = Linked(Locator(kTwoRecords));
    auto* link = static_cast<SimulatedPorts::Port*>(&window->link->linkPort());
    window->cmdDownloadAll->setEnabled(true);
    window->cmdDownloadAll->click();
    EXPECT_EQ(window->currentDataFile.folder, folders.DataFolder());
    EXPECT_EQ(Seen(*window), "KVZ3 1234 Site crew|1111 VE|File '" + window->currentDataFile.name +
                                 "' successfully opened|#404040");
    EXPECT_EQ(window->tabstrip->currentIndex(), frmMain::TabAnalyse);

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
    EXPECT_TRUE(Seen(*window).ends_with("|User Set|#404040"));
}

TEST_F(MainWindowTest, DisconnectOrUnplugDuringATransferEndsItAndTheirMessagesStay) {
    sim::LocatorSettings locator = Locator(kTwoRecords);
    locator.sendEndMark = false; // the rest of the log is still to come
    ports.chunkSize = 40;        // the Connect tab comes back with the second chunk
    auto window = Linked(locator);
    const auto startTransfer = [&] {
        window->cmdDownloadAll->setEnabled(true);
        window->cmdDownloadAll->click();
        ASSERT_TRUE(window->tmrDLStatusFlash->isActive());
        window->tmrDLStatusFlash_Timer(); // work in progress shows red
        EXPECT_TRUE(Seen(*window).ends_with("|#ff0000"));
    };
    startTransfer();
    const auto file = window->currentDataFile.Path();
    ASSERT_TRUE(ReadBytes(file).ends_with("-02-01G\r\n"));
    prompts.AnswerYes();
    window->cmdDisconnect->click();
    EXPECT_FALSE(window->tmrDLStatusFlash->isActive());
    EXPECT_EQ(Seen(*window),
              "  |1010 --|File download aborted. Incomplete data written to file|#ff0000");

    clock.Set({2026, 12, 5, 10, 0, 30}); // a new file's name
    prompts.AnswerYes();
    window->discovery->cboLocators_Click(2);
    startTransfer();
    ASSERT_NE(window->currentDataFile.Path(), file);
    static_cast<SimulatedPorts::Port*>(&window->link->linkPort())->Unplug();
    EXPECT_FALSE(window->tmrDLStatusFlash->isActive());
    EXPECT_EQ(Seen(*window), "  |1010 --|The Locator was disconnected. Any downloads may not "
                             "have completed.|#ff0000");
    EXPECT_EQ(window->shpMode->palette().color(QPalette::Window), VbColour(colours::kDarkRed));
}

TEST_F(MainWindowTest, TheTransferFrameFollowsTheLocatorAndAPassGivesACertificate) {
    sim::LocatorSettings noLog = Locator(), logs = Locator(kTwoRecords);
    noLog.identity = {"Nora", "KVZ3nd", "77", "V1"};
    logs.identity = {"Olaf", "KVZ3", "78", "V1"};
    ports.Plug(6, logs);
    auto window = Linked(noLog);
    EXPECT_TRUE(window->Frame2->testAttribute(Qt::WA_Disabled) && !window->dtpStart->isEnabled());
    prompts.AnswerYes(); // sure to scan
    prompts.AnswerNo();  // not Nora
    prompts.AnswerYes(); // Olaf
    window->cmdrescan->click();
    EXPECT_EQ(window->txtSerialNo->text(), "78");
    EXPECT_FALSE(window->Frame2->testAttribute(Qt::WA_Disabled) ||
                 window->cmdDownloadByDate->testAttribute(Qt::WA_Disabled));

    const auto current = window->currentDataFile.Path();
    window->MonthView1->setSelectedDate(QDate(2026, 12, 5));
    window->MonthView1_DateClick();
    EXPECT_FALSE(window->MonthView1->isEnabled());
    window->selfTestLookup->tmrSTDLMonitor_Timer();
    EXPECT_TRUE(window->MonthView1->isEnabled());
    EXPECT_EQ(window->currentDataFile.Path(), current);
    ASSERT_EQ(opened.size(), 1u); // through the window's document opener
    EXPECT_EQ(opened[0].parent_path(), folders.CertsFolder());
    EXPECT_TRUE(std::filesystem::exists(opened[0]));
    EXPECT_TRUE(Seen(*window).ends_with(
        "|Certificate successfully retrieved. Go to 'Connect' tab to review.|#404040"));
}
