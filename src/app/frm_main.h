#pragma once

#include "app/window_rules.h"
#include "common/clock.h"
#include "common/current_data_file.h"
#include "common/folders.h"
#include "common/locator_identity.h"
#include "common/prompts.h"
#include "datafile/shared_file_handle.h"
#include "link/discovery.h"
#include "link/download.h"
#include "link/link_session.h"
#include "selftest/self_test_lookup.h"

#include <QMainWindow>
#include <QPointer>
#include <functional>
#include <memory>
#include <optional>

class QCalendarWidget;
class QCheckBox;
class QComboBox;
class QDateEdit;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QTabWidget;
class QTimer;

namespace tarvik {

class MainLinkView;
class frmViewData;

// The toolkit's main window: owner of the link state, the folders, the locator identity and
// the current data file, and the opener of every other window.
class frmMain : public QMainWindow {
    Q_OBJECT
public:
    static constexpr const char* kVersion = "1.4";
    enum Tab { TabConnect = 0, TabTransfer = 1, TabAnalyse = 2, TabSetup = 3 };

    // The desktop facilities the window uses; tests replace them so nothing is launched. Each
    // opener reports false when the desktop could not open what it was given.
    struct Desktop {
        std::function<bool(const std::filesystem::path& folder)> openFolder;
        std::function<bool(const QString& url)> openUrl;
        // The open-file dialog: the chosen path, or nothing when cancelled.
        std::function<std::optional<std::filesystem::path>(const std::filesystem::path& start)>
            chooseDataFile;
        // Shows a finished certificate in the desktop's PDF viewer.
        std::function<bool(const std::filesystem::path& file)> openDocument;
        // The folder of the program: its Fonts folder and the certificate's pictures.
        std::filesystem::path programFolder;
    };

    // The serial ports and the pacer of the link; empty parts become the real ones (serial
    // ports of the machine, pauses on the event loop). Tests plug in simulated locators.
    struct LinkHardware {
        std::unique_ptr<SerialPort> linkPort;
        std::unique_ptr<SerialPort> probePort;
        std::unique_ptr<Pacer> pacer;
    };

    frmMain(Prompts& prompts, const Clock& clock, Folders folders, QString commandLine,
            Desktop desktop = {}, LinkHardware hardware = {}, QWidget* parent = nullptr);
    ~frmMain() override;

    // Start-up, in its fixed order; the command-line file is opened once the window is ready.
    void Form_Load();

    // --- Shared state ----------------------------------------------------------------------
    Prompts& prompts;
    const Clock& clock;
    Folders folders;
    CurrentDataFile currentDataFile;     // the current data file: folder and CurrentDataFileName
    LocatorIdentity currentFileIdentity; // the identity line of the current file
    SharedFileHandle file1;              // file #1: received text is written through it
    QString FirmwareVersionText;
    QString commandLine; // used by the first open only

    // The identity of the linked locator (or of the open file) as shown.
    LocatorIdentity ShownIdentity() const;
    void ShowIdentity(const LocatorIdentity& identity);

    // --- Status line -----------------------------------------------------------------------
    void SetStatus(const QString& text, std::uint32_t colour = colours::kRed);
    // Blinks the current message `count` times (the status-flash operation).
    void FlashStatusMessage(int count, const QString& text, std::uint32_t colour = colours::kRed);
    void StopStatusFlash();
    void StartDownloadBlink();
    void StopDownloadBlink();

    // --- Link controls ---------------------------------------------------------------------
    void SetLinkControls(bool linked);
    // The unlinking of SetLinkControls(false), also when no port is open any more.
    void ShowUnlinked();
    void SetDataFileButtonsEnabled(bool enabled);
    void UpdateUserChars();
    void SetLamp(std::uint32_t colour);
    // The link side tells whether a serial port is open and closes them (Disconnect, Exit,
    // an opened file, the service window).
    std::function<bool()> AnySerialPortOpen;
    std::function<void()> CloseSerialPorts;
    // Opens the service window after the key combination; set by the service tools.
    std::function<void()> OpenServiceWindow;

    // --- Data files ------------------------------------------------------------------------
    // Opens a data file as the current one and shows it (Open, the command line); false when
    // the file was refused, which changes nothing.
    bool OpenDataFile(const std::filesystem::path& file);
    // Shows the current file in the data viewer; the main window is hidden meanwhile when
    // the file was just opened.
    void ShowDataViewer(bool hideMainWindow);
    // Closes file #1 when it still holds the current file, so that it can be read.
    void ReleaseCurrentFile();

