#include "app/Messages.h"

#include "app/QtText.h"

#include <QAbstractButton>
#include <QMessageBox>
#include <exception>

namespace {

void ShowBox(QWidget* owner, QMessageBox::Icon icon, const std::string& text) {
    QMessageBox box(icon, QString::fromLatin1(kApplicationTitle), FromGbk(text), QMessageBox::Ok,
                    owner);
    // Texts come from pages and errors; they are shown as they stand, never as markup.
    box.setTextFormat(Qt::PlainText);
    // Qt's own text for the button comes from its translations, which a machine may lack;
    // the window is Chinese throughout, so the box says so itself.
    box.button(QMessageBox::Ok)->setText(QString::fromUtf8("确定"));
    box.exec();
}

} // namespace

void ShowMessage(QWidget* owner, const std::string& text) {
    ShowBox(owner, QMessageBox::NoIcon, text);
}

void ShowErrorMessage(QWidget* owner, const std::string& message) {
    ShowBox(owner, QMessageBox::Critical, WithFullStop(message));
}

std::string WithFullStop(std::string message) {
    if (!message.empty() && static_cast<unsigned char>(message.back()) > '.')
        message += '.';
    return message;
}

void RunGuarded(QWidget* owner, const std::function<void()>& handler) {
    try {
        handler();
    } catch (const std::exception& error) {
        ShowErrorMessage(owner, error.what());
    } catch (...) {
        ShowErrorMessage(owner, "Unknown error");
    }
}
