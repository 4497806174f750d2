#pragma once

#include "LoopbackServer.h"

#include <QList>
#include <QObject>
#include <QUrl>
#include <memory>

struct WindowFixture;

// The announcement pane as a user meets it: links clicked with the mouse, links and
// navigations the page starts by itself, the boxes that show their texts, the pane's own
// menu and error page, and the sandbox its pages render in.
class AnnounceLinkTest : public QObject {
    Q_OBJECT

public slots:
    // Stands in for every program the desktop could open an address with.
    void RecordOpenedUrl(const QUrl& url) { openedUrls_ << url; }

private slots:
    void initTestCase();
    void cleanupTestCase();
    void init();

    void linksWithinThePageAreCheckedToo();
    void linkTextStaysAsThePageWroteIt();
    void boxesShowTheirTextAsTyped();
    void onlyTheUsersClickOpensAnAddress();
    void onlyWebAddressesAreOpened();
    void thePanesMenuAndErrorPageAreChinese();
    void pagesRenderInsideTheSandbox();
    void engineFlagsOnTheCommandLineAreCutOff();

private:
    // A shown window whose pane has loaded the given page; null if it never loaded.
    std::unique_ptr<WindowFixture> ShowPage(const char* path);

    QList<QUrl> openedUrls_;
    std::unique_ptr<LoopbackServer> server_;
};
