#pragma once

#include <QObject>

// The tray icon, the default error display and the autostart entry.
class ShellTest : public QObject {
    Q_OBJECT

private slots:
    void minimisingHidesTheWindowInTheTray();
    void onlyALeftClickOnTheIconRestores();
    void withoutATrayHidingMinimises();
    void fullStopFollowsTheByteOrderRule();
    void boxesSayOkInChineseWithoutQtsTranslations_data();
    void boxesSayOkInChineseWithoutQtsTranslations();
    void anEscapingErrorShowsTheErrorBoxAndTheProgramGoesOn();
    void autostartWritesOneEntryForTheRunningProgram();
    void autostartQuotesTheProgramPath();
    void autostartThatCannotWriteReportsAndChangesNothing();
};
