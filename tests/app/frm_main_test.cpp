// The main window without a locator: start-up, opening files, the viewer, export and report,
// About and the desktop, the window's steady size and the date pickers.
#include "app/fitted_label.h"
#include "app/frm_about.h"
#include "app/main_link_view.h"
#include "app/main_window_fixture.h"
#include "support/run_command.h"
#include "viewer/frm_view_data.h"

using namespace tarvik;
using namespace tarvik::test;

namespace {

frmAbout* AboutOf(frmMain& window) {
    return window.findChild<frmAbout*>(QStringLiteral("frmAbout"));
}

const std::string kNoData = "This file contains no data, please choose another";
const std::string kDamaged = "There is a problem with the header line in the locator's data file. "
                             "Please correct and try again or contact Tarvik support at ";

} // namespace

TEST_F(MainWindowTest, StartsUnlinkedThenOpensTheCommandLineFileAsOpenDoes) {
    const auto file = DataFile(dir / "elsewhere" / "x.lgd", "Crew 7,KVZ3,12345678",
                               kRecord + "061226140309213004520070N+12-05P\r\n\x1a");
    // A file of the same name in the data folder must not be the one opened.
    DataFile(folders.DataFolder() / "x.lgd", "Other,NVZ3,1", kRecord);
    auto window = Make("\"" + QString::fromStdString(file.string()) + "\"");
    EXPECT_EQ(window->windowTitle(), "Tarvik VZ3 Locator PC Toolkit (V1.4)");
    EXPECT_EQ(window->tabstrip->currentIndex(), frmMain::TabConnect);
    EXPECT_EQ(Tabs(*window), "1010");
    EXPECT_FALSE(window->cmdExportCSV->isEnabled());
    EXPECT_EQ(window->lblStatus->text(), "Ready...");
    EXPECT_EQ(Identity(*window), "  "); // opened once the window is ready

    window->show();
    QApplication::processEvents();
    EXPECT_EQ(Identity(*window), "KVZ3 12345678 Crew 7");
    EXPECT_EQ(window->lblUserChars->text(), "- 26 -");
    EXPECT_EQ(window->lblStatus->text(), "File 'x.lgd' successfully opened");
    EXPECT_EQ(StatusColour(*window), VbColour(colours::kDarkGrey));
    EXPECT_TRUE(window->cmdExportCSV->isEnabled());
    EXPECT_EQ(window->currentDataFile.Path(), file);
    EXPECT_TRUE(window->commandLine.isEmpty());
    auto* viewer = window->findChild<frmViewData*>();
    ASSERT_NE(viewer, nullptr);
    EXPECT_TRUE(viewer->isVisible() && !window->isVisible());
    EXPECT_EQ(viewer->txtUser->text() + viewer->txtModel->text() + viewer->txtSerial->text() +
                  viewer->lblModeKeyGenLetter->text() + viewer->lblUsageTime.seconds->text(),
              "Crew 7KVZ312345678G2 Secs");
    EXPECT_TRUE(viewer->optView[0]->isChecked());
    EXPECT_EQ(viewer->records().rowCount(), 2);
    EXPECT_EQ(viewer->MonthView1->dateTextFormat(QDate(2026, 12, 6)).fontWeight(), QFont::Bold);

    // Closed, the viewer gives the main window back; View Current opens it once again.
    viewer->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(window->isVisible());
    for (int click = 0; click < 2; ++click)
        window->cmdAnalyse->click();
    EXPECT_EQ(window->findChildren<frmViewData*>().size(), 1);
    EXPECT_TRUE(window->isVisible());
}

TEST_F(MainWindowTest, ARefusedFileChangesNothingAndSaysWhy) {
    auto window = Make();
    const auto good = DataFile(dir / "good.lgd", "Crew 7,KVZ3,12345678", kRecord);
    ASSERT_TRUE(window->OpenDataFile(good));
    delete window->findChild<frmViewData*>();
    ports.Plug(2, Locator());
    prompts.AnswerYes();
    window->discovery->cboLocators_Click(2); // a locator linked since
    const QString status = window->lblStatus->text();
    const QColor colour = StatusColour(*window);

    const std::pair<std::filesystem::path, std::string> refused[] = {
        {DataFile(dir / "damaged.lgd", "Crew,KVZ3", kRecord), kDamaged},
        {DataFile(dir / "notes.txt", "just some notes", "more notes\r\n"), kDamaged},
        {DataFile(dir / "identity-only.lgd", "Crew,KVZ3,1", "\x1a"), kNoData},
        {DataFile(dir / "empty.lgd", "Crew,KVZ3,1", ""), kNoData},
        {dir / "missing.lgd", kNoData}};
    for (const auto& [file, message] : refused) {
        prompts.Clear();
        dialogAnswer = file;
        window->cmdOpenExistingFile->click();
        ASSERT_EQ(prompts.shown().size(), 1u) << file;
        EXPECT_TRUE(prompts.shown()[0].text.starts_with(message)) << file;
        EXPECT_EQ(window->lblStatus->text(), status) << file;
        EXPECT_EQ(StatusColour(*window), colour);
        EXPECT_EQ(window->currentDataFile.Path(), good);
        EXPECT_EQ(Identity(*window), "KVZ3 1234 Site crew"); // the linked locator's
        EXPECT_TRUE(window->cmdAnalyse->isEnabled());
        EXPECT_TRUE(window->link->AnyPortOpen()) << "the link was lost for a refused file";
        EXPECT_EQ(window->findChild<frmViewData*>(), nullptr);
    }
}

