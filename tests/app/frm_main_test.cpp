#include "app/fitted_label.h"
#include "app/frm_about.h"
#include "app/frm_main.h"
#include "app/main_link_view.h"
#include "app/window_rules.h"
#include "datafile/data_file_header.h"
#include "support/scripted_prompts.h"
#include "support/temp_dir.h"
#include "viewer/frm_view_data.h"

#include <QApplication>
#include <QCheckBox>
#include <QDateEdit>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTest>
#include <QTextCharFormat>
#include <QTimer>
#include <gtest/gtest.h>

using namespace tarvik;
using tarvik::test::ReadBytes;
using tarvik::test::ScriptedPrompts;
using tarvik::test::TempDir;
using tarvik::test::WriteBytes;

namespace {

const std::string kRecord = "051226140309213004520070N+12-05P\r\n";

class MainWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        folders.documents = dir / "Documents";
        folders.appData = dir / "AppData";
    }

    std::unique_ptr<frmMain> Make(QString commandLine = {}) {
        frmMain::Desktop desktop;
        desktop.openFolder = [this](const std::filesystem::path& f) {
            openedFolders.push_back(f);
            return desktopOpens;
        };
        desktop.openUrl = [this](const QString& url) {
            openedUrls.push_back(url);
            return desktopOpens;
        };
        desktop.chooseDataFile = [this](const std::filesystem::path&) { return dialogAnswer; };
        auto window =
            std::make_unique<frmMain>(prompts, clock, folders, std::move(commandLine), desktop);
        window->Form_Load();
        return window;
    }

    std::filesystem::path WriteDataFile(const std::filesystem::path& file,
                                        const std::string& identity, const std::string& body) {
        WriteBytes(file, BuildDataFileHeader() + identity + "\r\n" + body);
        return file;
    }

    frmAbout* OpenAbout(frmMain& window) {
        return window.findChild<frmAbout*>(QStringLiteral("frmAbout"));
    }

    TempDir dir;
    Folders folders;
    ScriptedPrompts prompts;
    FixedClock clock{DateTime{2026, 12, 5, 14, 3, 9}};
    std::vector<std::filesystem::path> openedFolders;
    std::vector<QString> openedUrls;
    std::optional<std::filesystem::path> dialogAnswer;
    bool desktopOpens = true;
};

} // namespace

TEST_F(MainWindowTest, StartsUnlinkedOnTheConnectTab) {
    auto window = Make();
    EXPECT_EQ(window->windowTitle(), "Tarvik VZ3 Locator PC Toolkit (V1.4)");
    EXPECT_EQ(window->tabstrip->currentIndex(), frmMain::TabConnect);
    EXPECT_FALSE(window->tabstrip->isTabEnabled(frmMain::TabTransfer));
    EXPECT_FALSE(window->tabstrip->isTabEnabled(frmMain::TabSetup));
    EXPECT_TRUE(window->tabstrip->isTabEnabled(frmMain::TabAnalyse));
    EXPECT_FALSE(window->cmdAnalyse->isEnabled());
    EXPECT_FALSE(window->cmdExportCSV->isEnabled());
    EXPECT_FALSE(window->cmdSetUser->isEnabled());
    EXPECT_TRUE(window->cmdDownloadAll->isHidden());
    EXPECT_EQ(window->ProgressBar1->maximum(), 165000);
    EXPECT_EQ(window->lblStatus->text(), "Ready...");
    EXPECT_EQ(window->lblUserChars->text(), "-32 left-");
    EXPECT_TRUE(std::filesystem::is_directory(folders.DataFolder()));
}

TEST_F(MainWindowTest, CommandLineFileOpensFromItsOwnFolderOnceTheWindowIsReady) {
    const auto file =
        WriteDataFile(dir / "elsewhere" / "x.lgd", "Crew 7,KVZ3,12345678", kRecord + "\x1a");
    // A file of the same name in the data folder must not be the one opened.
    WriteDataFile(folders.DataFolder() / "x.lgd", "Other,NVZ3,1", kRecord);
    auto window = Make("\"" + QString::fromStdString(file.string()) + "\"");
    EXPECT_TRUE(window->txtModel->text().isEmpty());
    QApplication::processEvents();

    EXPECT_EQ(window->txtModel->text(), "KVZ3");
    EXPECT_EQ(window->txtSerialNo->text(), "12345678");
    EXPECT_EQ(window->txtUser->text(), "Crew 7");
    EXPECT_EQ(window->lblUserChars->text(), "- 26 -");
    EXPECT_EQ(window->lblStatus->text(), "File 'x.lgd' successfully opened");
    EXPECT_TRUE(window->cmdAnalyse->isEnabled());
    EXPECT_TRUE(window->cmdExportCSV->isEnabled());
    EXPECT_EQ(window->currentDataFile.Path(), file);
    EXPECT_TRUE(window->commandLine.isEmpty());

    // A later Open shows the dialog again.
    dialogAnswer = std::nullopt;
    window->cmdOpenExistingFile->click();
    EXPECT_TRUE(window->lblStatus->text().isEmpty());
}

