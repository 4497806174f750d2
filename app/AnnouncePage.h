#pragma once

#include <QString>
#include <QUrl>
#include <QWebEnginePage>
#include <functional>

class QJsonObject;

// The page behind the announcement pane.  It reports every navigation of the pane, with the
// address as text and whether the user started it with a click, so that the owner can
// cancel it; and every completed document, frames included, with the serialised HTML of the
// top document at that moment.
//
// The engine asks before a navigation to another document only.  Links are therefore also
// watched inside every document: a click on a link whose address carries a marker flag is
// cancelled there and reported with the link's address exactly as the page wrote it.  A
// navigation with a flag that the page starts by itself is cancelled and reported there too,
// with the engine's text of the address; one that the documents cannot cancel reaches the
// engine's question, or, within the top document, is reported after it happened.
class TAnnouncePage : public QWebEnginePage {
    Q_OBJECT

public:
    // Returns true to cancel the navigation; a navigation reported after it happened
    // ignores the answer.
    using BeforeNavigate = std::function<bool(const QString& url, bool byUserClick)>;
    using DocumentComplete = std::function<void(const QString& topDocumentHtml)>;

    TAnnouncePage(BeforeNavigate beforeNavigate, DocumentComplete documentComplete,
                  QObject* parent);

protected:
    bool acceptNavigationRequest(const QUrl& url, NavigationType type, bool isMainFrame) override;
    void javaScriptConsoleMessage(JavaScriptConsoleMessageLevel level, const QString& message,
                                  int lineNumber, const QString& sourceId) override;

private:
    void WatchEveryDocument();
    void ReportTopDocument();
    void ReportLinkClick(const QJsonObject& click);
    void ReportChangedUrl(const QUrl& url);

    BeforeNavigate beforeNavigate_;
    DocumentComplete documentComplete_;
    // Starts every report that the documents write to the console; unguessable, so that a
    // page cannot fake a report.
    QString reportToken_;
};
