#pragma once

#include <QObject>

// The way to the tray and back: minimising, a tray that comes and goes, the message of a
// find, the focus and the cursor.
class TrayTest : public QObject {
    Q_OBJECT

private slots:
    void minimisingHidesWithoutShowingTheWindowAgain();
    void theTrayIsLookedForAtEachHide();
    void aWindowInATrayThatGoesAwayIsMinimised();
    void aFindIsToldBesideTheIcon();
    void aFindWithoutATrayOnlyBringsTheWindowBack();
    void theFocusComesBackWhereItWasBeforeMinimising();
    void theFocusComesBackToTheStartButtonAfterPolling();
    void theFocusIsHeldOnlyForTheLastButtonThatHadIt();
    void aRestoreWhilePollingLendsTheFocusToTheFirstEnabledControl_data();
    void aRestoreWhilePollingLendsTheFocusToTheFirstEnabledControl();
    void aFetchShowsTheWaitCursor();
};
