#pragma once

#include "common/prompts.h"
#include "link/port_list.h"

#include <QDialog>
#include <filesystem>
#include <functional>

class QLabel;
class QLineEdit;
class QPushButton;
class QTreeWidget;

namespace tarvik {

// "Port Editor": the saved locators and their ports, edited by hand.
class frmPortManage : public QDialog {
    Q_OBJECT
public:
    using SavedHandler = std::function<void(const std::vector<PortRecord>& records)>;

    frmPortManage(Prompts& prompts, std::filesystem::path portsFile, SavedHandler onSaved,
                  QWidget* parent = nullptr);

    void Form_Load();
    void cmdAdd_Click();
    void cmdDelete_Click();
    void cmdSave_Click();
    void cmdClose_Click();

    QLabel* lblPort;
    QLineEdit* txtPort;
    QLabel* lblSerialNo;
    QLineEdit* txtSerialNo;
    QPushButton* cmdAdd;
    QPushButton* cmdDelete;
    QPushButton* cmdSave;
    QPushButton* cmdClose;
    QTreeWidget* lvPorts; // columns "Port", "Serial No" and the device behind the port

    bool changed() const { return changed_; }

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    Prompts& prompts_;
    std::filesystem::path portsFile_;
    SavedHandler onSaved_;
    bool changed_ = false;
    bool closing_ = false;
};

} // namespace tarvik
