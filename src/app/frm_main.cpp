#include "app/frm_main.h"

#include "app/fitted_label.h"
#include "app/frm_about.h"
#include "app/latin1_text.h"
#include "app/main_link_view.h"
#include "common/desktop_messages.h"
#include "common/maker_details.h"
#include "common/resource_folder.h"
#include "datafile/csv_export.h"
#include "datafile/file_checks.h"
#include "link/discovery.h"
#include "link/event_loop_pacer.h"
#include "link/frm_port_manage.h"
#include "link/qt_serial_port.h"
#include "link/setup_commands.h"
#include "pdf/pdf_prompts_sink.h"
#include "service/frm_tools.h"
#include "service/open_service_tools.h"
#include "viewer/frm_view_data.h"

#include <QApplication>
#include <QCalendarWidget>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDateEdit>
#include <QDesktopServices>
#include <QFileDialog>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QTabWidget>
#include <QTimer>
#include <QUrl>
#include <QVBoxLayout>

namespace tarvik {

namespace {

frmMain::Desktop WithDefaults(frmMain::Desktop desktop, QWidget* parent) {
    if (!desktop.openDocument)
        desktop.openDocument = [](const std::filesystem::path& file) {
            return QDesktopServices::openUrl(
                QUrl::fromLocalFile(QString::fromStdString(file.string())));
        };
    if (desktop.programFolder.empty())
        desktop.programFolder =
            ResourceFolder(QCoreApplication::applicationDirPath().toStdString());
    if (!desktop.openFolder)
        desktop.openFolder = [](const std::filesystem::path& folder) {
            return QDesktopServices::openUrl(
                QUrl::fromLocalFile(QString::fromStdString(folder.string())));
        };
    if (!desktop.openUrl)
        desktop.openUrl = [](const QString& url) { return QDesktopServices::openUrl(QUrl(url)); };
    if (!desktop.chooseDataFile)
        desktop.chooseDataFile =
            [parent](const std::filesystem::path& start) -> std::optional<std::filesystem::path> {
            const QString file = QFileDialog::getOpenFileName(
                parent, QStringLiteral("Open"), QString::fromStdString(start.string()),
                QStringLiteral("Locator Data Files (*.lgd)"));
            if (file.isEmpty())
                return std::nullopt;
            return std::filesystem::path(file.toStdString());
        };
    return desktop;
}

QPixmap MakerLogo() {
    QPixmap logo(150, 44);
    logo.fill(QColor(0x1d, 0x3f, 0x8f));
    QPainter painter(&logo);
    painter.setPen(Qt::white);
    QFont font = painter.font();
    font.setBold(true);
    font.setPointSize(18);
    painter.setFont(font);
    painter.drawText(logo.rect(), Qt::AlignCenter, QStringLiteral("TARVIK"));
    return logo;
}

QLabel* Caption(const char* text, QWidget* parent) {
    return new QLabel(QString::fromLatin1(text), parent);
}

QPushButton* Button(const char* text, const char* tip, QWidget* parent) {
    auto* button = new QPushButton(QString::fromLatin1(text), parent);
    if (tip)
        button->setToolTip(QString::fromLatin1(tip));
    return button;
}

int KeyCodeOf(int qtKey) {
    switch (qtKey) {
    case Qt::Key_Shift:
        return 16;
    case Qt::Key_Control:
        return 17;
    case Qt::Key_A:
        return 65;
    case Qt::Key_Q:
        return 81;
    default:
        return 0;
    }
}

} // namespace

QColor VbColour(std::uint32_t colour) {
    return QColor(colour & 0xFF, (colour >> 8) & 0xFF, (colour >> 16) & 0xFF);
}

frmMain::frmMain(Prompts& prompts_, const Clock& clock_, Folders folders_, QString commandLine_,
                 Desktop desktop, LinkHardware hardware, QWidget* parent)
    : QMainWindow(parent), prompts(prompts_), clock(clock_), folders(std::move(folders_)),
      commandLine(std::move(commandLine_)), linkHardware(std::move(hardware)),
      desktop_(WithDefaults(std::move(desktop), this)) {
    setWindowTitle(QStringLiteral("Tarvik PC Toolkit"));
    BuildControls();
    BuildLink();
    qApp->installEventFilter(this);
}

void frmMain::BuildLink() {
    if (!linkHardware.linkPort)
        linkHardware.linkPort = std::make_unique<QtSerialPort>();
    if (!linkHardware.probePort)
        linkHardware.probePort = std::make_unique<QtSerialPort>();
    if (!linkHardware.pacer)
        linkHardware.pacer = std::make_unique<EventLoopPacer>();
    linkView = std::make_unique<MainLinkView>(*this);
    link = std::make_unique<LinkSession>(*linkHardware.linkPort, *linkHardware.probePort,
                                         *linkHardware.pacer, *linkView, prompts, clock, file1);
    discovery = std::make_unique<Discovery>(*link, folders.PortsFilePath());
    download =
        std::make_unique<Download>(*link, *linkView, folders, currentDataFile, currentFileIdentity);
    selfTestLookup = std::make_unique<SelfTestLookup>(
        *link, *linkView, folders, currentDataFile, [this](const CertificateDetails& details) {
            PromptsPdfMessageSink messages(prompts);
            PdfPrinterServices services;
            services.messages = &messages;
            services.clock = &clock;
            services.openViewer = [this](const std::filesystem::path& file) { OpenDocument(file); };
            return CreateValidationCertificate(details, folders, desktop_.programFolder, services);
        });
    OpenServiceWindow = [this] {
        frmTools* tools = OpenServiceTools(this, prompts, clock, folders, currentDataFile,
                                           [] { QCoreApplication::exit(0); });
        if (tools)
            tools->setUserTextHandler(
                [this](const std::string& padded) { currentFileIdentity.user = padded; });
    };
    AnySerialPortOpen = [this] { return link->AnyPortOpen(); };
    // Nothing that closes the link (Open, the service window) leaves a transfer or a lookup
    // waiting for data that cannot come.
    CloseSerialPorts = [this] {
        link->EndTransferOrLookup(true);
        link->ClosePorts();
    };

    connect(cmdrescan, &QPushButton::clicked, this, [this] { cmdrescan_Click(); });
    connect(cboLocators, &QComboBox::activated, this,
            [this](int index) { cboLocators_Click(index); });
    connect(cmdManagePorts, &QPushButton::clicked, this, [this] { cmdManagePorts_Click(); });
    connect(cmdDownloadAll, &QPushButton::clicked, this, [this] { cmdDownloadAll_Click(); });
    connect(cmdDownloadByDate, &QPushButton::clicked, this, [this] { cmdDownloadByDate_Click(); });
    connect(cmdStop, &QPushButton::clicked, this, [this] { cmdStop_Click(); });
    connect(tmrAbort, &QTimer::timeout, this, [this] { tmrAbort_Timer(); });
    connect(dtpEnd, &QDateEdit::dateChanged, this, [this] { dtpEnd_Change(); });
    connect(cmdSetDate, &QPushButton::clicked, this, [this] { cmdSetDate_Click(); });
    connect(cmdSetTime, &QPushButton::clicked, this, [this] { cmdSetTime_Click(); });
    connect(cmdSetUser, &QPushButton::clicked, this, [this] { cmdSetUser_Click(); });
    connect(txtUser, &QLineEdit::textChanged, this, [this] { txtUser_Change(); });
    connect(MonthView1, &QCalendarWidget::clicked, this, [this] { MonthView1_DateClick(); });
    connect(tmrSTDLMonitor, &QTimer::timeout, this,
            [this] { selfTestLookup->tmrSTDLMonitor_Timer(); });
}

frmMain::~frmMain() {
    qApp->removeEventFilter(this);
    if (link)
        link->ClosePorts();
}

// --- Building the window -------------------------------------------------------------------

void frmMain::BuildControls() {
    auto* central = new QWidget(this);
    auto* layout = new QGridLayout(central);

    Label14 = new QLabel(QStringLiteral("VZ3"), central);
    QFont big = Label14->font();
    big.setPointSize(big.pointSize() + 14);
    big.setBold(true);
    Label14->setFont(big);
    Picture1 = new QLabel(central);
    Picture1->setPixmap(MakerLogo());
    layout->addWidget(Picture1, 0, 0, 1, 2);
    layout->addWidget(Label14, 0, 2, 1, 2, Qt::AlignRight);

    Label5 = Caption("Model:", central);
    txtModel = new QLineEdit(central);
    txtModel->setReadOnly(true);
    Label6 = Caption("Serial No:", central);
    txtSerialNo = new QLineEdit(central);
    txtSerialNo->setReadOnly(true);
    layout->addWidget(Label5, 1, 0);
    layout->addWidget(txtModel, 1, 1);
    layout->addWidget(Label6, 1, 2);
    layout->addWidget(txtSerialNo, 1, 3);

    tabstrip = new QTabWidget(central);
    tabstrip->addTab(BuildConnectTab(), QStringLiteral("Connect"));
    tabstrip->addTab(BuildTransferTab(), QStringLiteral("Transfer"));
    tabstrip->addTab(BuildAnalyseTab(), QStringLiteral("Analyse"));
    tabstrip->addTab(BuildSetupTab(), QStringLiteral("Setup"));
    layout->addWidget(tabstrip, 2, 0, 1, 4);

    Label8 = Caption("Status", central);
    // The status and the monitor keep their size whatever they show, so the window does too.
    lblStatus = new FittedLabel(2, central);
    lblStatus->setText(QStringLiteral("Ready..."));
    lblStatus->setToolTip(QStringLiteral("Shows the current activity status of the"));
    layout->addWidget(Label8, 3, 0, Qt::AlignTop);
    layout->addWidget(lblStatus, 3, 1, 1, 3);

    Label4 = Caption("Live Monitor", central);
    lblMonitor = new FittedLabel(1, central);
    shpMode = new QFrame(central);
    shpMode->setFixedSize(16, 16);
    shpMode->setAutoFillBackground(true);
    auto* monitorRow = new QHBoxLayout;
    monitorRow->addWidget(lblMonitor, 1);
    monitorRow->addWidget(shpMode);
    layout->addWidget(Label4, 4, 0);
    layout->addLayout(monitorRow, 4, 1, 1, 3);

    Command1 = Button("About", nullptr, central);
    cmdExit = Button("Exit", "Exit the application", central);
    layout->addWidget(Command1, 5, 2);
    layout->addWidget(cmdExit, 5, 3);
    setCentralWidget(central);

    tmrDLStatusFlash = new QTimer(this);
    tmrDLStatusFlash->setInterval(500);
    tmrFlashStatusMessage = new QTimer(this);
    tmrFlashStatusMessage->setInterval(500);
    tmrAbort = new QTimer(this);
    tmrAbort->setInterval(3000);
    tmrSTDLMonitor = new QTimer(this);
    tmrSTDLMonitor->setInterval(700);

    connect(tmrDLStatusFlash, &QTimer::timeout, this, &frmMain::tmrDLStatusFlash_Timer);
    connect(tmrFlashStatusMessage, &QTimer::timeout, this, &frmMain::tmrFlashStatusMessage_Timer);
    connect(Command1, &QPushButton::clicked, this, &frmMain::Command1_Click);
    connect(cmdExit, &QPushButton::clicked, this, &frmMain::cmdExit_Click);
    connect(cmdDisconnect, &QPushButton::clicked, this, &frmMain::cmdDisconnect_Click);
    connect(cmdOpenCertFolder, &QPushButton::clicked, this, &frmMain::cmdOpenCertFolder_Click);
    connect(cmdOpenImageFolder, &QPushButton::clicked, this, &frmMain::cmdOpenImageFolder_Click);
    connect(chkAdvanced, &QCheckBox::clicked, this, &frmMain::chkAdvanced_Click);
    connect(cmdOpenExistingFile, &QPushButton::clicked, this, &frmMain::cmdOpenExistingFile_Click);
    connect(cmdAnalyse, &QPushButton::clicked, this, &frmMain::cmdAnalyse_Click);
    connect(cmdExportCSV, &QPushButton::clicked, this, &frmMain::cmdExportCSV_Click);
}

QWidget* frmMain::BuildConnectTab() {
    auto* page = new QWidget;
    auto* layout = new QVBoxLayout(page);

    frmConnect = new QGroupBox(QStringLiteral("Select or Scan"), page);
    auto* grid = new QGridLayout(frmConnect);
    cboLocators = new QComboBox(frmConnect);
    cboLocators->setPlaceholderText(QStringLiteral("Choose..."));
    cmdrescan = Button("Scan", "Click to scan for a locator you have plugged into a USB socket",
                       frmConnect);
    cmdManagePorts = Button(
        "Manage", "Click to manage the list of locators you have previously connected", frmConnect);
    cmdDisconnect =
        Button("Disconnect", "Click to disconnect the currently connected locator", frmConnect);
    grid->addWidget(Caption("Select a Locator", frmConnect), 0, 0);
    grid->addWidget(cboLocators, 0, 1);
    grid->addWidget(cmdManagePorts, 0, 2);
    grid->addWidget(Caption("Or", frmConnect), 1, 0);
    grid->addWidget(Caption("Scan for a new one", frmConnect), 2, 0);
    grid->addWidget(cmdrescan, 2, 1);
    grid->addWidget(cmdDisconnect, 2, 2);
    layout->addWidget(frmConnect);

    Frame5 = new QGroupBox(QStringLiteral("Self Test Certificate"), page);
    auto* certRow = new QHBoxLayout(Frame5);
    cmdOpenCertFolder = new QPushButton(QStringLiteral("..."), Frame5);
    cmdOpenCertFolder->setToolTip(QStringLiteral(
        "Click to open the folder containing previously generated Self Test certificates"));
    certRow->addWidget(cmdOpenCertFolder);
    certRow->addWidget(Caption("Open Folder", Frame5), 1);
    layout->addWidget(Frame5);

    lblCommError = new FittedLabel(2, page);
    layout->addWidget(lblCommError);
    layout->addStretch();
    return page;
}

QWidget* frmMain::BuildTransferTab() {
    auto* page = new QWidget;
    auto* layout = new QGridLayout(page);

    Frame2 = new QGroupBox(QStringLiteral("Transfer"), page);
    auto* grid = new QGridLayout(Frame2);
    lblDTPSelectRange = Caption("Select range:", Frame2);
    lblDTPStart = Caption("From:", Frame2);
    dtpStart = new QDateEdit(Frame2);
    lblDTPEnd = Caption("To:", Frame2);
    dtpEnd = new QDateEdit(Frame2);
    cmdDownloadByDate = Button(
        "Start Transfer",
        "Click to transfer data from the locator in the date range you have set above", Frame2);
    lblDownloadAllOr = Caption("OR", Frame2);
    cmdDownloadAll = Button("All",
                            "Click to transfer ALL the data stored in the locator. WARNING: This "
                            "could take a considerable time",
                            Frame2);
    lblLastDlDate = Caption("Last Download Date:", Frame2);
    lblLastDownloadDate = new QLabel(Frame2);
    grid->addWidget(lblDTPSelectRange, 0, 0, 1, 2);
    grid->addWidget(lblDTPStart, 1, 0);
    grid->addWidget(dtpStart, 1, 1);
    grid->addWidget(lblDTPEnd, 2, 0);
    grid->addWidget(dtpEnd, 2, 1);
    grid->addWidget(cmdDownloadByDate, 3, 0, 1, 2);
    grid->addWidget(lblDownloadAllOr, 4, 0);
    grid->addWidget(cmdDownloadAll, 4, 1);
    // All keeps its place while hidden, so Advanced does not move the controls around it.
    for (QWidget* w : std::initializer_list<QWidget*>{lblDownloadAllOr, cmdDownloadAll}) {
        QSizePolicy policy = w->sizePolicy();
        policy.setRetainSizeWhenHidden(true);
        w->setSizePolicy(policy);
    }
    grid->addWidget(lblLastDlDate, 5, 0);
    grid->addWidget(lblLastDownloadDate, 5, 1);
    layout->addWidget(Frame2, 0, 0);

    Frame3 = new QGroupBox(QStringLiteral("System Validation Certificate"), page);
    auto* certLayout = new QVBoxLayout(Frame3);
    Label16 = Caption("Select a Date:", Frame3);
    MonthView1 = new QCalendarWidget(Frame3);
    certLayout->addWidget(Label16);
    certLayout->addWidget(MonthView1);
    layout->addWidget(Frame3, 0, 1);

    cmdStop = Button("Stop", nullptr, page);
    ProgressBar1 = new QProgressBar(page);
    ProgressBar1->setTextVisible(false);
    lblEndError = new FittedLabel(2, page);
    layout->addWidget(lblEndError, 1, 0, 1, 2);
    layout->addWidget(cmdStop, 2, 0);
    layout->addWidget(ProgressBar1, 2, 1);
    return page;
}

QWidget* frmMain::BuildAnalyseTab() {
    auto* page = new QWidget;
    auto* layout = new QVBoxLayout(page);

    Frame1 = new QGroupBox(QStringLiteral("Data File"), page);
    auto* grid = new QGridLayout(Frame1);
    cmdAnalyse = Button("...", "View the currently open data file", Frame1);
    lblAnalyse = Caption("View Current", Frame1);
    cmdOpenExistingFile = Button("...", "Open a file previously downloaded", Frame1);
    Label3 = Caption("Open", Frame1);
    cmdExportCSV =
        Button("...", "Exports current live file as a CSV file suitable to open in Excel.", Frame1);
    lblExportCSV = Caption("Export current as CSV", Frame1);
    grid->addWidget(cmdAnalyse, 0, 0);
    grid->addWidget(lblAnalyse, 0, 1);
    grid->addWidget(cmdOpenExistingFile, 1, 0);
    grid->addWidget(Label3, 1, 1);
    grid->addWidget(cmdExportCSV, 2, 0);
    grid->addWidget(lblExportCSV, 2, 1);
    layout->addWidget(Frame1);

    Frame6 = new QGroupBox(QStringLiteral("Chart Images"), page);
    auto* row = new QHBoxLayout(Frame6);
    cmdOpenImageFolder = Button("...", "View the currently open data file", Frame6);
    Label19 = Caption("Open Folder", Frame6);
    row->addWidget(cmdOpenImageFolder);
    row->addWidget(Label19, 1);
    layout->addWidget(Frame6);
    layout->addStretch();
    return page;
}

QWidget* frmMain::BuildSetupTab() {
    auto* page = new QWidget;
    auto* grid = new QGridLayout(page);
    Label10 = Caption("User:", page);
    txtUser = new QLineEdit(page);
    lblUserChars = Caption("-32 left-", page);
    cmdSetUser = Button(
        "Set", "Set the user defined field in the locator memory to the text entered left", page);
    cmdSetDate = Button("Set Date",
                        "Set the date stored by the locator to the current date of your PC", page);
    cmdSetTime = Button("Set Time",
                        "Set the time stored by the locator to the current time of your PC", page);
    Label20 = Caption("Firmware Version:", page);
    lblFirmwareVersion = new QLabel(page);
    Label2 = Caption("Advanced", page);
    chkAdvanced = new QCheckBox(page);
    chkAdvanced->setToolTip(QStringLiteral("Make extra Advanced options visible"));
    grid->addWidget(Label10, 0, 0);
    grid->addWidget(txtUser, 0, 1);
    grid->addWidget(lblUserChars, 0, 2);
    grid->addWidget(cmdSetUser, 0, 3);
    grid->addWidget(cmdSetDate, 1, 1);
    grid->addWidget(cmdSetTime, 1, 3);
    grid->addWidget(Label20, 2, 0);
    grid->addWidget(lblFirmwareVersion, 2, 1);
    grid->addWidget(Label2, 3, 0);
    grid->addWidget(chkAdvanced, 3, 1);
    grid->setRowStretch(4, 1);
    return page;
}

// --- Start-up ------------------------------------------------------------------------------

void frmMain::Form_Load() {
    setWindowTitle(QStringLiteral("Tarvik VZ3 Locator PC Toolkit (V%1)").arg(kVersion));
    // Sized once for every control it can show (the Advanced buttons are not hidden yet), then
    // kept: nothing that arrives later may grow the window or move its controls.
    adjustSize();
    setFixedSize(size());
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->availableGeometry();
        move(area.left() + (area.width() - width()) / 2,
             area.top() + (area.height() - height()) / 2);
    }

