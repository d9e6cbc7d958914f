#include "app/folder_locations.h"
#include "app/frm_main.h"
#include "app/qt_prompts.h"

#include <QApplication>

// tarvik-toolkit [FILE.lgd]: the desktop toolkit, opening FILE as the current data file.
int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tarvik PC Toolkit"));

    QStringList arguments = QApplication::arguments();
    arguments.removeFirst();
    const QString commandLine = arguments.join(QLatin1Char(' '));

    tarvik::QtPrompts prompts;
    tarvik::SystemClock clock;
    tarvik::frmMain window(prompts, clock, tarvik::LocateFolders(), commandLine);
    prompts.setParent(&window);
    window.Form_Load();
    window.show();
    return QApplication::exec();
}
