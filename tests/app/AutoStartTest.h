#pragma once

#include <QByteArray>
#include <QObject>

// The user's own autostart entry: where it goes, who may write it, and that a launcher
// starts what it names.
class AutoStartTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void theEntryGoesToTheUsersConfigFolder();
    void anOrdinaryUserSetsItWithTheButton();
    void aLauncherStartsAnyProgramPath();
    void aPathNoEntryCanHoldIsRefusedAndTheOldEntryStays();

private:
    QByteArray configHome_;
    QByteArray home_;
};
