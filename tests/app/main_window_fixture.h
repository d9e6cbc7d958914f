#pragma once

// The main window as the tests build it: private folders, a fixed clock, scripted answers,
// simulated locators behind the serial ports, and a desktop that records what it was asked
// to open instead of launching anything.

#include "app/frm_main.h"
#include "common/colours.h"
#include "datafile/data_file_header.h"
#include "link/link_fakes.h"
#include "support/scripted_prompts.h"
#include "support/temp_dir.h"
#include "support/test_environment.h"

#include "app/widgets.h"

#include <gtest/gtest.h>

namespace tarvik::test {

class MainWindowTest : public ::testing::Test {
protected:
    std::unique_ptr<frmMain> Make(QString commandLine = {}) {
        frmMain::LinkHardware hardware;
        hardware.linkPort = std::make_unique<SimulatedPorts::Port>(ports);
        hardware.probePort = std::make_unique<SimulatedPorts::Port>(ports);
        hardware.pacer = std::make_unique<ZeroPacer>();
        frmMain::Desktop desktop;
        desktop.openFolder = [this](const std::filesystem::path& f) { return Opened(f); };
        desktop.openUrl = [this](const QString& url) { return Opened(url.toStdString()); };
        desktop.openDocument = [this](const std::filesystem::path& f) { return Opened(f); };
        desktop.chooseDataFile = [this](const std::filesystem::path&) { return dialogAnswer; };
        desktop.programFolder = ProgramsFolder();
        auto window = std::make_unique<frmMain>(prompts, clock, folders, std::move(commandLine),
                                                desktop, std::move(hardware));
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

    static QColor StatusColour(const frmMain& window) {
        return window.lblStatus->palette().color(QPalette::WindowText);
    }
    // The identity shown, "model serial user"; the tabs that can be chosen, "1011".
    static std::string Identity(const frmMain& window) {
        return (window.txtModel->text() + " " + window.txtSerialNo->text() + " " +
                window.txtUser->text())
            .toStdString();
    }
    static std::string Tabs(const frmMain& window) {
        std::string tabs;
        for (int tab = 0; tab < window.tabstrip->count(); ++tab)
            tabs += window.tabstrip->isTabEnabled(tab) ? '1' : '0';
        return tabs;
    }

    bool Opened(const std::filesystem::path& what) {
        opened.push_back(what);
        return desktopOpens;
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
