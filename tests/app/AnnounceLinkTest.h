#pragma once

#include "LoopbackServer.h"
#include "OpenerRecorder.h"

#include <QObject>
#include <memory>

struct WindowFixture;

// The announcement pane as a user meets it: links clicked with the mouse, links and
// navigations the page starts by itself, the boxes that show their texts, the pane's own
// menu and error page, and the sandbox its pages render in.
class AnnounceLinkTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void init();

    void linksWithinThePageAreCheckedToo();
    void linkTextStaysAsThePageWroteIt();
    void addressesReachTheBrowserAsThePageWroteThem_data();
    void addressesReachTheBrowserAsThePageWroteThem();
    void messagesThePageStartsShowTheirEscapesAsWritten_data();
    void messagesThePageStartsShowTheirEscapesAsWritten();
    void boxesShowTheirTextAsTyped();
    void onlyTheUsersClickOpensAnAddress();
    void onlyWebAddressesAreOpened();
    void thePanesMenuAndErrorPageAreChinese();
    void pagesRenderInsideTheSandbox();
    void engineFlagsOnTheCommandLineAreCutOff();

private:
    // A shown window whose pane has loaded the given page; null if it never loaded.
    std::unique_ptr<WindowFixture> ShowPage(const char* path);

    QStringList Opened() const { return opener_->Opened(); }

    std::unique_ptr<OpenerRecorder> opener_;
    std::unique_ptr<LoopbackServer> server_;
};
