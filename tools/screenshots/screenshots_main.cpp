// tarvik-screenshots FOLDER SAMPLE.lgd: the README's pictures of the toolkit. Opens the main
// window with private folders and a fixed date, grabs it, opens SAMPLE in the data viewer and
// grabs that, as PNG files in FOLDER. Run by
// tools/make-screenshots under a virtual display.

#include "app/frm_main.h"
#include "app/qt_prompts.h"
#include "common/clock.h"
#include "viewer/frm_view_data.h"

#include <QApplication>
#include <QTemporaryDir>
#include <QThread>
#include <cstdio>

namespace {

// Lets the windows lay themselves out and paint before they are grabbed.
void Settle() {
    for (int i = 0; i < 20; ++i) {
        QApplication::processEvents();
        QThread::msleep(20);
    }
}

bool Grab(QWidget& window, const QString& file) {
    Settle();
    return window.grab().save(file, "PNG");
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: tarvik-screenshots FOLDER SAMPLE.lgd\n");
        return 2;
    }
    const QString folder = QString::fromLocal8Bit(argv[1]);
    const std::filesystem::path sample = argv[2];
    QTemporaryDir home;
    const std::filesystem::path homePath = home.path().toStdString();

    tarvik::QtPrompts prompts;
    const tarvik::FixedClock clock({2026, 12, 5, 10, 0, 0});
    tarvik::frmMain window(prompts, clock, {homePath / "Documents", homePath / "AppData"}, {});
    window.Form_Load();
    window.show();
    bool written = Grab(window, folder + "/main-window.png");

    window.OpenDataFile(sample);
    auto* viewer = window.findChild<tarvik::frmViewData*>();
    written = viewer && Grab(*viewer, folder + "/data-viewer.png") && written;
    if (!written) {
        std::fprintf(stderr, "tarvik-screenshots: the pictures could not be made in %s\n", argv[1]);
        return 1;
    }
    return 0;
}
