#pragma once

#include <QObject>

// The program run by root: the web engine's sandbox does not run for root, so the pane
// must stay empty while the rest of the window works.
class AnnounceRootTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void asRootThePaneLoadsNothing();
};
