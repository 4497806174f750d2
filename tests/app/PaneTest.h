#pragma once

#include <QObject>

// The result pane and the exclusion pane as line lists, edited and read through the window.
class PaneTest : public QObject {
    Q_OBJECT

private slots:
    void aFilterEndingInALineBreakExcludesNoEmptyLink();
    void linesFollowThePaneAsTheUserEditsIt();
    void aSearchLaysTheResultPaneOutOnce();
    void rowsFoundBeforeAFailureShowWithItsMessage();
};
