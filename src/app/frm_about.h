#pragma once

#include <QDialog>
#include <functional>

class QLabel;
class QPushButton;

namespace tarvik {

// "About Tarvik Locator Bluetooth Toolkit": versions and the way to the maker's support page.
class frmAbout : public QDialog {
    Q_OBJECT
public:
    frmAbout(const QString& programVersion, const QString& firmwareVersionText,
             std::function<void(const QString& url)> openUrl, QWidget* parent = nullptr);

    QLabel* lblVersion;
    QLabel* lblFVersion;
    QPushButton* cmdSupport;
    QPushButton* cmdClose;
};

} // namespace tarvik