TEST_F(MainWindowTest, OpenShowsTheViewerInPlaceOfTheMainWindow) {
    const auto file = WriteDataFile(dir / "x.lgd", "Crew 7,KVZ3,12345678", kRecord + "\x1a");
    auto window = Make();
    window->show();
    dialogAnswer = file;
    window->cmdOpenExistingFile->click();
    auto* viewer = window->findChild<frmViewData*>();
    ASSERT_NE(viewer, nullptr);
    EXPECT_TRUE(viewer->isVisible());
    EXPECT_FALSE(window->isVisible());

    viewer->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(window->isVisible());

    // View Current opens it again, and a second View Current only brings it forward.
    window->cmdAnalyse->click();
    window->cmdAnalyse->click();
    EXPECT_EQ(window->findChildren<frmViewData*>().size(), 1);
    EXPECT_TRUE(window->isVisible());
}

TEST_F(MainWindowTest, FilesWithoutDataOrWithADamagedIdentityAreRefused) {
    auto window = Make();
    const std::string noData = "This file contains no data, please choose another";
    for (const auto& file :
         {WriteDataFile(dir / "identity-only.lgd", "Crew,KVZ3,1", "\x1a"), dir / "missing.lgd"}) {
        prompts.Clear();
        dialogAnswer = file;
        window->cmdOpenExistingFile->click();
        ASSERT_EQ(prompts.Texts(), std::vector<std::string>{noData}) << file;
        EXPECT_FALSE(window->cmdAnalyse->isEnabled());
    }

    prompts.Clear();
    dialogAnswer = WriteDataFile(dir / "damaged.lgd", "Crew,KVZ3", kRecord);
    window->cmdOpenExistingFile->click();
    ASSERT_EQ(prompts.shown().size(), 1u);
    EXPECT_EQ(prompts.shown()[0].text.rfind("There is a problem with the header line in the "
                                            "locator's data file. Please correct and try again "
                                            "or contact Tarvik support at ",
                                            0),
              0u);
    EXPECT_TRUE(window->txtModel->text().isEmpty());
}

TEST_F(MainWindowTest, ExportWritesIntoTheCsvFolderAndSaysSo) {
    auto window = Make();
    dialogAnswer = WriteDataFile(dir / "in" / "x.lgd", "Crew,NVZ3,9", kRecord + "\x1a");
    window->cmdOpenExistingFile->click();
    prompts.Clear();
    window->cmdExportCSV->click();
    EXPECT_EQ(prompts.Texts(), std::vector<std::string>{"CSV file succesfully saved"});
    const std::string csv = ReadBytes(folders.CsvFolder() / "x.lgd.csv");
    EXPECT_EQ(csv.rfind("Crew,NVZ3,9\r\nDate,Time,", 0), 0u);
    EXPECT_NE(csv.find("05/12/26,14:03:09,T,8KHz,"), std::string::npos); // NVZ3: transmitter
}

TEST_F(MainWindowTest, AdvancedShowsAndHidesTheExtraButtons) {
    auto window = Make();
    window->show();
    window->chkAdvanced->setChecked(true);
    window->chkAdvanced_Click();
    EXPECT_EQ(window->tabstrip->currentIndex(), frmMain::TabTransfer);
    EXPECT_TRUE(window->cmdDownloadAll->isVisibleTo(window.get()));
    EXPECT_TRUE(window->cmdStop->isEnabledTo(window->tabstrip->widget(frmMain::TabTransfer)));
    EXPECT_TRUE(window->cmdManagePorts->isEnabled());

    window->tabstrip->setCurrentIndex(frmMain::TabAnalyse);
    window->chkAdvanced->setChecked(false);
    window->chkAdvanced_Click();
    EXPECT_EQ(window->tabstrip->currentIndex(), frmMain::TabAnalyse);
    EXPECT_FALSE(window->cmdDownloadAll->isVisibleTo(window.get()));
    EXPECT_FALSE(window->cmdStop->isEnabledTo(window->tabstrip->widget(frmMain::TabTransfer)));
}