    SetDataFileButtonsEnabled(false);
    ProgressBar1->setMaximum(165000);
    ProgressBar1->setValue(0);

    tabstrip->setCurrentIndex(TabConnect);
    const QDate today = [this] {
        const DateTime now = clock.Now();
        return QDate(now.year, now.month, now.day);
    }();
    for (QDateEdit* picker : {dtpStart, dtpEnd}) {
        picker->setDisplayFormat(QStringLiteral("dd/MM/yy"));
        picker->setCalendarPopup(true);
        picker->setDate(today);
    }
    tabstrip->setTabEnabled(TabTransfer, false);
    tabstrip->setTabEnabled(TabSetup, false);
    MonthView1->setSelectedDate(today);

    cmdDownloadAll->setEnabled(false);
    cmdDownloadAll->setVisible(false);
    cmdStop->setEnabled(false);
    cmdStop->setVisible(false);
    lblDownloadAllOr->setVisible(false);

    // Folders that the toolkit writes into are made when missing.
    std::error_code ignored;
    std::filesystem::create_directories(folders.DataFolder(), ignored);

    SetLinkControls(false);

    ShowPortList(PortList::Read(folders.PortsFilePath()));

    if (!commandLine.isEmpty())
        QTimer::singleShot(0, this, [this] { cmdOpenExistingFile_Click(); });
}

