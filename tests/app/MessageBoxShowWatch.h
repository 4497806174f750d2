#pragma once

#include <QApplication>
#include <QEvent>
#include <QMessageBox>
#include <QObject>
#include <functional>

// Runs the test's look at the window each time a message box comes on screen, before
// anyone can answer the box.
class MessageBoxShowWatch : public QObject {
public:
    explicit MessageBoxShowWatch(std::function<void()> look) : look_(std::move(look)) {
        qApp->installEventFilter(this);
    }
    ~MessageBoxShowWatch() override { qApp->removeEventFilter(this); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Show && qobject_cast<QMessageBox*>(watched))
            look_();
        return false;
    }

private:
    std::function<void()> look_;
};
