#pragma once

#include <QPoint>
#include <QString>
#include <QUrl>
#include <QVariant>
#include <Qt>
#include <memory>

class QWebEngineView;
struct WindowFixture;

// What a user does to the announcement pane: real mouse clicks, delivered to the web
// engine's input widget at the place where the page shows an element.

// The centre of the element with the given id in the pane's top document, in the pane's
// pixels; (-1, -1) when the page has no such element.
QPoint ElementCentre(QWebEngineView* pane, const QString& id);

// Clicks the element with the given id; false when it is not on show.
bool ClickElement(QWebEngineView* pane, const QString& id, Qt::MouseButton button = Qt::LeftButton);

// Runs a script in the page's own world and waits for its result.
QVariant RunInPage(QWebEngineView* pane, const QString& script);

// The text of the pane's page as a user reads it.
QString PageText(QWebEngineView* pane);

// The window's announcement pane.
QWebEngineView* Pane(WindowFixture& fixture);

// A window on show whose pane has drawn the page at `url` and takes input; null when the page
// did not load.
std::unique_ptr<WindowFixture> ShowAnnouncePage(const QUrl& url);