// --- Status line ---------------------------------------------------------------------------

void frmMain::SetStatus(const QString& text, std::uint32_t colour) {
    QPalette palette = lblStatus->palette();
    palette.setColor(QPalette::WindowText, VbColour(colour));
    lblStatus->setPalette(palette);
    lblStatus->setText(text);
}

void frmMain::FlashStatusMessage(int count, const QString& text, std::uint32_t colour) {
    flashTicks_ = 0;
    flashCount_ = count;
    flashSavedCaption_.clear();
    SetStatus(text, colour);
    tmrFlashStatusMessage->stop();
    tmrFlashStatusMessage->start();
}

void frmMain::tmrFlashStatusMessage_Timer() {
    if (flashTicks_ == 0)
        flashSavedCaption_ = lblStatus->text();
    ++flashTicks_;
    flashOn_ = !flashOn_;
    lblStatus->setText(flashOn_ ? flashSavedCaption_ : QString());
    if (flashTicks_ >= 2 * flashCount_) {
        tmrFlashStatusMessage->stop();
        flashTicks_ = 0;
    }
}

void frmMain::StopStatusFlash() {
    tmrFlashStatusMessage->stop();
    flashTicks_ = 0;
    flashCount_ = 0;
}

void frmMain::StartDownloadBlink() {
    tmrDLStatusFlash->start();
}

