#include "PaneTest.h"

#include "MessageBoxCatcher.h"
#include "MessageBoxShowWatch.h"
#include "WindowFixture.h"
#include "watch/GbkText.h"

#include <QApplication>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>

namespace {

std::string ResultPage(const std::string& rows) {
    return "<div class=\"resultListDiv\"><table><tr><th>x</th></tr>" + rows +
           "</table></div><div class=\"bt_center clearboth\">";
}

std::string Row(const std::string& cell) {
    return "<tr><td class=\"td1\">" + cell + "</td><td class=\"td2\">x</td></tr>";
}

std::string LinkedRow(int id) {
    return Row("<a href=\"http://board.test/job/" + std::to_string(id) +
               ".html\" target=\"_blank\" >Java " + std::to_string(id) + "</a>");
}

// The link is cut from "http" to "html": a row that names "html" first comes out without.
std::string RowWithoutLink() {
    return Row("<a title=\"a.html\" href=\"http://x/\" target=\"_blank\" >Java</a>");
}

void ShowActive(TfrmVantaro& window) {
    window.show();
    QApplication::setActiveWindow(&window);
    QVERIFY(QTest::qWaitForWindowActive(&window));
}

void EnterPair(WindowFixture& fixture, int pair, const char* company) {
    QString number = pair == 1 ? QString() : QString::number(pair);
    fixture.window->findChild<QLineEdit*>(QStringLiteral("editComName") + number)
        ->setText(QString::fromUtf8(company));
    fixture.window->findChild<QLineEdit*>(QStringLiteral("editPosition") + number)
        ->setText(QStringLiteral("java"));
}

QString Expected(const QStringList& rows) {
    QStringList lines;
    for (const QString& row : rows)
        lines << row << QStringLiteral("===== =====");
    return lines.join(QLatin1Char('\n'));
}

} // namespace

void PaneTest::aFilterEndingInALineBreakExcludesNoEmptyLink() {
    WindowFixture fixture(
        [](const std::string&) { return ResultPage(LinkedRow(1) + RowWithoutLink()); });
    ShowActive(*fixture.window);
    EnterPair(fixture, 1, "Larkspur");
    auto* filter = fixture.Find<QPlainTextEdit>("memoFilter");
    QTest::mouseClick(filter->viewport(), Qt::LeftButton);
    QTest::keyClicks(filter, "http://board.test/job/1.html");
    QTest::keyClick(filter, Qt::Key_Return);
    QCOMPARE(fixture.window->memoFilter().Count(), 1);

    QTest::mouseClick(fixture.Find<QPushButton>("btnRightNow"), Qt::LeftButton);
    QCOMPARE(fixture.Find<QPlainTextEdit>("memoResult")->toPlainText(),
             Expected({QStringLiteral("Larkspur\nJava\n")}));
}

void PaneTest::linesFollowThePaneAsTheUserEditsIt() {
    WindowFixture fixture;
    ShowActive(*fixture.window);
    watch::ILineList& lines = fixture.window->memoFilter();
    auto* filter = fixture.Find<QPlainTextEdit>("memoFilter");
    QCOMPARE(lines.Count(), 0);
    QTest::mouseClick(filter->viewport(), Qt::LeftButton);
    QTest::keyClicks(filter, "ab");
    QTest::keyClick(filter, Qt::Key_Return);
    QTest::keyClicks(filter, "cd");
    QCOMPARE(lines.Count(), 2);
    QCOMPARE(lines.Line(1), std::string("cd"));
    QTest::keyClick(filter, Qt::Key_Backspace);
    QTest::keyClick(filter, Qt::Key_Return);
    QTest::keyClick(filter, Qt::Key_Return);
    // "ab", "c" and one empty line; the break at the end starts none.
    QCOMPARE(lines.Count(), 3);
    QCOMPARE(lines.Line(1), std::string("c"));
    QCOMPARE(lines.Text(), std::string("ab\r\nc\r\n"));
    QVERIFY_THROWS_EXCEPTION(std::out_of_range, lines.Line(3));

    // Lines pasted in count as well.
    filter->selectAll();
    filter->insertPlainText(QString::fromUtf8("北京\n"));
    QCOMPARE(lines.Count(), 1);
    QCOMPARE(lines.Line(0), watch::Gbk("北京"));
    QTest::keyClick(filter, Qt::Key_Backspace);
    QTest::keyClick(filter, Qt::Key_Backspace);
    QCOMPARE(lines.Count(), 1);
    QCOMPARE(lines.Line(0), watch::Gbk("北"));
}

void PaneTest::aSearchLaysTheResultPaneOutOnce() {
    std::string rows;
    QStringList expected;
    for (int id = 1; id <= 60; ++id) {
        rows += LinkedRow(id);
        expected << QStringLiteral("Larkspur\nJava %1\nhttp://board.test/job/%1.html").arg(id);
    }
    WindowFixture fixture([&](const std::string&) { return ResultPage(rows); });
    fixture.window->show();
    EnterPair(fixture, 1, "Larkspur");
    auto* result = fixture.Find<QPlainTextEdit>("memoResult");
    result->setPlainText(QStringLiteral("old"));
    QSignalSpy changes(result->document(), &QTextDocument::contentsChanged);
    QTest::mouseClick(fixture.Find<QPushButton>("btnRightNow"), Qt::LeftButton);
    // Cleared once, filled once.
    QCOMPARE(changes.count(), 2);
    QCOMPARE(result->toPlainText(), Expected(expected));
    QCOMPARE(result->document()->blockCount(), 240);
    QScrollBar* scroll = result->verticalScrollBar();
    QVERIFY(scroll->maximum() > 0);
    QCOMPARE(scroll->value(), scroll->maximum());
    QCOMPARE(fixture.window->memoResult().Count(), 240);
}

void PaneTest::rowsFoundBeforeAFailureShowWithItsMessage() {
    int fetches = 0;
    WindowFixture fixture([&](const std::string& url) -> std::string {
        if (++fetches == 2)
            return WindowFixture::FailingNetwork(url);
        return ResultPage(LinkedRow(7));
    });
    fixture.window->show();
    EnterPair(fixture, 1, "Birchwood");
    EnterPair(fixture, 2, "Larkspur");
    auto* result = fixture.Find<QPlainTextEdit>("memoResult");
    QStringList shownWithBox;
    MessageBoxShowWatch boxWatch([&] { shownWithBox << result->toPlainText(); });
    MessageBoxCatcher boxes;
    QTest::mouseClick(fixture.Find<QPushButton>("btnRightNow"), Qt::LeftButton);
    QCOMPARE(boxes.Boxes().size(), size_t(1));
    QCOMPARE(shownWithBox.size(), 1);
    for (const QString& text : shownWithBox)
        QCOMPARE(text,
                 Expected({QStringLiteral("Birchwood\nJava 7\nhttp://board.test/job/7.html")}));
}
