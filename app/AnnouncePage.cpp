#include "app/AnnouncePage.h"

#include <QByteArrayView>
#include <QJsonDocument>
#include <QJsonObject>
#include <QUuid>
#include <QWebEngineScript>
#include <QWebEngineScriptCollection>

namespace {

const char kTopDocumentHtml[] = "(function () {"
                                "  var root = document.documentElement;"
                                "  return root ? root.outerHTML : '';"
                                "})()";

// Runs in every document, frames included, in a world of its own that the page's scripts
// cannot reach.  It reports the end of loading, and each click on a link whose address
// carries one of the window's two flags, which it cancels before any listener of the page
// sees the click.  A navigation with a flag that the page starts by itself (a script, a
// refresh) it cancels and reports with the engine's own text of the address, before the
// address becomes a QUrl, which would decode escapes such as %41 and turn every "%" of an
// address with a stray one into "%25".  %1 is the report token.
const char kDocumentWatch[] =
    "(function () {"
    "  function report(fields) { console.log('%1' + JSON.stringify(fields)); }"
    "  window.addEventListener('load', function () { report({kind: 'complete'}); });"
    "  window.addEventListener('click', function (event) {"
    "    var path = event.composedPath();"
    "    for (var i = 0; i < path.length; ++i) {"
    "      var node = path[i];"
    "      if (!node.matches || !node.matches('a[href], area[href]')) continue;"
    "      var href = node.getAttribute('href');"
    "      if (href.indexOf('#m#') < 0 && href.indexOf('#n#') < 0) return;"
    "      event.preventDefault();"
    "      report({kind: 'link', href: href, byUser: event.isTrusted});"
    "      return;"
    "    }"
    "  }, true);"
    "  if (!window.navigation) return;"
    "  navigation.addEventListener('navigate', function (event) {"
    "    var url = event.destination.url;"
    "    if (!event.cancelable || (url.indexOf('#m#') < 0 && url.indexOf('#n#') < 0)) return;"
    "    event.preventDefault();"
    "    report({kind: 'navigate', href: url});"
    "  });"
    "})();";

// Turns the given escapes back into their bytes: %XX for every non-ASCII byte and for the
// ASCII characters in `characters`; every other escape stays as it is.
QByteArray UndoEscapes(const QByteArray& encoded, QByteArrayView characters) {
    QByteArray text;
    for (qsizetype i = 0; i < encoded.size(); ++i) {
        bool isHex = false;
        int value = i + 2 < encoded.size() && encoded[i] == '%'
                        ? encoded.mid(i + 1, 2).toInt(&isHex, 16)
                        : 0;
        if (isHex && (value >= 0x80 || characters.contains(static_cast<char>(value)))) {
            text += static_cast<char>(value);
            i += 2;
        } else {
            text += encoded[i];
        }
    }
    return text;
}

// The ASCII characters that the engine escapes in an address, besides the non-ASCII ones.
const QByteArrayView kEscapedByEngine(" \"<>`");

// The engine's text of an address, as near as it can be to what the page wrote: the engine
// escapes non-ASCII characters as UTF-8 and a few others, and exactly those escapes are
// undone.
QString EngineAddressText(const QString& address) {
    return QString::fromUtf8(UndoEscapes(address.toUtf8(), kEscapedByEngine));
}

bool HasStrayPercent(const QByteArray& text) {
    for (qsizetype i = text.indexOf('%'); i >= 0; i = text.indexOf('%', i + 1)) {
        bool isHex = false;
        if (i + 2 >= text.size() || (text.mid(i + 1, 2).toInt(&isHex, 16), !isHex))
            return true;
    }
    return false;
}

// The engine's text of a fragment that QUrl has read.  QUrl escapes every "#" in it as %23,
// and reads a fragment with a stray "%" as plain text, escaping each of its "%" as %25; that
// is undone whenever the fragment can have been read so.  A fragment whose escapes were all
// valid QUrl keeps, except that it decodes the escapes of unreserved characters (%41 becomes
// A), which nothing can undo.
QByteArray EngineFragment(const QByteArray& fragment) {
    QByteArray text = QByteArray(fragment).replace("%23", "#");
    QByteArray withPercents = QByteArray(text).replace("%25", "%");
    bool readAsPlainText = text.count('%') == text.count("%25") && HasStrayPercent(withPercents);
    return readAsPlainText ? withPercents : text;
}

// The address of a navigation that the engine reports, as near as it can be to what the
// page wrote.  The engine hands addresses over canonicalised, with non-ASCII characters and
// a few others escaped as UTF-8, and as a QUrl, which changes the fragment's escapes; exactly
// those escapes are undone, every other byte stays as it is.
QString AddressText(const QUrl& url) {
    QByteArray text = UndoEscapes(url.toEncoded(QUrl::RemoveFragment), kEscapedByEngine);
    if (url.hasFragment()) {
        text += '#';
        text += UndoEscapes(EngineFragment(url.fragment(QUrl::FullyEncoded).toLatin1()),
                            kEscapedByEngine);
    }
    return QString::fromUtf8(text);
}

} // namespace