void frmMain::StopDownloadBlink() {
    tmrDLStatusFlash->stop();
}

void frmMain::tmrDLStatusFlash_Timer() {
    downloadBlinkOn_ = !downloadBlinkOn_;
    SetStatus(downloadBlinkOn_ ? QStringLiteral("Downloading data from the locator, please wait.")
                               : QString(),
              colours::kRed);
}

// --- Link controls -------------------------------------------------------------------------

void frmMain::SetLinkControls(bool linked) {
    if (!linked && AnySerialPortOpen && AnySerialPortOpen())
        ShowUnlinked();
    const bool logs = !link->flags.NoLogModel;
    cmdDownloadAll->setEnabled(linked && logs);
    cmdDownloadByDate->setEnabled(linked && logs);
    for (QWidget* w :
         std::initializer_list<QWidget*>{dtpStart, dtpEnd, lblDTPStart, lblDTPEnd, lblDownloadAllOr,
                                         lblDTPSelectRange, lblLastDlDate})
        w->setEnabled(logs);
    for (QWidget* w : std::initializer_list<QWidget*>{cmdSetDate, cmdSetTime, cmdSetUser,
                                                      cmdDisconnect, txtUser})
        w->setEnabled(linked);
}

void frmMain::ShowUnlinked() {
    if (CloseSerialPorts)
        CloseSerialPorts();
    txtModel->clear();
    txtSerialNo->clear();
    txtUser->clear();
    UpdateUserChars();
    lblMonitor->clear();
    // The emptied status line stays empty until the next message: no blink brings back an
    // older one.
    StopDownloadBlink();
    StopStatusFlash();
    lblStatus->clear();
    SetLamp(colours::kDarkRed);
    tabstrip->setTabEnabled(TabTransfer, false);
    tabstrip->setTabEnabled(TabSetup, false);
}

