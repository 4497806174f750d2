#include "app/AnnouncePage.h"

#include <QUuid>
#include <QWebEngineScript>
#include <QWebEngineScriptCollection>

namespace {

const char kTopDocumentHtml[] = "(function () {"
                                "  var root = document.documentElement;"
                                "  return root ? root.outerHTML : '';"
                                "})()";

} // namespace

TAnnouncePage::TAnnouncePage(BeforeNavigate beforeNavigate, DocumentComplete documentComplete,
                             QObject* parent)
    : QWebEnginePage(parent), beforeNavigate_(std::move(beforeNavigate)),
      documentComplete_(std::move(documentComplete)),
      completedToken_(QUuid::createUuid().toString(QUuid::WithoutBraces)) {
    WatchForCompletedDocuments();
}

bool TAnnouncePage::acceptNavigationRequest(const QUrl& url, NavigationType, bool) {
    return !beforeNavigate_(url);
}

void TAnnouncePage::javaScriptConsoleMessage(JavaScriptConsoleMessageLevel, const QString& message,
                                             int, const QString&) {
    if (message == completedToken_)
        ReportTopDocument();
}

// Every document, in every frame, announces the end of its loading on the console.
void TAnnouncePage::WatchForCompletedDocuments() {
    QWebEngineScript script;
    script.setName(QStringLiteral("document-complete"));
    script.setInjectionPoint(QWebEngineScript::DocumentCreation);
    script.setRunsOnSubFrames(true);
    script.setWorldId(QWebEngineScript::ApplicationWorld);
    script.setSourceCode(
        QStringLiteral("window.addEventListener('load', function () { console.log('%1'); });")
            .arg(completedToken_));
    scripts().insert(script);
}

void TAnnouncePage::ReportTopDocument() {
    runJavaScript(QString::fromLatin1(kTopDocumentHtml), QWebEngineScript::ApplicationWorld,
                  [this](const QVariant& html) {
                      // Reported from the event loop, not from inside the engine's callback,
                      // since the owner may open a modal message box.
                      QMetaObject::invokeMethod(
                          this, [this, text = html.toString()] { documentComplete_(text); },
                          Qt::QueuedConnection);
                  });
}
