#pragma once

// The main window with private folders, a fixed clock, scripted answers, simulated locators
// behind its serial ports, and a desktop that records what it was asked to open.
#include "app/frm_main.h"
#include "datafile/data_file_header.h"
#include "link/link_fakes.h"
#include "support/scripted_prompts.h"
#include "support/temp_dir.h"
#include "support/test_environment.h"

#include <QtTest>
#include <QtWidgets>
#include <gtest/gtest.h>

namespace tarvik::test {

class MainWindowTest : public ::testing::Test {
protected:
    std::unique_ptr<frmMain> Make(QString commandLine = {}) {
        const auto open = [this](const std::filesystem::path& what) {
            opened.push_back(what);
            return desktopOpens;
        };
        frmMain::Desktop desktop{
            open, [open](const QString& url) { return open(url.toStdString()); },
            [this](const std::filesystem::path&) { return dialogAnswer; }, open, ProgramsFolder()};
        auto window = std::make_unique<frmMain>(
            prompts, clock, folders, std::move(commandLine), desktop,
            frmMain::LinkHardware{std::make_unique<SimulatedPorts::Port>(ports),
                                  std::make_unique<SimulatedPorts::Port>(ports),
                                  std::make_unique<ZeroPacer>()});
        window->Form_Load();
        return window;
    }

    // A window linked to a locator on COM2 through the saved-entry path.
    std::unique_ptr<frmMain> Linked(sim::LocatorSettings locator) {
        ports.Plug(2, std::move(locator));
        auto window = Make();
        prompts.AnswerYes(); // use this connection
        window->discovery->cboLocators_Click(2);
        prompts.Clear();
        return window;
    }

    static std::filesystem::path DataFile(const std::filesystem::path& file,
                                          const std::string& identity, const std::string& body) {
        WriteBytes(file, BuildDataFileHeader() + identity + "\r\n" + body);
        return file;
    }

    // What the user sees at a glance: "model serial user|the tabs that can be chosen, as 1011,
    // then V and E for View Current and Export when enabled|status|its colour".
    static std::string Seen(const frmMain& w) {
        QString tabs;
        for (int tab = 0; tab < w.tabstrip->count(); ++tab)
            tabs += w.tabstrip->isTabEnabled(tab) ? '1' : '0';
        return QStringLiteral("%1 %2 %3|%4 %5%6|%7|%8")
            .arg(w.txtModel->text(), w.txtSerialNo->text(), w.txtUser->text(), tabs,
                 QString(w.cmdAnalyse->isEnabled() ? "V" : "-"),
                 QString(w.cmdExportCSV->isEnabled() ? "E" : "-"), w.lblStatus->text(),
                 w.lblStatus->palette().color(QPalette::WindowText).name())
            .toStdString();
    }

    TempDir dir;
    Folders folders{dir / "Documents", dir / "AppData"};
    ScriptedPrompts prompts;
    FixedClock clock{DateTime{2026, 12, 5, 10, 0, 0}};
    SimulatedPorts ports;
    std::vector<std::filesystem::path> opened; // folders, web pages and documents, in order
    std::optional<std::filesystem::path> dialogAnswer;
    bool desktopOpens = true;
};

inline const std::string kRecord = "051226140309213004520070N+12-05P\r\n";

inline sim::LocatorSettings Locator(std::vector<std::string> records = {}) {
    sim::LocatorSettings locator;
    locator.identity = {"Site crew", "KVZ3", "1234", "V2.04"};
    locator.records = std::move(records);
    return locator;
}

} // namespace tarvik::test
