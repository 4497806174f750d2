#include "PaneInput.h"

#include <QTest>
#include <QVariant>
#include <QWebEngineView>

QVariant RunInPage(QWebEngineView* pane, const QString& script) {
    QVariant result;
    bool done = false;
    pane->page()->runJavaScript(script, [&](const QVariant& value) {
        result = value;
        done = true;
    });
    if (!QTest::qWaitFor([&] { return done; }, 5000))
        return {};
    return result;
}

QPoint ElementCentre(QWebEngineView* pane, const QString& id) {
    QVariantList centre =
        RunInPage(pane, QStringLiteral("(function () {"
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
