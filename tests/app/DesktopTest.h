#pragma once

#include <QObject>
#include <QProcess>
#include <QString>

// The tray of a real X desktop: a tray host that starts after the program and quits again,
// and the message of a find beside the docked icon.  Runs on the xcb platform with the
// "trayer" tray host; skipped without them.
class DesktopTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanup();
    void theProgramFollowsATrayHostThatComesAndGoes();

private:
    void StartTrayHost();
    void StopTrayHost();

    QString trayHost_;
    QProcess trayHostProcess_;
};