void frmMain::SetDataFileButtonsEnabled(bool enabled) {
    for (QWidget* w :
         std::initializer_list<QWidget*>{cmdAnalyse, lblAnalyse, cmdExportCSV, lblExportCSV})
        w->setEnabled(enabled);
}

void frmMain::UpdateUserChars() {
    lblUserChars->setText(
        Latin1(RemainingCharsText(static_cast<std::size_t>(txtUser->text().size()))));
}

void frmMain::SetLamp(std::uint32_t colour) {
    QPalette palette = shpMode->palette();
    palette.setColor(QPalette::Window, VbColour(colour));
    shpMode->setPalette(palette);
}

LocatorIdentity frmMain::ShownIdentity() const {
    return LocatorIdentity{Bytes(txtUser->text()), Bytes(txtModel->text()),
                           Bytes(txtSerialNo->text()), Bytes(FirmwareVersionText)};
}

void frmMain::ShowIdentity(const LocatorIdentity& identity) {
    txtModel->setText(Latin1(identity.model));
    txtSerialNo->setText(Latin1(identity.serial));
    txtUser->setText(Latin1(identity.user));
    UpdateUserChars();
}

// --- Handlers ------------------------------------------------------------------------------

void frmMain::cmdExit_Click() {
    exiting_ = true;
    link->EndTransferOrLookup(false);
    link->ClosePorts();
    file1.Close();
    QApplication::closeAllWindows();
    QApplication::quit();
}

