#include "service/frm_tools.h"

#include "app/latin1_text.h"
#include "link/port_list.h"
#include "service/service_password.h"

#include <QCloseEvent>
#include <QDesktopServices>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QUrl>
#include <QVBoxLayout>

namespace tarvik {

bool OpenInDesktopApplication(const std::filesystem::path& file) {
    return QDesktopServices::openUrl(
        QUrl::fromLocalFile(QString::fromStdU16String(file.u16string())));
}

frmTools::frmTools(QWidget* owner, Prompts& prompts, const Clock& clock, Folders folders,
                   CurrentDataFile& currentDataFile, std::unique_ptr<SerialPort> port,
                   std::unique_ptr<Pacer> pacer)
    : QWidget(owner, Qt::Window), prompts_(prompts), clock_(clock), folders_(std::move(folders)),
      currentDataFile_(currentDataFile), port_(std::move(port)), pacer_(std::move(pacer)),
      session_(*port_, *pacer_, *this, prompts_, clock_), openLog_(OpenInDesktopApplication) {
    setObjectName(QStringLiteral("frmTools"));
    setWindowTitle(QStringLiteral("Locator Setup Tools - Internal use only"));
    BuildControls();
    // Received data can bring up a message box, which runs the event loop too.
    port_->onEvent = [this, handle = std::move(port_->onEvent)](PortEvent event) {
        Busy([&] { handle(std::move(event)); });
    };
}

frmTools::~frmTools() = default;

template <typename Action> void frmTools::Busy(Action action) {
    ++busy_;
    action();
    if (--busy_ == 0 && deleteWhenIdle_) {
        deleteWhenIdle_ = false;
        deleteLater();
    }
}

void frmTools::BuildControls() {
    auto* grid = new QGridLayout(this);
    auto caption = [this](const char* text) { return new QLabel(QString::fromLatin1(text), this); };
    auto button = [this](const char* text) {
        return new QPushButton(QString::fromLatin1(text), this);
    };
    auto box = [this](bool readOnly = false) {
        auto* edit = new QLineEdit(this);
        edit->setReadOnly(readOnly);
        return edit;
    };

    txtPort = box(true);
    grid->addWidget(caption("Port"), 0, 0);
    grid->addWidget(txtPort, 0, 1);

    auto* monitor = new QGroupBox(QStringLiteral("Live Monitor"), this);
    auto* monitorLines = new QVBoxLayout(monitor);
    for (QLineEdit*& line : txtMonitor) {
        line = new QLineEdit(monitor);
        line->setReadOnly(true);
        monitorLines->addWidget(line);
    }
    grid->addWidget(monitor, 1, 0, 1, 4);

    txtSend = box();
    cmdSend = button("Send");
    grid->addWidget(txtSend, 2, 0, 1, 3);
    grid->addWidget(cmdSend, 2, 3);

    cmdReadDateTime = button("Read Date &Time");
    txtDate = box();
    txtTime = box();
    grid->addWidget(cmdReadDateTime, 3, 0);
    grid->addWidget(caption("Date:"), 3, 1);
    grid->addWidget(txtDate, 3, 2);
    grid->addWidget(caption("Time:"), 4, 1);
    grid->addWidget(txtTime, 4, 2);

    cmdReadStoredParameters = button("Read Stored Parameters");
    grid->addWidget(cmdReadStoredParameters, 5, 0);

    txtUser = box();
    lblUserChars = caption("-32 left-");
    cmdSetUser = button("Set");
    grid->addWidget(caption("User:"), 6, 0);
    grid->addWidget(txtUser, 6, 1, 1, 2);
    grid->addWidget(lblUserChars, 6, 3);
    grid->addWidget(cmdSetUser, 7, 3);

    txtModel = box();
    txtSerialNo = box();
    cmdSetSerialModel = button("Set Serial No. / Model");
    grid->addWidget(caption("Model:"), 8, 0);
    grid->addWidget(txtModel, 8, 1);
    grid->addWidget(caption("Serial No:"), 9, 0);
    grid->addWidget(txtSerialNo, 9, 1);
    grid->addWidget(cmdSetSerialModel, 9, 2, 1, 2);

    cmdSetDate = button("Set Date");
    cmdSetTime = button("Set Time");
    cmdClearMem = button("Clear Memory");
    cmdResetMemPointer = button("Reset Memory Pointer");
    cmdResetMem = button("Reset Memory");
    cmdStop = button("Stop");
    cmdOpenFile = button("Open Log File");
    grid->addWidget(cmdSetDate, 10, 0);
    grid->addWidget(cmdSetTime, 10, 1);
    grid->addWidget(cmdClearMem, 11, 0);
    grid->addWidget(cmdResetMemPointer, 11, 1);
    grid->addWidget(cmdResetMem, 11, 2);
    grid->addWidget(cmdStop, 12, 0);
    grid->addWidget(cmdOpenFile, 12, 1);

    lblStatus = caption("");
    grid->addWidget(caption("Status"), 13, 0);
    grid->addWidget(lblStatus, 13, 1, 1, 3);

    const std::initializer_list<std::pair<QPushButton*, void (frmTools::*)()>> handlers = {
        {cmdSend, &frmTools::cmdSend_Click},
        {cmdReadDateTime, &frmTools::cmdReadDateTime_Click},
        {cmdReadStoredParameters, &frmTools::cmdReadStoredParameters_Click},
        {cmdSetUser, &frmTools::cmdSetUser_Click},
        {cmdSetSerialModel, &frmTools::cmdSetSerialModel_Click},
        {cmdSetDate, &frmTools::cmdSetDate_Click},
        {cmdSetTime, &frmTools::cmdSetTime_Click},
        {cmdClearMem, &frmTools::cmdClearMem_Click},
        {cmdResetMemPointer, &frmTools::cmdResetMemPointer_Click},
        {cmdStop, &frmTools::cmdStop_Click},
        {cmdOpenFile, &frmTools::cmdOpenFile_Click},
    };
    for (const auto& [control, handler] : handlers)
        connect(control, &QPushButton::clicked, this,
                [this, handler] { Busy([this, handler] { (this->*handler)(); }); });
    connect(txtUser, &QLineEdit::textChanged, this, [this] { txtUser_Change(); });
}

bool frmTools::Form_Load(const std::function<void()>& exitApplication) {
    bool opened = false;
    Busy([&] { opened = OpenSession(exitApplication); });
    return opened;
}

bool frmTools::OpenSession(const std::function<void()>& exitApplication) {
    const auto password = prompts_.AskHiddenText("Enter your passwword", "Password");
    if (!password || !IsServicePassword(*password)) {
        close();
        exitApplication();
        return false;
    }
    show();
    for (;;) {
        const std::optional<int> com = AskPort();
        // The user may also have closed the window while the question was open.
        if (!com || closed_) {
            close();
            return false;
        }
        if (session_.OpenToolsPort(*com))
            break;
        prompts_.Inform("COM" + std::to_string(*com) + " could not be opened.");
    }
    StartLog();
    return true;
}

std::optional<int> frmTools::AskPort() {
    for (;;) {
        const auto answer = prompts_.AskText("Enter the port to use", "Port");
        if (!answer)
            return std::nullopt;
        txtPort->setText(Latin1(*answer));
        // Port 0 or a word would open nothing; ask until the answer names a port.
        if (const std::optional<int> com = ParsePortNumber(*answer))
            return com;
        prompts_.Inform("The port must be a whole number from 1 to 16.");
    }
}

void frmTools::StartLog() {
    const CurrentDataFile log = TroubleshootLogLocation(folders_, clock_.Now());
    std::string error;
    if (!session_.CreateLog(log.Path(), &error)) {
        prompts_.Inform("The troubleshoot log " + log.Path().string() +
                        " could not be created: " + error);
        return;
    }
    currentDataFile_ = log;
}

void frmTools::closeEvent(QCloseEvent* event) {
    session_.Close();
    closed_ = true;
    // A command, question or message in progress runs the event loop, where a deferred
    // deletion could take the window from under it: delete once it has returned.
    if (busy_ > 0 && testAttribute(Qt::WA_DeleteOnClose)) {
        setAttribute(Qt::WA_DeleteOnClose, false);
        deleteWhenIdle_ = true;
    }
    event->accept();
}

void frmTools::cmdReadDateTime_Click() {
    session_.ReadDateAndTime();
}

void frmTools::cmdReadStoredParameters_Click() {
    session_.ReadStoredParameters();
}

void frmTools::cmdClearMem_Click() {
    session_.ClearMemory();
}

void frmTools::cmdResetMemPointer_Click() {
    session_.ResetMemoryPointer();
}

void frmTools::cmdSetSerialModel_Click() {
    session_.SetSerialAndModel(Bytes(txtModel->text()), Bytes(txtSerialNo->text()));
}

void frmTools::cmdSetDate_Click() {
    session_.SetDate();
}

void frmTools::cmdSetTime_Click() {
    session_.SetTime();
}

void frmTools::cmdSetUser_Click() {
    session_.SetUser(Bytes(txtUser->text()));
}

void frmTools::cmdSend_Click() {
    session_.SendRaw(Bytes(txtSend->text()));
}

void frmTools::cmdStop_Click() {
    session_.Stop();
}

void frmTools::cmdOpenFile_Click() {
    // Every line is flushed as it is written, so the editor sees the whole log.
    const std::filesystem::path& log = session_.log().path();
    if (log.empty()) {
        prompts_.Inform("There is no troubleshoot log to open.");
        return;
    }
    if (!openLog_(log))
        prompts_.Inform("The troubleshoot log " + log.string() + " could not be opened.");
}

void frmTools::txtUser_Change() {
    lblUserChars->setText(
        Latin1(UserCharsLeftText(static_cast<std::size_t>(txtUser->text().size()))));
}

void frmTools::SetStatus(const std::string& text) {
    lblStatus->setText(Latin1(text));
}

void frmTools::ShowMonitor(const MonitorLines::Lines& lines) {
    for (std::size_t i = 0; i < lines.size(); ++i) {
        txtMonitor[i]->setText(Latin1(lines[i]));
        // Painted now, without running events: the next chunk waits its turn.
        txtMonitor[i]->repaint();
    }
}

void frmTools::ShowStoredParameters(const LocatorIdentity& identity) {
    txtUser->setText(Latin1(identity.user));
    txtModel->setText(Latin1(identity.model));
    txtSerialNo->setText(Latin1(identity.serial));
}

void frmTools::ShowLocatorClock(const LocatorClockReply& clock) {
    txtDate->setText(Latin1(clock.date));
    txtTime->setText(Latin1(clock.time));
}

void frmTools::EnableCommands(bool on) {
    for (QPushButton* command :
         {cmdSend, cmdReadDateTime, cmdReadStoredParameters, cmdSetUser, cmdSetSerialModel,
          cmdSetDate, cmdSetTime, cmdClearMem, cmdResetMemPointer, cmdStop})
        command->setEnabled(on);
}

} // namespace tarvik
