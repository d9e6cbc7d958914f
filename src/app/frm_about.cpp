#include "app/frm_about.h"

#include "common/maker_details.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>

namespace tarvik {

frmAbout::frmAbout(const QString& programVersion, const QString& firmwareVersionText,
                   std::function<void(const QString&)> openUrl, QWidget* parent)
    : QDialog(parent) {
    setWindowTitle(QStringLiteral("About Tarvik Locator Bluetooth Toolkit"));
    setAttribute(Qt::WA_DeleteOnClose);
    auto* layout = new QGridLayout(this);
    auto* title = new QLabel(QStringLiteral("Tarvik Locator Toolkit"), this);
    QFont big = title->font();
    big.setPointSize(big.pointSize() + 6);
    big.setBold(true);
    title->setFont(big);
    layout->addWidget(title, 0, 0, 1, 2);
    layout->addWidget(new QLabel(QStringLiteral("PC Toolkit Version:"), this), 1, 0);
    lblVersion = new QLabel(programVersion, this);
    layout->addWidget(lblVersion, 1, 1);
    layout->addWidget(new QLabel(QStringLiteral("Locator Firmware Version:"), this), 2, 0);
    lblFVersion = new QLabel(firmwareVersionText.isEmpty()
                                 ? QStringLiteral("Please connect to a locator and reopen this box")
                                 : QStringLiteral("Firmware version: ") + firmwareVersionText,
                             this);
    layout->addWidget(lblFVersion, 2, 1);
    layout->addWidget(new QLabel(QStringLiteral("Made by %1, %2")
                                     .arg(QString::fromLatin1(maker::kCompanyName),
                                          QString::fromLatin1(maker::kWebAddress)),
                                 this),
                      3, 0, 1, 2);
    cmdSupport = new QPushButton(QStringLiteral("Support"), this);
    cmdClose = new QPushButton(QStringLiteral("Close"), this);
    cmdClose->setDefault(true);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(cmdSupport);
    buttons->addWidget(cmdClose);
    layout->addLayout(buttons, 4, 0, 1, 2);
    connect(cmdSupport, &QPushButton::clicked, this,
            [openUrl] { openUrl(QString::fromLatin1(maker::kSupportUrl)); });
    connect(cmdClose, &QPushButton::clicked, this, &QDialog::close);
}

} // namespace tarvik