void frmMain::closeEvent(QCloseEvent* event) {
    if (!exiting_) {
        event->ignore();
        cmdExit_Click();
        return;
    }
    event->accept();
}

void frmMain::cmdDisconnect_Click() {
    if (!prompts.AskYesNo("Are you sure you want to disconnect?"))
        return;
    link->Disconnect();
    FirmwareVersionText.clear();
    ReleaseCurrentFile();
}

void frmMain::cmdrescan_Click() {
    if (!prompts.AskYesNo("Are you sure you want to scan?"))
        return;
    discovery->ScanAndConnect();
}

void frmMain::cboLocators_Click(int index) {
    if (index < 0)
        return;
    discovery->cboLocators_Click(cboLocators->itemData(index).toInt());
}

void frmMain::cmdManagePorts_Click() {
    auto* editor = new frmPortManage(
        prompts, folders.PortsFilePath(),
        [this](const std::vector<PortRecord>& records) { ShowPortList(records); }, this);
    editor->setAttribute(Qt::WA_DeleteOnClose);
    editor->Form_Load();
    editor->show();
}

void frmMain::ShowPortList(const std::vector<PortRecord>& records) {
    cboLocators->clear();
    for (const PortRecord& record : records)
        cboLocators->addItem(Latin1(record.serial), record.port);
    cboLocators->setCurrentIndex(-1);
}