TEST_F(MainWindowTest, AboutBoxWithAndWithoutFirmware) {
    auto window = Make();
    window->Command1->click();
    frmAbout* about = OpenAbout(*window);
    ASSERT_NE(about, nullptr);
    EXPECT_EQ(about->windowTitle(), "About Tarvik Locator Bluetooth Toolkit");
    EXPECT_EQ(about->lblVersion->text(), "1.4");
    EXPECT_EQ(about->lblFVersion->text(), "Please connect to a locator and reopen this box");
    about->cmdSupport->click();
    ASSERT_EQ(openedUrls.size(), 1u);
    delete about;

    window->FirmwareVersionText = "V2.07";
    window->Command1->click();
    about = OpenAbout(*window);
    ASSERT_NE(about, nullptr);
    EXPECT_EQ(about->lblFVersion->text(), "Firmware version: V2.07");
}

TEST_F(MainWindowTest, KeyCombinationsThroughRealKeyPresses) {
    auto window = Make();
    int serviceOpened = 0;
    int portsClosed = 0;
    window->OpenServiceWindow = [&] { ++serviceOpened; };
    window->CloseSerialPorts = [&] { ++portsClosed; };
    window->show();
    QApplication::setActiveWindow(window.get());
    // Keys go where the user's typing goes: the focused control.
    window->txtUser->setEnabled(true);
    window->tabstrip->setCurrentIndex(frmMain::TabAnalyse);
    window->cmdOpenExistingFile->setFocus();
    QWidget* typing = window->focusWidget() ? window->focusWidget() : window.get();

    QTest::keyPress(typing, Qt::Key_Control);
    QTest::keyPress(typing, Qt::Key_A);
    ASSERT_NE(OpenAbout(*window), nullptr);
    delete OpenAbout(*window);

    QTest::keyPress(typing, Qt::Key_Q);
    QTest::keyPress(typing, Qt::Key_Shift);
    QTest::keyPress(typing, Qt::Key_B); // adds nothing
    QTest::keyPress(typing, Qt::Key_Control);
    EXPECT_EQ(serviceOpened, 1);
    EXPECT_EQ(portsClosed, 1);
}

TEST_F(MainWindowTest, UnlinkingClearsTheIdentityOnlyWhenAPortWasOpen) {
    auto window = Make();
    bool portOpen = false;
    window->AnySerialPortOpen = [&] { return portOpen; };
    window->CloseSerialPorts = [&] { portOpen = false; };
    window->ShowIdentity({"Crew", "KVZ3", "42", ""});
    window->lblStatus->setText("something");

    window->SetLinkControls(false);
    EXPECT_EQ(window->txtModel->text(), "KVZ3"); // no port open: identity stays
    EXPECT_EQ(window->lblStatus->text(), "something");

    portOpen = true;
    window->tabstrip->setTabEnabled(frmMain::TabSetup, true);
    window->SetLinkControls(true);
    QWidget* transfer = window->tabstrip->widget(frmMain::TabTransfer);
    EXPECT_TRUE(window->cmdSetUser->isEnabledTo(window->tabstrip->widget(frmMain::TabSetup)));
    EXPECT_TRUE(window->cmdDownloadByDate->isEnabledTo(transfer));
    window->SetLinkControls(false);
    EXPECT_FALSE(portOpen);
    EXPECT_TRUE(window->txtModel->text().isEmpty());
    EXPECT_EQ(window->lblUserChars->text(), "- 32 -");
    EXPECT_TRUE(window->lblStatus->text().isEmpty());
    EXPECT_FALSE(window->tabstrip->isTabEnabled(frmMain::TabSetup));
    EXPECT_FALSE(window->cmdSetUser->isEnabledTo(window->tabstrip->widget(frmMain::TabSetup)));

    window->link->flags.NoLogModel = true;
    portOpen = true;
    window->SetLinkControls(true);
    EXPECT_FALSE(window->cmdDownloadAll->isEnabledTo(transfer));
    EXPECT_FALSE(window->dtpStart->isEnabledTo(transfer));
}

TEST_F(MainWindowTest, DisconnectAsksFirstAndFolderButtonsCreateTheirFolders) {
    auto window = Make();
    prompts.AnswerNo();
    window->FirmwareVersionText = "V1";
    window->cmdDisconnect_Click();
    EXPECT_EQ(window->FirmwareVersionText, "V1");
    prompts.AnswerYes();
    window->cmdDisconnect_Click();
    EXPECT_TRUE(window->FirmwareVersionText.isEmpty());
    EXPECT_EQ(prompts.Texts().back(), "Are you sure you want to disconnect?");

    window->cmdOpenCertFolder->click();
    window->cmdOpenImageFolder->click();
    ASSERT_EQ(openedFolders.size(), 2u);
    EXPECT_EQ(openedFolders[0], folders.DataFolder() / "Certs");
    EXPECT_TRUE(std::filesystem::is_directory(openedFolders[0]));
    EXPECT_TRUE(std::filesystem::is_directory(openedFolders[1]));
}

