#pragma once

#include "common/clock.h"
#include "common/current_data_file.h"
#include "common/folders.h"
#include "common/prompts.h"
#include "link/pacer.h"
#include "link/serial_port.h"
#include "service/tools_session.h"
#include "service/tools_view.h"

#include <QWidget>
#include <array>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>

class QLabel;
class QLineEdit;
class QPushButton;

namespace tarvik {

// "Locator Setup Tools - Internal use only": the service window with its own port to a
// locator, the service commands, a six-line live monitor and the troubleshoot log.
class frmTools : public QWidget, private ToolsView {
    Q_OBJECT
public:
    // Opens a file in the desktop's application for it; false when that failed.
    using LogOpener = std::function<bool(const std::filesystem::path&)>;

    frmTools(QWidget* owner, Prompts& prompts, const Clock& clock, Folders folders,
             CurrentDataFile& currentDataFile, std::unique_ptr<SerialPort> port,
             std::unique_ptr<Pacer> pacer);
    ~frmTools() override;

    // The password, then the window, the port and the log. False, with the window closed,
    // when it did not open: a refused password (`exitApplication` is called) or a cancelled
    // port prompt.
    bool Form_Load(const std::function<void()>& exitApplication);

    void cmdReadDateTime_Click();
    void cmdReadStoredParameters_Click();
    void cmdClearMem_Click();
    void cmdResetMemPointer_Click();
    void cmdSetSerialModel_Click();
    void cmdSetDate_Click();
    void cmdSetTime_Click();
    void cmdSetUser_Click();
    void cmdSend_Click();
    void cmdStop_Click();
    void cmdOpenFile_Click();
    void txtUser_Change();

    void setLogOpener(LogOpener opener) { openLog_ = std::move(opener); }
    // Told the padded user text that Set User sends, for the toolkit's user text.
    void setUserTextHandler(std::function<void(const std::string&)> handler) {
        session_.onUserTextSet = std::move(handler);
    }

    QLineEdit* txtPort;
    std::array<QLineEdit*, MonitorLines::kCount> txtMonitor; // 0 is the newest
    QLineEdit* txtSend;
    QPushButton* cmdSend;
    QPushButton* cmdReadDateTime;
    QLineEdit* txtDate;
    QLineEdit* txtTime;
    QPushButton* cmdReadStoredParameters;
    QLineEdit* txtUser;
    QLabel* lblUserChars;
    QPushButton* cmdSetUser;
    QLineEdit* txtModel;
    QLineEdit* txtSerialNo;
    QPushButton* cmdSetSerialModel;
    QPushButton* cmdSetDate;
    QPushButton* cmdSetTime;
    QPushButton* cmdClearMem;
    QPushButton* cmdResetMemPointer;
    QPushButton* cmdResetMem; // no action
    QPushButton* cmdStop;
    QPushButton* cmdOpenFile;
    QLabel* lblStatus;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void BuildControls();
    // Runs a click, a received event or the opening questions; a close meanwhile defers the
    // window's deletion until the outermost of them has returned.
    template <typename Action> void Busy(Action action);
    bool OpenSession(const std::function<void()>& exitApplication);
    std::optional<int> AskPort();
    void StartLog();

    void SetStatus(const std::string& text) override;
    void ShowMonitor(const MonitorLines::Lines& lines) override;
    void ShowStoredParameters(const LocatorIdentity& identity) override;
    void ShowLocatorClock(const LocatorClockReply& clock) override;
    void EnableCommands(bool on) override;

    Prompts& prompts_;
    const Clock& clock_;
    Folders folders_;
    CurrentDataFile& currentDataFile_;
    std::unique_ptr<SerialPort> port_;
    std::unique_ptr<Pacer> pacer_;
    ToolsSession session_;
    LogOpener openLog_;
    int busy_ = 0;
    bool deleteWhenIdle_ = false;
    bool closed_ = false;
};

// Opens the file in the desktop's application for its type, without a shell.
bool OpenInDesktopApplication(const std::filesystem::path& file);

} // namespace tarvik
