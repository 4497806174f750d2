#include "MessageBoxCatcher.h"

#include <QAbstractButton>
#include <QApplication>

MessageBoxCatcher::MessageBoxCatcher() {
    connect(&poll_, &QTimer::timeout, this, &MessageBoxCatcher::AnswerOpenBox);
    poll_.start(5);
}

QStringList MessageBoxCatcher::Texts() const {
    QStringList texts;
    for (const Box& box : boxes_)
        texts << box.text;
    return texts;
}

void MessageBoxCatcher::AnswerOpenBox() {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (!box || !box->isVisible())
        return;
    boxes_.push_back({box->windowTitle(), box->text(), box->icon()});
    box->button(QMessageBox::Ok)->click();
}
