#include "PaneInput.h"

#include "WindowFixture.h"

#include <QSignalSpy>
#include <QTest>
#include <QVariant>
#include <QWebEngineView>
#include <functional>
#include <memory>
#include <optional>

namespace {

// Waits for the answer of one of the engine's asynchronous calls.  The answer may come after
// the wait gave up, so it goes to a place that outlives the caller.
template <typename Answer>
Answer Await(const std::function<void(std::function<void(const Answer&)>)>& ask) {
    auto answer = std::make_shared<std::optional<Answer>>();
    ask([answer](const Answer& value) { *answer = value; });
    if (!QTest::qWaitFor([&] { return answer->has_value(); }, 5000))
        return {};
    return **answer;
}

} // namespace

QVariant RunInPage(QWebEngineView* pane, const QString& script) {
    return Await<QVariant>([&](auto answer) { pane->page()->runJavaScript(script, answer); });
}

QString PageText(QWebEngineView* pane) {
    return Await<QString>([&](auto answer) { pane->page()->toPlainText(answer); });
}

QPoint ElementCentre(QWebEngineView* pane, const QString& id) {
    QVariantList centre =
        RunInPage(pane,
                  QStringLiteral("(function () {"
                                 "  var element = document.getElementById('%1');"
                                 "  if (!element) return [-1, -1];"
                                 "  var box = element.getBoundingClientRect();"
                                 "  return [box.left + box.width / 2, box.top + box.height / 2];"
                                 "})()")
                      .arg(id))
            .toList();
    if (centre.size() != 2)
        return {-1, -1};
    return {centre[0].toInt(), centre[1].toInt()};
}

bool ClickElement(QWebEngineView* pane, const QString& id, Qt::MouseButton button) {
    QPoint centre = ElementCentre(pane, id);
    QWidget* input = pane->focusProxy();
    if (centre.x() < 0 || !input)
        return false;
    QTest::mouseClick(input, button, {}, centre);
    return true;
}

QWebEngineView* Pane(WindowFixture& fixture) {
    return fixture.Find<QWebEngineView>("WebBrowser1");
}

std::unique_ptr<WindowFixture> ShowAnnouncePage(const QUrl& url) {
    auto fixture = std::make_unique<WindowFixture>(WindowFixture::FailingNetwork, url);
    QSignalSpy loaded(Pane(*fixture), &QWebEngineView::loadFinished);
    fixture->window->show();
    if (!QTest::qWaitForWindowExposed(fixture->window.get()) || !loaded.wait())
        return nullptr;
    // The engine takes input once it has drawn the page.
    QTest::qWait(200);
    return fixture;
}