    // --- Handlers --------------------------------------------------------------------------
    void cmdExit_Click();
    void cmdDisconnect_Click();
    void cmdOpenCertFolder_Click();
    void cmdOpenImageFolder_Click();
    void Command1_Click();
    void chkAdvanced_Click();
    void cmdOpenExistingFile_Click();
    void cmdAnalyse_Click();
    void cmdExportCSV_Click();
    void Form_KeyDown(int keyCode);
    void tmrDLStatusFlash_Timer();
    void tmrFlashStatusMessage_Timer();

    // --- Controls, always visible ----------------------------------------------------------
    QLabel* Label14;
    QLabel* Label5;
    QLineEdit* txtModel;
    QLabel* Label6;
    QLineEdit* txtSerialNo;
    QLabel* Label8;
    QLabel* lblStatus;
    QLabel* Label4;
    QLabel* lblMonitor;
    QFrame* shpMode;
    QPushButton* Command1;
    QPushButton* cmdExit;
    QLabel* Picture1;
    QTabWidget* tabstrip;

    // Connect tab
    QGroupBox* frmConnect;
    QComboBox* cboLocators;
    QPushButton* cmdrescan;
    QPushButton* cmdManagePorts;
    QPushButton* cmdDisconnect;
    QGroupBox* Frame5;
    QPushButton* cmdOpenCertFolder;
    QLabel* lblCommError;

    // Transfer tab
    QGroupBox* Frame2;
    QLabel* lblDTPSelectRange;
    QLabel* lblDTPStart;
    QDateEdit* dtpStart;
    QLabel* lblDTPEnd;
    QDateEdit* dtpEnd;
    QPushButton* cmdDownloadByDate;
    QLabel* lblDownloadAllOr;
    QPushButton* cmdDownloadAll;
    QLabel* lblLastDlDate;
    QLabel* lblLastDownloadDate;
    QGroupBox* Frame3;
    QLabel* Label16;
    QCalendarWidget* MonthView1;
    QPushButton* cmdStop;
    QProgressBar* ProgressBar1;
    QLabel* lblEndError;

    // Analyse tab
    QGroupBox* Frame1;
    QPushButton* cmdAnalyse;
    QLabel* lblAnalyse;
    QPushButton* cmdOpenExistingFile;
    QLabel* Label3;
    QPushButton* cmdExportCSV;
    QLabel* lblExportCSV;
    QGroupBox* Frame6;
    QPushButton* cmdOpenImageFolder;
    QLabel* Label19;

    // Setup tab
    QLabel* Label10;
    QLineEdit* txtUser;
    QLabel* lblUserChars;
    QPushButton* cmdSetUser;
    QPushButton* cmdSetDate;
    QPushButton* cmdSetTime;
    QLabel* Label20;
    QLabel* lblFirmwareVersion;
    QLabel* Label2;
    QCheckBox* chkAdvanced;

    // Timers
    QTimer* tmrDLStatusFlash;
    QTimer* tmrFlashStatusMessage;
    QTimer* tmrAbort;
    QTimer* tmrSTDLMonitor;

    // --- Link, transfer and setup ----------------------------------------------------------
    LinkHardware linkHardware;              // MSComm1 (link port), MSComm2 (probe port), pacing
    std::unique_ptr<MainLinkView> linkView; // this window as the link flows see it
    std::unique_ptr<LinkSession> link;      // flags, senders and the receive handler
    std::unique_ptr<Discovery> discovery;
    std::unique_ptr<Download> download;
    std::unique_ptr<SelfTestLookup> selfTestLookup;

    void cmdrescan_Click();
    void cboLocators_Click(int index);
    void cmdManagePorts_Click();
    void cmdDownloadAll_Click();
    void cmdDownloadByDate_Click();
    void cmdStop_Click();
    void tmrAbort_Timer();
    void dtpEnd_Change();
    void cmdSetDate_Click();
    void cmdSetTime_Click();
    void cmdSetUser_Click();
    void txtUser_Change();
    void MonthView1_DateClick();
    // Fills the drop-down of saved locators: the serial number shown, the port as item data.
    void ShowPortList(const std::vector<PortRecord>& records);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void BuildControls();
    void BuildLink();
    QWidget* BuildConnectTab();
    QWidget* BuildTransferTab();
    QWidget* BuildAnalyseTab();
    QWidget* BuildSetupTab();
    bool ShowOpenedFile(const CurrentDataFile& file, bool fromOpen);
    // The desktop openers; the user is told when the desktop cannot open the path.
    void OpenFolder(const std::filesystem::path& folder);
    void OpenWebPage(const QString& url);
    void OpenDocument(const std::filesystem::path& file);

    Desktop desktop_;
    QPointer<frmViewData> viewer_;
    KeySum keySum_;
    bool downloadBlinkOn_ = false;
    int flashTicks_ = 0;
    int flashCount_ = 0;
    bool flashOn_ = false;
    QString flashSavedCaption_;
    bool exiting_ = false;
};

QColor VbColour(std::uint32_t colour);

} // namespace tarvik