TEST_F(MainWindowTest, StatusFlashBlinksTheMessageCountTimes) {
    auto window = Make();
    window->FlashStatusMessage(2, "Hello");
    EXPECT_EQ(window->lblStatus->text(), "Hello");
    QStringList seen;
    for (int tick = 0; tick < 4; ++tick) {
        ASSERT_TRUE(window->tmrFlashStatusMessage->isActive());
        window->tmrFlashStatusMessage_Timer();
        seen << window->lblStatus->text();
    }
    EXPECT_EQ(seen, (QStringList{"Hello", "", "Hello", ""}));
    EXPECT_FALSE(window->tmrFlashStatusMessage->isActive());
}

TEST_F(MainWindowTest, TheWindowKeepsItsSizeAndControlsWhateverTheMonitorAndStatusShow) {
    auto window = Make();
    window->show();
    window->chkAdvanced->setChecked(true);
    window->chkAdvanced_Click(); // the Transfer tab, with Stop
    QApplication::processEvents();
    const QSize size = window->size();
    const QPoint stop = window->cmdStop->mapTo(window.get(), QPoint());
    const QPoint exit = window->cmdExit->mapTo(window.get(), QPoint());

    std::string chunk;
    for (int line = 0; line < 40; ++line)
        chunk += "0512261403" + std::to_string(10 + line) + "213004520070N+12-05P\r\n";
    for (const std::string& shown : {chunk, chunk.substr(0, 70), chunk + "ABORT\x1a"}) {
        window->linkView->ShowMonitor(shown);
        window->SetStatus(QString::fromStdString(std::string(300, 'x') + " progress"));
        QApplication::processEvents();
        EXPECT_EQ(window->size(), size);
        EXPECT_EQ(window->cmdStop->mapTo(window.get(), QPoint()), stop);
        EXPECT_EQ(window->cmdExit->mapTo(window.get(), QPoint()), exit);
    }
    // One line: CR and LF each a space, the end mark and other control characters left out.
    EXPECT_EQ(window->lblMonitor->text(), QString::fromStdString(MonitorLine(chunk + "ABORT\x1a")));
    EXPECT_FALSE(window->lblMonitor->text().contains(QChar(0x1a)));
    const auto* monitor = static_cast<const FittedLabel*>(window->lblMonitor);
    EXPECT_FALSE(monitor->ShownText().contains('\n'));
    EXPECT_TRUE(monitor->ShownText().endsWith(QChar(0x2026))); // cut at its width
    // The window fits a 1280 x 800 screen with room for its frame.
    EXPECT_LE(size.width(), 1280);
    EXPECT_LE(size.height(), 740);
}

TEST_F(MainWindowTest, CommandLineOpenFillsTheViewerAsOpenDoes) {
    const auto file = WriteDataFile(dir / "x.lgd", "Crew 7,KVZ3,12345678",
                                    kRecord + "061226140309213004520070N+12-05P\r\n\x1a");
    auto window = Make("\"" + QString::fromStdString(file.string()) + "\"");
    window->show();
    QApplication::processEvents();
    auto* viewer = window->findChild<frmViewData*>();
    ASSERT_NE(viewer, nullptr);
    EXPECT_TRUE(viewer->isVisible());
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(viewer->txtUser->text(), "Crew 7");
    EXPECT_EQ(viewer->txtModel->text(), "KVZ3");
    EXPECT_EQ(viewer->txtSerial->text(), "12345678");
    EXPECT_EQ(viewer->lblModeKeyGenLetter->text(), "G");
    EXPECT_TRUE(viewer->optView[0]->isChecked());
    EXPECT_EQ(viewer->records().rowCount(), 2);
    EXPECT_EQ(viewer->lblUsageTime.seconds->text().toStdString().substr(0, 1), "2");
    EXPECT_EQ(viewer->MonthView1->dateTextFormat(QDate(2026, 12, 6)).fontWeight(), QFont::Bold);
}

