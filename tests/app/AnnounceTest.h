#pragma once

#include "LoopbackServer.h"
#include "OpenerRecorder.h"

#include <QObject>
#include <memory>

struct WindowFixture;

// The announcement pane against pages served on loopback, and the recommendation label.
class AnnounceTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void init();

    void pageSetsTheRecommendationAndShowsItsMessage();
    void broadcastAloneChangesTheRecommendationSilently();
    void everyCompletedFrameShowsTheMessageAgain();
    void messageLinksShowTheirTextInsteadOfNavigating();
    void addressLinksOpenOnlyWebAddresses();
    void plainLinksNavigateInsideThePane();
    void recommendationLabelCopiesToTheClipboard();
    void navigationRulesOnGbkText();

private:
    // A window whose pane has loaded the page of marker links; null if it never loaded.
    std::unique_ptr<WindowFixture> OpenLinksPage();

    QStringList Opened() const { return opener_->Opened(); }

    std::unique_ptr<OpenerRecorder> opener_;
    std::unique_ptr<LoopbackServer> server_;
};