namespace {

DateTime DateOf(const QDate& date) {
    return DateTime{date.year(), date.month(), date.day()};
}

} // namespace

void frmMain::cmdDownloadAll_Click() {
    download->cmdDownloadAll_Click();
}

void frmMain::cmdDownloadByDate_Click() {
    download->cmdDownloadByDate_Click(DateOf(dtpStart->date()), DateOf(dtpEnd->date()));
}

void frmMain::cmdStop_Click() {
    download->cmdStop_Click();
}

void frmMain::tmrAbort_Timer() {
    download->tmrAbort_Timer();
}

void frmMain::dtpEnd_Change() {
    if (dtpEnd->date() < dtpStart->date()) {
        // The earliest end date stays the start date from now on.
        dtpEnd->setMinimumDate(dtpStart->date());
        lblEndError->setText(
            QStringLiteral("End date can not be before start date. End date set to start date."));
    } else {
        lblEndError->clear();
    }
}

void frmMain::MonthView1_DateClick() {
    selfTestLookup->MonthView1_DateClick(DateOf(MonthView1->selectedDate()));
}

void frmMain::cmdSetDate_Click() {
    SetLocatorDate(*link);
}

void frmMain::cmdSetTime_Click() {
    SetLocatorTime(*link);
}

void frmMain::cmdSetUser_Click() {
    SetLocatorUser(*link, Bytes(txtUser->text()), currentFileIdentity);
}

void frmMain::txtUser_Change() {
    const UserTextEdit edit = CheckUserTextEdit(
        Bytes(txtUser->text()), static_cast<std::size_t>(txtUser->cursorPosition()));
    if (edit.removed) {
        txtUser->setText(Latin1(edit.text)); // a change of its own: this runs again
        txtUser->setCursorPosition(static_cast<int>(edit.caret));
        return;
    }
    UpdateUserChars();
}

void frmMain::cmdOpenCertFolder_Click() {
    OpenFolder(folders.CertsFolder());
}

void frmMain::cmdOpenImageFolder_Click() {
    OpenFolder(folders.ImagesFolder());
}

void frmMain::OpenFolder(const std::filesystem::path& folder) {
    std::error_code ignored;
    std::filesystem::create_directories(folder, ignored);
    if (!desktop_.openFolder(folder))
        prompts.Inform(CouldNotOpenText("folder", folder.string()), {}, PromptIcon::Warning);
}

void frmMain::OpenWebPage(const QString& url) {
    if (!desktop_.openUrl(url))
        prompts.Inform(CouldNotOpenText("web page", Bytes(url)), {}, PromptIcon::Warning);
}

void frmMain::OpenDocument(const std::filesystem::path& file) {
    if (!desktop_.openDocument(file))
        prompts.Inform(CouldNotOpenText("document", file.string()), {}, PromptIcon::Warning);
}

void frmMain::Command1_Click() {
    auto* about = new frmAbout(
        QString::fromLatin1(kVersion), FirmwareVersionText,
        [this](const QString& url) { OpenWebPage(url); }, this);
    about->setObjectName(QStringLiteral("frmAbout"));
    about->show();
}

void frmMain::chkAdvanced_Click() {
    const bool on = chkAdvanced->isChecked();
    for (QWidget* w : std::initializer_list<QWidget*>{cmdManagePorts, cmdDownloadAll, cmdStop}) {
        w->setEnabled(on);
        w->setVisible(on);
    }
    if (on)
        tabstrip->setCurrentIndex(TabTransfer);
}

void frmMain::Form_KeyDown(int keyCode) {
    switch (keySum_.Press(keyCode)) {
    case KeySum::Action::OpenServiceWindow:
        if (CloseSerialPorts)
            CloseSerialPorts();
        if (OpenServiceWindow)
            OpenServiceWindow();
        break;
    case KeySum::Action::OpenAbout:
        Command1_Click();
        break;
    case KeySum::Action::None:
        break;
    }
}

