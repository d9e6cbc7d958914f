#include "link/frm_port_manage.h"

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
    lvPorts->setHeaderLabels({QStringLiteral("Port"), QStringLiteral("Serial No")});

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

void frmPortManage::Form_Load() {
    changed_ = false;
    lvPorts->clear();
    for (const PortRecord& record : PortList::Read(portsFile_)) {
        auto* row = new QTreeWidgetItem(lvPorts);
        row->setText(0, QString::number(record.port));
        row->setText(1, QString::fromLatin1(record.serial.c_str()));
    }
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
    auto* row = new QTreeWidgetItem(lvPorts);
    row->setText(0, txtPort->text().trimmed());
    row->setText(1, txtSerialNo->text());
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

std::vector<PortRecord> frmPortManage::Rows() const {
    std::vector<PortRecord> records;
    for (int i = 0; i < lvPorts->topLevelItemCount(); ++i) {
        const QTreeWidgetItem* row = lvPorts->topLevelItem(i);
        records.push_back({row->text(1).toLatin1().toStdString(), row->text(0).toInt()});
    }
    return records;
}

void frmPortManage::cmdSave_Click() {
    const std::vector<PortRecord> records = Rows();
    std::string error;
    if (!PortList::Write(portsFile_, records, &error)) {
        prompts_.Inform("The ports list could not be saved: " + error);
        return;
    }
    if (onSaved_)
        onSaved_(records);
    changed_ = false;
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
