#include "app/fitted_label.h"
#include "app/frm_about.h"
#include "app/main_link_view.h"
#include "app/main_window_fixture.h"
#include "viewer/frm_view_data.h"

using namespace tarvik;
using namespace tarvik::test;

TEST_F(MainWindowTest, OpensTheCommandLineFileOnceReadyAsOpenDoesThenReportsAndExports) {
    const auto file = DataFile(dir / "elsewhere" / "x.lgd", "Crew 7,KVZ3,12345678",
                               kRecord + "061226140309213004520070N+12-05P\r\n\x1a");
    DataFile(folders.DataFolder() / "x.lgd", "Other,NVZ3,1", kRecord); // a namesake, not opened
    auto window = Make("\"" + QString::fromStdString(file.string()) + "\"");
    EXPECT_EQ(Seen(*window), "  |1010 --|Ready...|#000000");

    window->show();
    QApplication::processEvents();
    EXPECT_EQ(Seen(*window),
              "KVZ3 12345678 Crew 7|1010 VE|File 'x.lgd' successfully opened|#404040");
    EXPECT_EQ(window->lblUserChars->text(), "- 26 -");
    EXPECT_EQ(window->currentDataFile.Path(), file);
    auto* viewer = window->findChild<frmViewData*>();
    ASSERT_NE(viewer, nullptr);
    EXPECT_TRUE(viewer->isVisible() && !window->isVisible());
    EXPECT_TRUE(viewer->optView[0]->isChecked() && viewer->records().rowCount() == 2);
    viewer->cmdReport->click(); // through the window's document opener
    EXPECT_EQ(opened,
              std::vector{folders.ReportsFolder() / "12345678 KVZ3 Crew 7 [All] [Report].pdf"});

    // Closed, the viewer gives the main window back; View Current opens it once again.
    viewer->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(window->isVisible());
    window->cmdAnalyse->click();
    EXPECT_TRUE(window->isVisible() && window->findChildren<frmViewData*>().size() == 1);
    window->cmdExportCSV->click();
    EXPECT_EQ(prompts.Texts(), std::vector<std::string>{"CSV file succesfully saved"});
    EXPECT_TRUE(ReadBytes(folders.CsvFolder() / "x.lgd.csv")
                    .starts_with("Crew 7,KVZ3,12345678\r\nDate,Time,"));
}

TEST_F(MainWindowTest, ARefusedFileChangesNothingAndSaysWhy) {
    auto window = Make();
    ASSERT_TRUE(window->OpenDataFile(DataFile(dir / "good.lgd", "Crew 7,KVZ3,1", kRecord)));
    delete window->findChild<frmViewData*>();
    ports.Plug(2, Locator());
    prompts.AnswerYes();
    window->discovery->cboLocators_Click(2); // a locator linked since
    const auto state = [&] {
        return Seen(*window) + "|" + window->currentDataFile.Path().string() +
               (window->link->AnyPortOpen() ? "|linked" : "") +
               (window->findChild<frmViewData*>() ? "|viewer" : "");
    };
    const std::string before = state();
    EXPECT_TRUE(before.starts_with("KVZ3 1234 Site crew|1111 VE|") && before.ends_with("|linked"));

    const std::string noData = "This file contains no data, please choose another";
    const std::pair<std::filesystem::path, std::string> refused[] = {
        {DataFile(dir / "damaged.lgd", "Crew,KVZ3", kRecord),
         "There is a problem with the header line in the locator's data file. "},
        {DataFile(dir / "identity-only.lgd", "Crew,KVZ3,1", "\x1a"), noData}};
    for (const auto& [file, message] : refused) {
        prompts.Clear();
        dialogAnswer = file;
        window->cmdOpenExistingFile->click();
        ASSERT_EQ(prompts.shown().size(), 1u) << file;
        EXPECT_TRUE(prompts.shown()[0].text.starts_with(message)) << file;
        EXPECT_EQ(state(), before) << file;
    }
}