bool frmMain::eventFilter(QObject* watched, QEvent* event) {
    // Key presses anywhere in this window count once: at their first receiver, the focused
    // widget (or the window itself when nothing inside it has the focus). A key event handed
    // on to a parent widget is the same press.
    if (event->type() == QEvent::KeyPress) {
        QWidget* focused = focusWidget();
        QWidget* firstReceiver = focused && focused->window() == this ? focused : this;
        if (watched == firstReceiver)
            if (const int code = KeyCodeOf(static_cast<QKeyEvent*>(event)->key()))
                Form_KeyDown(code);
    }
    return QMainWindow::eventFilter(watched, event);
}

// --- Data files ----------------------------------------------------------------------------

void frmMain::ReleaseCurrentFile() {
    if (currentDataFile.IsSet() && FileLocked(currentDataFile.Path()))
        file1.Close();
}

void frmMain::cmdOpenExistingFile_Click() {
    // A refused file leaves the status line as it was before the choice.
    const QString statusBefore = lblStatus->text();
    const QColor colourBefore = lblStatus->palette().color(QPalette::WindowText);
    SetStatus(QStringLiteral("Choose a file..."));
    std::optional<std::filesystem::path> chosen;
    if (commandLine.isEmpty()) {
        chosen = desktop_.chooseDataFile(folders.DataFolder());
    } else {
        chosen = std::filesystem::path(UnquotePath(commandLine.toStdString()));
        commandLine.clear();
    }
    if (!chosen || chosen->empty()) {
        lblStatus->clear();
        return;
    }
    if (OpenDataFile(*chosen))
        return;
    QPalette palette = lblStatus->palette();
    palette.setColor(QPalette::WindowText, colourBefore);
    lblStatus->setPalette(palette);
    lblStatus->setText(statusBefore);
}

bool frmMain::OpenDataFile(const std::filesystem::path& file) {
    // The file the user chose is opened from its own folder.
    CurrentDataFile chosen;
    chosen.folder = file.has_parent_path() ? file.parent_path() : std::filesystem::current_path();
    chosen.name = file.filename().string();
    if (!ShowOpenedFile(chosen, true))
        return false;
    ShowDataViewer(true);
    return true;
}

void frmMain::cmdAnalyse_Click() {
    if (ShowOpenedFile(currentDataFile, false))
        ShowDataViewer(false);
}

// The checks and updates shared by Open and View Current; false when the viewer must not open.
// Every check comes before any change: a refused file leaves the current file, its identity,
// the link, the buttons and the status as they were.
bool frmMain::ShowOpenedFile(const CurrentDataFile& file, bool fromOpen) {
    ReleaseCurrentFile();
    if (!FileHasData(file.Path())) {
        prompts.Inform(kNoDataMessage);
        return false;
    }
    LocatorIdentity identity = currentFileIdentity;
    if (ReadFileIdentity(file.Path(), identity) == IdentityReadResult::Damaged) {
        prompts.Inform(DamagedIdentityMessage());
        return false;
    }
    currentDataFile = file;
    currentFileIdentity = identity;
    if (fromOpen)
        SetLinkControls(false); // an open file replaces any linked locator
    ProgressBar1->setValue(0);
    SetDataFileButtonsEnabled(true);
    SetStatus(QStringLiteral("File '%1' successfully opened").arg(Latin1(currentDataFile.name)),
              colours::kDarkGrey);
    ShowIdentity(currentFileIdentity);
    ReleaseCurrentFile();
    return true;
}

void frmMain::ShowDataViewer(bool hideMainWindow) {
    ViewerContext context{
        currentDataFile, folders, prompts, clock, [this] { ReleaseCurrentFile(); }, {}};
    context.desktop.openFolder = desktop_.openFolder;
    context.desktop.openDocument = desktop_.openDocument;
    context.desktop.fontsFolder = desktop_.programFolder / "Fonts";
    // The main window goes first: hidden after the viewer had drawn itself, it took the
    // viewer's pending repaints with it, and the viewer showed empty boxes over its rows.
    if (hideMainWindow)
        hide();
    OpenOrRaiseDataViewer(viewer_, std::move(context), this, [this] { show(); });
}

void frmMain::cmdExportCSV_Click() {
    ReleaseCurrentFile();
    const auto output = CsvOutputPath(folders.DataFolder(), currentDataFile.name);
    const CsvExportResult result =
        ExportCsv(currentDataFile.Path(), output, Bytes(txtModel->text()));
    if (result.ok)
        prompts.Inform("CSV file succesfully saved");
    else
        prompts.Inform("The CSV file could not be saved. " + result.error, {}, PromptIcon::Warning);
}

} // namespace tarvik