TAnnouncePage::TAnnouncePage(BeforeNavigate beforeNavigate, DocumentComplete documentComplete,
                             QObject* parent)
    : QWebEnginePage(parent), beforeNavigate_(std::move(beforeNavigate)),
      documentComplete_(std::move(documentComplete)),
      reportToken_(QUuid::createUuid().toString(QUuid::WithoutBraces)) {
    WatchEveryDocument();
    connect(this, &QWebEnginePage::urlChanged, this, &TAnnouncePage::ReportChangedUrl);
}

// Anything that reaches the engine's own question (scripts, redirects, frames, refreshes,
// and clicks on links without flags) did not come through the document watch's cancelled
// clicks, so it counts as started by the page.
bool TAnnouncePage::acceptNavigationRequest(const QUrl& url, NavigationType, bool) {
    return !beforeNavigate_(AddressText(url), false);
}

void TAnnouncePage::javaScriptConsoleMessage(JavaScriptConsoleMessageLevel, const QString& message,
                                             int, const QString&) {
    if (!message.startsWith(reportToken_))
        return;
    QJsonObject report =
        QJsonDocument::fromJson(message.mid(reportToken_.size()).toUtf8()).object();
    QString kind = report.value(QLatin1String("kind")).toString();
    if (kind == QLatin1String("complete"))
        ReportTopDocument();
    else if (kind == QLatin1String("link"))
        ReportLinkClick(report);
    else if (kind == QLatin1String("navigate"))
        beforeNavigate_(EngineAddressText(report.value(QLatin1String("href")).toString()), false);
}

void TAnnouncePage::WatchEveryDocument() {
    QWebEngineScript script;
    script.setName(QStringLiteral("document-watch"));
    script.setInjectionPoint(QWebEngineScript::DocumentCreation);
    script.setRunsOnSubFrames(true);
    script.setWorldId(QWebEngineScript::ApplicationWorld);
    script.setSourceCode(QString::fromLatin1(kDocumentWatch).arg(reportToken_));
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

// The document watch has cancelled the click already.
void TAnnouncePage::ReportLinkClick(const QJsonObject& click) {
    beforeNavigate_(click.value(QLatin1String("href")).toString(),
                    click.value(QLatin1String("byUser")).toBool());
}

// A navigation within the top document never reaches the engine's question.  One with a
// flag cannot have passed it either (it would have been cancelled), so an address with a
// flag here was set by a script within the document.
void TAnnouncePage::ReportChangedUrl(const QUrl& url) {
    QString text = AddressText(url);
    if (text.contains(QLatin1String("#m#")) || text.contains(QLatin1String("#n#")))
        beforeNavigate_(text, false);
}
