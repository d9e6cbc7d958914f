#include "app/folder_locations.h"
#include "app/frm_main.h"
#include "app/qt_prompts.h"
#include "app/window_rules.h"
#include "link/port_naming.h"

#include <QApplication>
#include <cstring>
#include <iostream>

namespace {

// --help and --version answer without a display, so they are looked for before Qt starts.
bool AnswersWithoutWindow(int argc, char** argv, int& status) {
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--") == 0)
            return false;
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
            std::cout << tarvik::ToolkitUsage();
            status = 0;
            return true;
        }
        if (std::strcmp(argv[i], "--version") == 0 || std::strcmp(argv[i], "-v") == 0) {
            std::cout << "tarvik-toolkit " << tarvik::frmMain::kVersion << "\n";
            status = 0;
            return true;
        }
    }
    return false;
}

} // namespace

// tarvik-toolkit [FILE.lgd]: the desktop toolkit, opening FILE as the current data file.
int main(int argc, char** argv) {
    int status = 0;
    if (AnswersWithoutWindow(argc, argv, status))
        return status;

    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tarvik PC Toolkit"));

    // Qt has taken out its own options (-platform and the like); the rest are the toolkit's.
    std::vector<std::string> arguments;
    for (const QString& argument : QApplication::arguments().mid(1))
        arguments.push_back(argument.toLocal8Bit().toStdString());
    const tarvik::ToolkitArguments parsed = tarvik::ParseToolkitArguments(arguments);
    if (parsed.action == tarvik::ToolkitArguments::Action::UsageError) {
        std::cerr << "tarvik-toolkit: " << parsed.error << "\n" << tarvik::ToolkitUsage();
        return 2;
    }

    tarvik::QtPrompts prompts;
    tarvik::SystemClock clock;
    const tarvik::Folders folders = tarvik::LocateFolders(QString::fromLocal8Bit(parsed.documents),
                                                          QString::fromLocal8Bit(parsed.appData));
    tarvik::UseComPortMap(folders.ComPortsFilePath());
    tarvik::frmMain window(prompts, clock, folders, QString::fromLocal8Bit(parsed.dataFile));
    prompts.setParent(&window);
    window.Form_Load();
    window.show();
    return QApplication::exec();
}
