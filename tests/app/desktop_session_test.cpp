// A user's session in a real X server, driven by mouse and keys, with a simulated locator.
#include "app/frm_main.h"
#include "charts/frm_pie_by_month_mode2.h"
#include "support/scripted_prompts.h"
#include "support/simulator_process.h"
#include "support/temp_dir.h"
#include "support/test_environment.h"
#include "viewer/frm_view_data.h"

#include <QtTest>
#include <QtWidgets>
#include <cmath>

using namespace tarvik;

namespace {

// Counts the moments, sampled every 10 ms while the event loop runs, when the window's size
// or a control's place differs from what they were when the watch began.
struct GeometryWatch {
    GeometryWatch(QWidget& window, QWidget& control)
        : now([&] { return QRect(control.mapTo(&window, QPoint()), window.size()); }),
          start(now()) {
        QObject::connect(&timer, &QTimer::timeout, [this] { Changes(); });
        timer.start(10);
    }
    int Changes() { return changes += now() != start; } // this moment's included
    std::function<QRect()> now;
    const QRect start;
    QTimer timer;
    int changes = 0;
};

// A click on the left end of a control: a picker's day part, a check box's box.
void ClickLeftEnd(QWidget* control) {
    QTest::mouseClick(control, Qt::LeftButton, {}, QPoint(8, control->height() / 2));
}

// True when the screen shows the widget as it draws itself now: its last change was painted.
// The edges are left out, where the corners blend with whatever lies behind.
bool OnScreenAsDrawn(QWidget& widget) {
    const QRect inside = widget.rect().adjusted(3, 3, -3, -3);
    const QPoint at = widget.mapToGlobal(inside.topLeft());
    const QImage shown =
        widget.screen()->grabWindow(0, at.x(), at.y(), inside.width(), inside.height()).toImage();
    const QImage drawn = widget.grab(inside).toImage();
    if (shown.size() != drawn.size())
        return false;
    int differing = 0;
    for (int y = 0; y < shown.height(); ++y)
        for (int x = 0; x < shown.width(); ++x)
            differing += std::abs(qGray(shown.pixel(x, y)) - qGray(drawn.pixel(x, y))) > 16;
    return differing * 200 < shown.width() * shown.height(); // under half a percent
}

} // namespace

