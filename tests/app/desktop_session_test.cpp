// A user's session in a real X server (run under xvfb-run): the real widgets driven by mouse
// clicks and key presses, a simulated locator on a pseudo-terminal behind the real serial port.
#include "app/frm_main.h"
#include "charts/frm_pie_by_month_mode2.h"
#include "support/run_command.h"
#include "support/scripted_prompts.h"
#include "support/simulator_process.h"
#include "support/temp_dir.h"
#include "support/test_environment.h"
#include "viewer/frm_view_data.h"

#include "app/widgets.h"

#include <QScreen>
#include <QTabBar>
#include <cmath>

using namespace tarvik;

namespace {

// Counts the changes of a window's size or of a control's place while the event loop runs.
struct GeometryWatch {
    GeometryWatch(QWidget& window, QWidget& control)
        : window(window), control(control), size(window.size()), place(Place()) {
        QObject::connect(&timer, &QTimer::timeout, [this] { Check(); });
        timer.start(10);
    }
    QPoint Place() const { return control.mapTo(&window, QPoint()); }
    // The changes seen so far, this moment's included.
    int Check() { return changes += window.size() != size || Place() != place; }
    QWidget& window;
    QWidget& control;
    const QSize size;
    const QPoint place;
    QTimer timer;
    int changes = 0;
};

void ClickTab(QTabWidget& tabs, int index) {
    QTabBar* bar = tabs.tabBar();
    QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(index).center());
}

// Types a date into a picker as a user does: a click on its day part, then the digits.
void TypeDate(QDateEdit& picker, const char* digits) {
    QTest::mouseClick(&picker, Qt::LeftButton, {}, QPoint(8, picker.height() / 2));
    QTest::keyClicks(&picker, digits);
}

// True when the screen shows the widget as it draws itself now: its last change was painted.
// The edges are left out, where the corners blend with whatever lies behind.
bool OnScreenAsDrawn(QWidget& widget) {
    const QRect inside = widget.rect().adjusted(3, 3, -3, -3);
    const QPoint at = widget.mapToGlobal(inside.topLeft());
    const QImage shown = widget.screen()
                             ->grabWindow(0, at.x(), at.y(), inside.width(), inside.height())
                             .toImage()
                             .convertToFormat(QImage::Format_RGB32);
    const QImage drawn = widget.grab(inside).toImage().convertToFormat(QImage::Format_RGB32);
    if (shown.size() != drawn.size())
        return false;
    int differing = 0;
    for (int y = 0; y < shown.height(); ++y)
        for (int x = 0; x < shown.width(); ++x) {
            const QRgb a = shown.pixel(x, y), b = drawn.pixel(x, y);
            differing += std::abs(qRed(a) - qRed(b)) + std::abs(qGreen(a) - qGreen(b)) +
                             std::abs(qBlue(a) - qBlue(b)) >
                         48;
        }
    return differing * 200 < shown.width() * shown.height(); // under half a percent
}

// The sample that ./run opens, made the same way.
std::filesystem::path WriteSample(const std::filesystem::path& folder) {
    const auto sample = folder / "12345678 KVZ3 Sample crew [All] [05122026090000].lgd";
    const std::string command = test::ShellQuoted(test::ProgramsFolder() / "tarvik-locator-sim") +
                                " --write-log " + test::ShellQuoted(sample) +
                                " --days 42 --seed 7 --model KVZ3 --serial 12345678"
                                " --user 'Sample crew' >/dev/null";
    return test::RunCommand(command).exitCode == 0 ? sample : std::filesystem::path();
}

} // namespace