TEST_F(MainWindowTest, ARefusedFileChangesNothing) {
    const auto good = WriteDataFile(dir / "good.lgd", "Crew 7,KVZ3,12345678", kRecord);
    bool portOpen = false;
    auto window = Make();
    window->AnySerialPortOpen = [&] { return portOpen; };
    window->CloseSerialPorts = [&] { portOpen = false; };
    dialogAnswer = good;
    window->cmdOpenExistingFile->click();
    delete window->findChild<frmViewData*>();
    window->show();
    portOpen = true; // a locator linked since
    const QString status = window->lblStatus->text();
    const QColor colour = window->lblStatus->palette().color(QPalette::WindowText);
    EXPECT_EQ(colour, VbColour(colours::kDarkGrey)); // a success

    for (const auto& refused :
         {WriteDataFile(dir / "damaged.lgd", "Crew,KVZ3", kRecord),
          WriteDataFile(dir / "notes.txt", "just some notes", "more notes\r\n"),
          WriteDataFile(dir / "empty.lgd", "Crew,KVZ3,1", "")}) {
        prompts.Clear();
        dialogAnswer = refused;
        window->cmdOpenExistingFile->click();
        EXPECT_EQ(prompts.shown().size(), 1u) << refused;
        EXPECT_EQ(window->lblStatus->text(), status) << refused;
        EXPECT_EQ(window->lblStatus->palette().color(QPalette::WindowText), colour);
        EXPECT_EQ(window->currentDataFile.Path(), good);
        EXPECT_EQ(window->txtModel->text(), "KVZ3");
        EXPECT_EQ(window->currentFileIdentity.serial, "12345678");
        EXPECT_TRUE(window->cmdAnalyse->isEnabled());
        EXPECT_TRUE(portOpen) << "the link was lost for a refused file";
        EXPECT_EQ(window->findChild<frmViewData*>(), nullptr);
    }
}

TEST_F(MainWindowTest, TheDesktopsRefusalIsToldWithThePath) {
    auto window = Make();
    desktopOpens = false;
    window->cmdOpenImageFolder->click();
    ASSERT_EQ(prompts.shown().size(), 1u);
    EXPECT_NE(prompts.shown()[0].text.find(folders.ImagesFolder().string()), std::string::npos);
    EXPECT_EQ(prompts.shown()[0].icon, PromptIcon::Warning);

    window->Command1->click();
    frmAbout* about = OpenAbout(*window);
    ASSERT_NE(about, nullptr);
    about->cmdSupport->click();
    ASSERT_EQ(prompts.shown().size(), 2u);
    EXPECT_NE(prompts.shown()[1].text.find(openedUrls.at(0).toStdString()), std::string::npos);

    desktopOpens = true;
    prompts.Clear();
    window->cmdOpenCertFolder->click();
    EXPECT_TRUE(prompts.shown().empty());
}

TEST_F(MainWindowTest, AboutClosesWithItsButton) {
    auto window = Make();
    window->show();
    window->Command1->click();
    QPointer<frmAbout> about = OpenAbout(*window);
    ASSERT_NE(about, nullptr);
    EXPECT_TRUE(about->isVisible());
    QTest::mouseClick(about->cmdClose, Qt::LeftButton);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(about.isNull());
}

TEST_F(MainWindowTest, DatePickersTakeTypedDatesAndOfferACalendar) {
    auto window = Make();
    window->show();
    window->tabstrip->setTabEnabled(frmMain::TabTransfer, true);
    window->tabstrip->setCurrentIndex(frmMain::TabTransfer);
    QApplication::setActiveWindow(window.get());
    for (QDateEdit* picker : {window->dtpStart, window->dtpEnd}) {
        EXPECT_TRUE(picker->calendarPopup());
        EXPECT_EQ(picker->displayFormat(), "dd/MM/yy");
    }
    // A click on the day part, then the digits: the day, the month and the year in turn.
    QTest::mouseClick(window->dtpStart, Qt::LeftButton, {},
                      QPoint(6, window->dtpStart->height() / 2));
    QTest::keyClicks(window->dtpStart, "011126");
    EXPECT_EQ(window->dtpStart->date(), QDate(2026, 11, 1));
}

TEST_F(MainWindowTest, SuccessIsDarkGreyAndWorkInProgressRed) {
    auto window = Make();
    window->tmrDLStatusFlash_Timer();
    EXPECT_EQ(window->lblStatus->text(), "Downloading data from the locator, please wait.");
    EXPECT_EQ(window->lblStatus->palette().color(QPalette::WindowText), VbColour(colours::kRed));
    window->FlashStatusMessage(1, "Certificate successfully retrieved.", colours::kDarkGrey);
    EXPECT_EQ(window->lblStatus->palette().color(QPalette::WindowText),
              VbColour(colours::kDarkGrey));
}
