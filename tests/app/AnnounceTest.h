#pragma once

#include "LoopbackServer.h"

#include <QList>
#include <QObject>
#include <QUrl>
#include <memory>

struct WindowFixture;

// The announcement pane against pages served on loopback, and the recommendation label.
class AnnounceTest : public QObject {
    Q_OBJECT

public slots:
    // Stands in for the user's web browser.
    void RecordOpenedUrl(const QUrl& url) { openedUrls_ << url; }

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

    QList<QUrl> openedUrls_;
    std::unique_ptr<LoopbackServer> server_;
};