class DesktopSession : public QObject {
    Q_OBJECT

private slots:
    void theSampleIsOpenedThenALocatorScannedDownloadedChartedAndStopped() {
        test::TempDir dir; // the sample that ./run opens, made the same way
        const auto sample = dir / "12345678 KVZ3 Sample crew [All] [05122026090000].lgd";
        QCOMPARE(test::RunCommand(test::ShellQuoted(test::ProgramsFolder() / "tarvik-locator-sim") +
                                  " --write-log " + test::ShellQuoted(sample) +
                                  " --days 42 --seed 7 --model KVZ3 --serial 12345678"
                                  " --user 'Sample crew' >/dev/null")
                     .exitCode,
                 0);
        qputenv("TARVIK_PORT_PATTERN", QByteArray::fromStdString((dir / "COM{n}").string()));
        test::SimulatorProcess locator(
            dir / "COM3", {"--log", sample.string(), "--baud", "115200", "--chunk", "40-300",
                           "--model", "KVZ3", "--serial", "12345678", "--user", "Sample crew",
                           "--firmware", "VZ3 2.04", "--last-download", "28/11/26"});
        QVERIFY(locator.Ready());
        test::ScriptedPrompts prompts;
        SystemClock clock;
        frmMain window(prompts, clock, Folders{dir / "Documents", dir / "AppData"},
                       QString::fromStdString(sample.string()));
        window.Form_Load();
        window.show(); // and at once hidden again for the viewer
        frmViewData* viewer = nullptr;
        QTRY_VERIFY_WITH_TIMEOUT((viewer = window.findChild<frmViewData*>()) != nullptr, 20000);
        QTRY_VERIFY_WITH_TIMEOUT(viewer->optView[0]->isChecked(), 20000);
        QCOMPARE(viewer->txtUser->text() + viewer->txtModel->text() + viewer->txtSerial->text() +
                     viewer->lblModeKeyGenLetter->text(),
                 QStringLiteral("Sample crewKVZ312345678G"));
        QCOMPARE(viewer->records().rowCount(), 64836);
        QVERIFY(viewer->isVisible() && !window.isVisible());
        // What the viewer holds is on the screen too, and so are later changes.
        QTRY_VERIFY(OnScreenAsDrawn(*viewer->txtUser) &&
                    OnScreenAsDrawn(*viewer->lblUsageTime.hours));
        QTest::mouseClick(viewer->optView[1], Qt::LeftButton);
        QVERIFY(!viewer->TableShown());
        QTRY_VERIFY(OnScreenAsDrawn(*viewer->lblNoData) && OnScreenAsDrawn(*viewer->optView[1]));
        QPointer<frmViewData> closing = viewer;
        viewer->close();
        QTRY_VERIFY(closing.isNull());
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        const QSize size = window.size(), screen = window.screen()->geometry().size();
        QVERIFY(window.frameGeometry().width() <= screen.width() &&
                window.frameGeometry().height() <= screen.height());

        prompts.AnswerYes(); // sure to scan
        prompts.AnswerYes(); // use the locator found
        QTest::mouseClick(window.cmdrescan, Qt::LeftButton);
        QTRY_COMPARE_WITH_TIMEOUT(window.lblLastDownloadDate->text(), QStringLiteral("28/11/26"),
                                  30000);

        QTabBar* tabs = window.tabstrip->tabBar();
        QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(frmMain::TabTransfer).center());
        ClickLeftEnd(window.dtpStart);
        QTest::keyClicks(window.dtpStart, "041226");
        ClickLeftEnd(window.dtpEnd);
        QTest::keyClicks(window.dtpEnd, "051226");
        QCOMPARE(window.dtpEnd->date(), QDate(2026, 12, 5));
        GeometryWatch download(window, *window.cmdDownloadByDate);
        QTest::mouseClick(window.cmdDownloadByDate, Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT((viewer = window.findChild<frmViewData*>()) != nullptr, 60000);
        QCOMPARE(download.Changes(), 0);
        QTRY_VERIFY_WITH_TIMEOUT(viewer->optView[0]->isChecked(), 20000);
        QCOMPARE(viewer->records().rowCount(), 652); // the records of 04/12/26 only

        QTest::mouseClick(viewer->Picture2, Qt::LeftButton);
        QPointer<frmPieByMonthMode2> chart;
        QTRY_VERIFY_WITH_TIMEOUT((chart = viewer->chartWindows().monthWindow()) != nullptr, 10000);
        QTRY_VERIFY(chart->panel->pie->isVisible());
        QVERIFY(!chart->panel->pie->LegendEntries().isEmpty());
        QTest::mouseClick(chart->panel->Close, Qt::LeftButton);
        QTRY_VERIFY(chart.isNull());
        viewer->close();

        QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(frmMain::TabSetup).center());
        ClickLeftEnd(window.chkAdvanced);
        QCOMPARE(window.tabstrip->currentIndex(), int(frmMain::TabTransfer));
        GeometryWatch stop(window, *window.cmdStop);
        QTest::mouseClick(window.cmdDownloadAll, Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(window.ProgressBar1->value() > 2000, 30000);
        QTest::mouseClick(window.cmdStop, Qt::LeftButton);
        QTRY_COMPARE_WITH_TIMEOUT(
            window.lblStatus->text(),
            QStringLiteral("File download aborted. Incomplete data written to file"), 30000);
        QCOMPARE(stop.Changes(), 0);
        QCOMPARE(window.size(), size);
    }
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
