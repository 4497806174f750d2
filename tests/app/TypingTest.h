#pragma once

#include <QObject>

// What the user types into the drop-down lists, through key presses and focus changes.
class TypingTest : public QObject {
    Q_OBJECT

private slots:
    void typedItemTextStaysUnselectedWhenTheFocusLeaves();
    void typedItemTextStaysUnselectedOnEnter();
    void aTypedIntervalKeepsThePreviousOne();
    void arrowKeysStillPickItems();
};
