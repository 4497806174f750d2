#pragma once

#include "LoopbackServer.h"

#include <QList>
#include <QObject>
#include <QUrl>
#include <memory>

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
    QList<QUrl> openedUrls_;
    std::unique_ptr<LoopbackServer> server_;
};
