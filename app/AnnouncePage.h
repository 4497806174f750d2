#pragma once

#include <QString>
#include <QUrl>
#include <QWebEnginePage>
#include <functional>

// The page behind the announcement pane.  It reports every navigation before it happens,
// so that the owner can cancel it, and every completed document, frames included, with the
// serialised HTML of the top document at that moment.
class TAnnouncePage : public QWebEnginePage {
    Q_OBJECT

public:
    // Returns true to cancel the navigation to the given address.
    using BeforeNavigate = std::function<bool(const QUrl&)>;
    using DocumentComplete = std::function<void(const QString& topDocumentHtml)>;

    TAnnouncePage(BeforeNavigate beforeNavigate, DocumentComplete documentComplete,
                  QObject* parent);

protected:
    bool acceptNavigationRequest(const QUrl& url, NavigationType type, bool isMainFrame) override;
    void javaScriptConsoleMessage(JavaScriptConsoleMessageLevel level, const QString& message,
                                  int lineNumber, const QString& sourceId) override;

private:
    void WatchForCompletedDocuments();
    void ReportTopDocument();

    BeforeNavigate beforeNavigate_;
    DocumentComplete documentComplete_;
    // Written to the console by every document when it has loaded; unguessable, so that a
    // page cannot fake it by accident.
    QString completedToken_;
};
