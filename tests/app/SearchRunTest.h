#pragma once

#include <QObject>

// The buttons and the timer driving the search run through the real controls.
class SearchRunTest : public QObject {
    Q_OBJECT

private slots:
    void startingHidesToTrayAndAFindBringsTheWindowBack();
    void aTickWithoutFindsPollsOnFromTheTray();
    void stopAndSearchNowSetTheButtonsRight();
    void withoutACompletePairTheButtonsOnlyShowTheMessage();
    void aFailedFetchShowsTheNetworkMessage();
    void typedSelectorTextLeavesNoItemSelected();
    void timerRestartsOnlyOnARealChange();
};