TEST_F(MainWindowTest, ExportAndTheViewersReportWriteIntoTheirFolders) {
    auto window = Make();
    dialogAnswer = DataFile(dir / "in" / "x.lgd", "Crew,NVZ3,9", kRecord + "\x1a");
    window->cmdOpenExistingFile->click();
    prompts.Clear();
    window->cmdExportCSV->click();
    EXPECT_EQ(prompts.Texts(), std::vector<std::string>{"CSV file succesfully saved"});
    const std::string csv = ReadBytes(folders.CsvFolder() / "x.lgd.csv");
    EXPECT_TRUE(csv.starts_with("Crew,NVZ3,9\r\nDate,Time,"));
    EXPECT_NE(csv.find("05/12/26,14:03:09,T,8KHz,"), std::string::npos); // NVZ3: transmitter

    window->findChild<frmViewData*>()->cmdReport->click();
    ASSERT_EQ(opened.size(), 1u); // through the window's document opener
    EXPECT_EQ(opened[0], folders.ReportsFolder() / "9 NVZ3 Crew [All] [Report].pdf");
    EXPECT_EQ(RunCommand("qpdf --check " + ShellQuoted(opened[0]) + " >/dev/null").exitCode, 0);
    EXPECT_NE(RunCommand("pdftotext " + ShellQuoted(opened[0]) + " -").output.find("NVZ3"),
              std::string::npos);
    EXPECT_EQ(prompts.Texts().size(), 1u);
}

TEST_F(MainWindowTest, AboutAndTheFolderButtonsAndWhatTheDesktopCouldNotOpen) {
    auto window = Make();
    window->show();
    window->Command1->click();
    QPointer<frmAbout> about = AboutOf(*window);
    ASSERT_NE(about, nullptr);
    EXPECT_EQ(about->windowTitle() + about->lblVersion->text() + about->lblFVersion->text(),
              "About Tarvik Locator Bluetooth Toolkit1.4Please connect to a locator and reopen "
              "this box");
    QTest::mouseClick(about->cmdClose, Qt::LeftButton);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(about.isNull());

    window->FirmwareVersionText = "V2.07";
    window->Command1->click();
    EXPECT_EQ(AboutOf(*window)->lblFVersion->text(), "Firmware version: V2.07");
    window->cmdOpenCertFolder->click(); // folders are made before they are shown
    EXPECT_EQ(opened, std::vector<std::filesystem::path>{folders.CertsFolder()});
    EXPECT_TRUE(std::filesystem::is_directory(folders.CertsFolder()));
    EXPECT_TRUE(prompts.shown().empty());

    desktopOpens = false;
    AboutOf(*window)->cmdSupport->click();
    window->cmdOpenImageFolder->click();
    EXPECT_TRUE(std::filesystem::is_directory(folders.ImagesFolder()));
    ASSERT_EQ(opened.size(), 3u);
    ASSERT_EQ(prompts.shown().size(), 2u);
    for (int i : {0, 1}) {
        EXPECT_NE(prompts.shown()[i].text.find(opened[i + 1].string()), std::string::npos);
        EXPECT_EQ(prompts.shown()[i].icon, PromptIcon::Warning);
    }
}

TEST_F(MainWindowTest, AdvancedShowsStopAndTheWindowKeepsItsSizeWhateverItShows) {
    auto window = Make();
    window->show();
    auto advanced = [&](bool on) {
        window->chkAdvanced->setChecked(on); // on the Setup tab, off while no locator is linked
        window->chkAdvanced_Click();
        for (QWidget* extra : {window->cmdDownloadAll, window->cmdStop, window->cmdManagePorts})
            EXPECT_EQ(extra->isVisibleTo(extra->parentWidget()) &&
                          extra->isEnabledTo(extra->parentWidget()),
                      on);
    };
    window->tabstrip->setTabEnabled(frmMain::TabTransfer, true);
    window->tabstrip->setCurrentIndex(frmMain::TabTransfer);
    QApplication::processEvents();
    const QPoint start = window->cmdDownloadByDate->mapTo(window.get(), QPoint());
    advanced(true);
    EXPECT_EQ(window->tabstrip->currentIndex(), frmMain::TabTransfer);
    QApplication::processEvents();
    EXPECT_EQ(window->cmdDownloadByDate->mapTo(window.get(), QPoint()), start);
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
    const QString shown = static_cast<const FittedLabel*>(window->lblMonitor)->ShownText();
    EXPECT_FALSE(shown.contains('\n'));
    EXPECT_TRUE(shown.endsWith(QChar(0x2026))); // cut at its width
    // The window fits a 1280 x 800 screen with room for its frame.
    EXPECT_LE(size.width(), 1280);
    EXPECT_LE(size.height(), 740);
    window->tabstrip->setCurrentIndex(frmMain::TabAnalyse);
    advanced(false);
    EXPECT_EQ(window->tabstrip->currentIndex(), frmMain::TabAnalyse);
}

TEST_F(MainWindowTest, TheDatePickersOfferACalendarAndTheEndNeverFallsBeforeTheStart) {
    auto window = Make();
    EXPECT_TRUE(window->dtpStart->calendarPopup() && window->dtpEnd->calendarPopup());
    window->dtpStart->setDate(QDate(2026, 11, 1));
    window->dtpEnd->setDate(QDate(2026, 10, 30));
    EXPECT_EQ(window->dtpEnd->date(), QDate(2026, 11, 1));
    EXPECT_EQ(window->lblEndError->text(),
              "End date can not be before start date. End date set to start date.");
    window->dtpEnd->setDate(QDate(2026, 11, 4));
    EXPECT_EQ(window->lblEndError->text(), "");
}
