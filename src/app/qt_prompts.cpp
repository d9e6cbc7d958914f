#include "app/qt_prompts.h"

#include <QApplication>
#include <QInputDialog>
#include <QMessageBox>

namespace tarvik {

namespace {
QString Title(const std::string& title) {
    return title.empty() ? StandardTitle() : QString::fromLatin1(title.c_str());
}

QMessageBox::Icon ToQt(PromptIcon icon) {
    switch (icon) {
    case PromptIcon::Information:
        return QMessageBox::Information;
    case PromptIcon::Warning:
        return QMessageBox::Warning;
    case PromptIcon::Critical:
        return QMessageBox::Critical;
    case PromptIcon::Question:
        return QMessageBox::Question;
    case PromptIcon::None:
        break;
    }
    return QMessageBox::NoIcon;
}
} // namespace

QString StandardTitle() {
    return QStringLiteral("Tarvik PC Toolkit");
}

void QtPrompts::Inform(const std::string& text, const std::string& title, PromptIcon icon) {
    QMessageBox box(ToQt(icon), Title(title), QString::fromLatin1(text.c_str()), QMessageBox::Ok,
                    parent_);
    box.exec();
}

bool QtPrompts::AskYesNo(const std::string& text, const std::string& title) {
    return QMessageBox::question(parent_, Title(title), QString::fromLatin1(text.c_str()),
                                 QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes;
}

std::optional<std::string> QtPrompts::AskText(const std::string& prompt, const std::string& title,
                                              const std::string& initial) {
    bool ok = false;
    QString answer =
        QInputDialog::getText(parent_, Title(title), QString::fromLatin1(prompt.c_str()),
                              QLineEdit::Normal, QString::fromLatin1(initial.c_str()), &ok);
    if (!ok)
        return std::nullopt;
    return answer.toLatin1().toStdString();
}

std::optional<std::string> QtPrompts::AskHiddenText(const std::string& prompt,
                                                    const std::string& title) {
    bool ok = false;
    const QString answer = QInputDialog::getText(
        parent_, Title(title), QString::fromLatin1(prompt.c_str()), QLineEdit::Password, {}, &ok);
    if (!ok)
        return std::nullopt;
    return answer.toLatin1().toStdString();
}

} // namespace tarvik