TEST_F(MainWindowTest, AboutClosesAndWhatTheDesktopCouldNotOpenIsTold) {
    auto window = Make();
    window->show();
    const auto about = [&] { return window->findChild<frmAbout*>(QStringLiteral("frmAbout")); };
    window->Command1->click();
    QPointer<frmAbout> first = about();
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->lblFVersion->text(), "Please connect to a locator and reopen this box");
    QTest::mouseClick(first->cmdClose, Qt::LeftButton);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(first.isNull());
    window->FirmwareVersionText = "V2.07";
    window->Command1->click();
    EXPECT_EQ(about()->lblFVersion->text(), "Firmware version: V2.07");

    window->cmdOpenCertFolder->click(); // folders are made before they are shown
    desktopOpens = false;
    about()->cmdSupport->click();
    window->cmdOpenImageFolder->click();
    EXPECT_TRUE(std::filesystem::is_directory(folders.ImagesFolder()));
    ASSERT_EQ(opened.size(), 3u);
    EXPECT_EQ(opened[0], folders.CertsFolder());
    EXPECT_TRUE(std::filesystem::is_directory(opened[0]));
    ASSERT_EQ(prompts.shown().size(), 2u); // the two failures, each naming its path
    for (int i : {0, 1}) {
        EXPECT_NE(prompts.shown()[i].text.find(opened[i + 1].string()), std::string::npos);
        EXPECT_EQ(prompts.shown()[i].icon, PromptIcon::Warning);
    }
}

TEST_F(MainWindowTest, TheTransferTabKeepsItsPlacesWhateverItShowsAndItsDatesInOrder) {
    auto window = Make();
    window->show();
    const auto at = [&](QWidget* control) { return control->mapTo(window.get(), QPoint()); };
    const auto advanced = [&](bool on) {
        window->chkAdvanced->setChecked(on); // on the Setup tab, off while no locator is linked
        window->chkAdvanced_Click();
        QApplication::processEvents();
        for (QWidget* extra : {window->cmdDownloadAll, window->cmdStop, window->cmdManagePorts})
            EXPECT_EQ(extra->isVisibleTo(extra->parentWidget()) &&
                          extra->isEnabledTo(extra->parentWidget()),
                      on);
    };
    window->tabstrip->setTabEnabled(frmMain::TabTransfer, true);
    window->tabstrip->setCurrentIndex(frmMain::TabTransfer);
    QApplication::processEvents();
    const QPoint start = at(window->cmdDownloadByDate);
    advanced(true);
    EXPECT_EQ(window->tabstrip->currentIndex(), frmMain::TabTransfer);
    EXPECT_EQ(at(window->cmdDownloadByDate), start);
    const QSize size = window->size();
    const QPoint stop = at(window->cmdStop), exit = at(window->cmdExit);

    std::string chunk;
    for (int line = 0; line < 40; ++line)
        chunk += "0512261403" + std::to_string(10 + line) + "213004520070N+12-05P\r\n";
    for (const std::string& shown : {chunk, chunk.substr(0, 70), chunk + "ABORT\x1a"}) {
        window->linkView->ShowMonitor(shown);
        window->SetStatus(QString::fromStdString(std::string(300, 'x') + " progress"));
        QApplication::processEvents();
        EXPECT_EQ(window->size(), size);
        EXPECT_TRUE(at(window->cmdStop) == stop && at(window->cmdExit) == exit);
    }
    EXPECT_EQ(window->lblMonitor->text(), QString::fromStdString(MonitorLine(chunk + "ABORT\x1a")));
    const QString shown = static_cast<const FittedLabel*>(window->lblMonitor)->ShownText();
    EXPECT_TRUE(!shown.contains('\n') && shown.endsWith(QChar(0x2026))); // one line, cut
    EXPECT_TRUE(size.width() <= 1280 && size.height() <= 740); // 1280 x 800 with its frame

    EXPECT_TRUE(window->dtpStart->calendarPopup() && window->dtpEnd->calendarPopup());
    window->dtpStart->setDate(QDate(2026, 11, 1));
    window->dtpEnd->setDate(QDate(2026, 10, 30));
    EXPECT_EQ(window->dtpEnd->date(), QDate(2026, 11, 1));
    EXPECT_EQ(window->lblEndError->text(),
              "End date can not be before start date. End date set to start date.");

    window->tabstrip->setCurrentIndex(frmMain::TabAnalyse);
    advanced(false);
    EXPECT_EQ(window->tabstrip->currentIndex(), frmMain::TabAnalyse);
}
