#pragma once

#include <QMessageBox>
#include <QObject>
#include <QString>
#include <QTimer>
#include <vector>

// Answers every modal message box that opens while it lives, as a user pressing OK would,
// and remembers what each one showed.
class MessageBoxCatcher : public QObject {
    Q_OBJECT

public:
    struct Box {
        QString title;
        QString text;
        QMessageBox::Icon icon;
        // The text as the box draws it: rich text shows its markup as formatting.
        QString shown;
        QString okText;
    };

    MessageBoxCatcher();

    const std::vector<Box>& Boxes() const { return boxes_; }
    QStringList Texts() const;

private:
    void AnswerOpenBox();

    QTimer poll_;
    std::vector<Box> boxes_;
};