class DesktopSession : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        sample_ = WriteSample(dir_.path());
        QVERIFY(!sample_.empty());
    }

    void theCommandLineOpenOfTheSampleFillsTheViewer() {
        frmMain window(prompts_, clock_, folders_, QString::fromStdString(sample_.string()));
        window.Form_Load();
        window.show(); // and at once hidden again for the viewer
        QVERIFY(FitsTheScreen(window));
        frmViewData* viewer = nullptr;
        QTRY_VERIFY_WITH_TIMEOUT((viewer = window.findChild<frmViewData*>()) != nullptr, 20000);
        QTRY_VERIFY_WITH_TIMEOUT(viewer->optView[0]->isChecked(), 20000);
        QCOMPARE(viewer->txtUser->text() + viewer->txtModel->text() + viewer->txtSerial->text() +
                     viewer->lblModeKeyGenLetter->text(),
                 QStringLiteral("Sample crewKVZ312345678G"));
        QCOMPARE(viewer->records().rowCount(), 64836);
        // The file starts on 25/10/26: October is shown with its days of use in bold.
        QCOMPARE(viewer->MonthView1->dateTextFormat(QDate(2026, 10, 25)).fontWeight(),
                 int(QFont::Bold));
        QVERIFY(viewer->isVisible() && !window.isVisible());
        // What the viewer holds is on the screen too, and so are later changes.
        QTRY_VERIFY(OnScreenAsDrawn(*viewer->txtUser));
        QTRY_VERIFY(OnScreenAsDrawn(*viewer->lblUsageTime.hours));
        QTest::mouseClick(viewer->optView[1], Qt::LeftButton);
        QVERIFY(!viewer->TableShown());
        QTRY_VERIFY(OnScreenAsDrawn(*viewer->lblNoData));
        QTRY_VERIFY(OnScreenAsDrawn(*viewer->optView[1]));
    }

    void aLocatorIsScannedDownloadedChartedAndStopped() {
        const auto lab = dir_ / "lab";
        std::filesystem::create_directories(lab);
        qputenv("TARVIK_PORT_PATTERN", QByteArray::fromStdString((lab / "COM{n}").string()));
        test::SimulatorProcess locator(
            lab / "COM3", {"--log", sample_.string(), "--baud", "115200", "--chunk", "40-300",
                           "--model", "KVZ3", "--serial", "12345678", "--user", "Sample crew",
                           "--firmware", "VZ3 2.04", "--last-download", "28/11/26"});
        QVERIFY(locator.Ready());

        frmMain window(prompts_, clock_, folders_, QString());
        window.Form_Load();
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QVERIFY(FitsTheScreen(window));
        const QSize size = window.size();

        // Scan: sure, and use the locator found.
        prompts_.AnswerYes();
        prompts_.AnswerYes();
        QTest::mouseClick(window.cmdrescan, Qt::LeftButton);
        QTRY_COMPARE_WITH_TIMEOUT(window.txtModel->text(), QStringLiteral("KVZ3"), 30000);
        QTRY_COMPARE_WITH_TIMEOUT(window.lblLastDownloadDate->text(), QStringLiteral("28/11/26"),
                                  10000);

        // Download by date: two typed dates, Start Transfer.
        ClickTab(*window.tabstrip, frmMain::TabTransfer);
        TypeDate(*window.dtpStart, "041226");
        TypeDate(*window.dtpEnd, "051226");
        QCOMPARE(window.dtpEnd->date(), QDate(2026, 12, 5));
        {
            GeometryWatch watch(window, *window.cmdDownloadByDate);
            QTest::mouseClick(window.cmdDownloadByDate, Qt::LeftButton);
            QTRY_VERIFY_WITH_TIMEOUT(window.findChild<frmViewData*>() != nullptr, 60000);
            QCOMPARE(watch.Check(), 0);
        }
        frmViewData* viewer = window.findChild<frmViewData*>();
        QTRY_VERIFY_WITH_TIMEOUT(viewer->optView[0]->isChecked(), 20000);
        QCOMPARE(viewer->txtUser->text() + viewer->txtModel->text(),
                 QStringLiteral("Sample crewKVZ3"));
        QCOMPARE(viewer->records().rowCount(), 652); // the records of 04/12/26 only

        // A chart of the month shown, from the viewer's picture button.
        QTest::mouseClick(viewer->Picture2, Qt::LeftButton);
        QPointer<frmPieByMonthMode2> chart;
        QTRY_VERIFY_WITH_TIMEOUT((chart = viewer->chartWindows().monthWindow()) != nullptr, 10000);
        QTRY_VERIFY(chart->panel->pie->isVisible());
        QVERIFY(chart->panel->cmdSaveAsImage->isEnabled());
        QCOMPARE(chart->panel->pie->LegendEntries().isEmpty(), false);
        QTest::mouseClick(chart->panel->Close, Qt::LeftButton);
        QTRY_VERIFY(chart.isNull());
        viewer->close();

        // Stop: All on the advanced options, stopped while data arrives.
        ClickTab(*window.tabstrip, frmMain::TabSetup);
        QTest::mouseClick(window.chkAdvanced, Qt::LeftButton, {},
                          QPoint(8, window.chkAdvanced->height() / 2)); // on its box
        QCOMPARE(window.tabstrip->currentIndex(), int(frmMain::TabTransfer));
        {
            GeometryWatch watch(window, *window.cmdStop);
            QTest::mouseClick(window.cmdDownloadAll, Qt::LeftButton);
            QTRY_VERIFY_WITH_TIMEOUT(window.ProgressBar1->value() > 2000, 30000);
            QVERIFY(!window.lblMonitor->text().isEmpty());
            QTest::mouseClick(window.cmdStop, Qt::LeftButton);
            QTRY_COMPARE_WITH_TIMEOUT(
                window.lblStatus->text(),
                QStringLiteral("File download aborted. Incomplete data written to file"), 30000);
            QCOMPARE(watch.Check(), 0);
        }
        QCOMPARE(window.size(), size);
    }

private:
    static bool FitsTheScreen(const QWidget& window) {
        const QSize screen = window.screen()->geometry().size();
        return window.frameGeometry().height() <= screen.height() &&
               window.frameGeometry().width() <= screen.width();
    }

    test::TempDir dir_;
    std::filesystem::path sample_;
    Folders folders_{dir_ / "Documents", dir_ / "AppData"};
    test::ScriptedPrompts prompts_;
    SystemClock clock_;
};

int main(int argc, char** argv) {
    test::UsePrivateEnvironment();
    qputenv("QT_QPA_PLATFORM", "xcb"); // a real X server: xvfb-run gives one
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false); // windows come and go between the steps
    DesktopSession session;
    return QTest::qExec(&session, argc, argv);
}

#include "desktop_session_test.moc"
