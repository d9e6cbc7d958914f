#include "link/frm_port_manage.h"

#include "link/port_naming.h"

#include <QCloseEvent>
#include <QGridLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>

namespace tarvik {

frmPortManage::frmPortManage(Prompts& prompts, std::filesystem::path portsFile,
                             SavedHandler onSaved, QWidget* parent)
    : QDialog(parent), prompts_(prompts), portsFile_(std::move(portsFile)),
      onSaved_(std::move(onSaved)) {
    setObjectName(QStringLiteral("frmPortManage"));
    setWindowTitle(QStringLiteral("Port Editor"));
    auto* grid = new QGridLayout(this);
    lblPort = new QLabel(QStringLiteral("Port"), this);
    txtPort = new QLineEdit(this);
    lblSerialNo = new QLabel(QStringLiteral("Serial No"), this);
    txtSerialNo = new QLineEdit(this);
    cmdAdd = new QPushButton(QStringLiteral("Add"), this);
    cmdDelete = new QPushButton(QStringLiteral("Delete"), this);
    cmdSave = new QPushButton(QStringLiteral("Save"), this);
    cmdClose = new QPushButton(QStringLiteral("Close"), this);
    lvPorts = new QTreeWidget(this);
    lvPorts->setRootIsDecorated(false);
    // The device column says which plug a COM number stands for on this machine.
    lvPorts->setHeaderLabels(
        {QStringLiteral("Port"), QStringLiteral("Serial No"), QStringLiteral("Device")});

    grid->addWidget(lblPort, 0, 0);
    grid->addWidget(txtPort, 0, 1);
    grid->addWidget(lblSerialNo, 1, 0);
    grid->addWidget(txtSerialNo, 1, 1);
    grid->addWidget(cmdAdd, 0, 2);
    grid->addWidget(cmdDelete, 1, 2);
    grid->addWidget(lvPorts, 2, 0, 1, 3);
    grid->addWidget(cmdSave, 3, 1);
    grid->addWidget(cmdClose, 3, 2);

    connect(cmdAdd, &QPushButton::clicked, this, [this] { cmdAdd_Click(); });
    connect(cmdDelete, &QPushButton::clicked, this, [this] { cmdDelete_Click(); });
    connect(cmdSave, &QPushButton::clicked, this, [this] { cmdSave_Click(); });
    connect(cmdClose, &QPushButton::clicked, this, [this] { cmdClose_Click(); });
}

namespace {

// Each row knows which loaded record it shows, so that a save keeps that record's line as
// it stands; rows added here have none.
constexpr int kLoadedRecordRole = Qt::UserRole;
constexpr int kAddedRow = -1;

void AddRow(QTreeWidget* list, const QString& port, const QString& serial, int loadedRecord) {
    auto* row = new QTreeWidgetItem(list);
    row->setText(0, port);
    row->setText(1, serial);
    row->setData(0, kLoadedRecordRole, loadedRecord);
    if (const auto number = ParsePortNumber(port.toStdString()))
        row->setText(2, QString::fromStdString(PortDeviceText(*number)));
}

} // namespace

void frmPortManage::Form_Load() {
    changed_ = false;
    lvPorts->clear();
    const std::vector<PortRecord> records = PortList::Read(portsFile_);
    for (std::size_t i = 0; i < records.size(); ++i)
        AddRow(lvPorts, QString::number(records[i].port),
               QString::fromLatin1(records[i].serial.c_str()), static_cast<int>(i));
}

void frmPortManage::cmdAdd_Click() {
    // A port that is not 1 to 16 could never be opened; say so rather than store it.
    if (!ParsePortNumber(txtPort->text().toStdString())) {
        prompts_.Inform("The port must be a whole number from 1 to 16.");
        return;
    }
    if (lvPorts->topLevelItemCount() >= static_cast<int>(PortList::kMaxRecords)) {
        prompts_.Inform("The list already holds 100 locators.");
        return;
    }
    AddRow(lvPorts, txtPort->text().trimmed(), txtSerialNo->text(), kAddedRow);
    txtPort->clear();
    txtSerialNo->clear();
    changed_ = true;
}

void frmPortManage::cmdDelete_Click() {
    QTreeWidgetItem* selected = lvPorts->currentItem();
    if (!selected)
        return;
    delete selected;
    changed_ = true;
}

void frmPortManage::cmdSave_Click() {
    std::vector<std::size_t> kept;
    std::vector<PortRecord> added;
    for (int i = 0; i < lvPorts->topLevelItemCount(); ++i) {
        const QTreeWidgetItem* row = lvPorts->topLevelItem(i);
        const int loaded = row->data(0, kLoadedRecordRole).toInt();
        if (loaded == kAddedRow)
            added.push_back({row->text(1).toLatin1().toStdString(), row->text(0).toInt()});
        else
            kept.push_back(static_cast<std::size_t>(loaded));
    }
    std::string error;
    if (!PortList::Rewrite(portsFile_, kept, added, &error)) {
        prompts_.Inform("The ports list could not be saved: " + error);
        return;
    }
    // The rows now stand for the records of the rewritten file.
    Form_Load();
    if (onSaved_)
        onSaved_(PortList::Read(portsFile_));
}

void frmPortManage::cmdClose_Click() {
    if (changed_ && prompts_.AskYesNo("Save changes you have made to the ports list?"))
        cmdSave_Click();
    closing_ = true;
    close();
}

void frmPortManage::closeEvent(QCloseEvent* event) {
    // The window's own close box asks the same question as Close.
    if (!closing_ && changed_ && prompts_.AskYesNo("Save changes you have made to the ports list?"))
        cmdSave_Click();
    event->accept();
}

} // namespace tarvik
