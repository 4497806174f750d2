#include "MessageBoxCatcher.h"

#include <QAbstractButton>
#include <QApplication>
#include <QLabel>
#include <QTextDocumentFragment>

namespace {

QString DisplayedText(const QLabel* label) {
    bool rich = label->textFormat() == Qt::RichText ||
                (label->textFormat() == Qt::AutoText && Qt::mightBeRichText(label->text()));
    return rich ? QTextDocumentFragment::fromHtml(label->text()).toPlainText() : label->text();
}

} // namespace

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
    auto* label = box->findChild<QLabel*>(QStringLiteral("qt_msgbox_label"));
    QAbstractButton* ok = box->button(QMessageBox::Ok);
    boxes_.push_back({box->windowTitle(), box->text(), box->icon(),
                      label ? DisplayedText(label) : QString(), ok->text()});
    ok->click();
}
