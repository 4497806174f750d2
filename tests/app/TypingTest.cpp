#include "TypingTest.h"

#include "WindowFixture.h"
#include "watch/GbkText.h"
#include "watch/IniFile.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

namespace {

// Each of the three lists with the text of one of its items, not the one selected at start.
struct TypedChoice {
    const char* combo;
    const char* section;
    const char* itemText;
    int itemCount;
};
const TypedChoice kTypedChoices[] = {
    {"comboCity", "City", "天津", 34},
    {"comboPubDate", "PubDate", "三天内", 3},
    {"comboSearchTime", "SearchTime", "1小时", 6},
};

void ShowActive(WindowFixture& fixture) {
    fixture.window->show();
    QApplication::setActiveWindow(fixture.window.get());
    QVERIFY(QTest::qWaitForWindowActive(fixture.window.get()));
}

// Key presses, one character each, as a keyboard sends them.
void Type(QWidget* widget, const QString& text) {
    for (QChar character : text)
        QTest::sendKeyEvent(QTest::Click, widget, Qt::Key_unknown, QString(character),
                            Qt::NoModifier);
}

// Clicks into the list's edit field, selects its text and types over it.
QLineEdit* TypeInto(WindowFixture& fixture, const TypedChoice& choice) {
    QLineEdit* edit = fixture.Find<QComboBox>(choice.combo)->lineEdit();
    QTest::mouseClick(edit, Qt::LeftButton);
    QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
    Type(edit, QString::fromUtf8(choice.itemText));
    return edit;
}

void SaveAndExpectEmptyChoices(WindowFixture& fixture) {
    QTest::mouseClick(fixture.Find<QPushButton>("btnSave"), Qt::LeftButton);
    watch::TIniFile saved(fixture.Path("program.ini"));
    for (const TypedChoice& choice : kTypedChoices)
        QVERIFY2(saved.ReadString(choice.section, "value", "unset").empty(), choice.section);
}

} // namespace

void TypingTest::typedItemTextStaysUnselectedWhenTheFocusLeaves() {
    WindowFixture fixture;
    ShowActive(fixture);
    for (const TypedChoice& choice : kTypedChoices) {
        QLineEdit* edit = TypeInto(fixture, choice);
        QTest::keyClick(edit, Qt::Key_Tab);
        QVERIFY2(!edit->hasFocus(), choice.combo);
        auto* combo = fixture.Find<QComboBox>(choice.combo);
        QVERIFY2(combo->currentIndex() == -1, choice.combo);
        QVERIFY2(combo->currentText() == QString::fromUtf8(choice.itemText), choice.combo);
    }
    QCOMPARE(fixture.window->comboCity().ItemIndex(), -1);
    QCOMPARE(fixture.window->comboCity().Text(), watch::Gbk("天津"));
    SaveAndExpectEmptyChoices(fixture);
}

void TypingTest::typedItemTextStaysUnselectedOnEnter() {
    WindowFixture fixture;
    ShowActive(fixture);
    for (const TypedChoice& choice : kTypedChoices) {
        QLineEdit* edit = TypeInto(fixture, choice);
        QTest::keyClick(edit, Qt::Key_Return);
        QTest::keyClick(edit, Qt::Key_Enter, Qt::KeypadModifier);
        auto* combo = fixture.Find<QComboBox>(choice.combo);
        QVERIFY2(combo->currentIndex() == -1, choice.combo);
        // Nor is the typed text added as an item.
        QVERIFY2(combo->count() == choice.itemCount, choice.combo);
        QVERIFY2(combo->currentText() == QString::fromUtf8(choice.itemText), choice.combo);
    }
    // Clicking the save button moves the focus away from the last list as well.
    SaveAndExpectEmptyChoices(fixture);
}

void TypingTest::aTypedIntervalKeepsThePreviousOne() {
    WindowFixture fixture;
    ShowActive(fixture);
    fixture.Find<QLineEdit>("editComName")->setText(QString::fromUtf8("青禾"));
    fixture.Find<QLineEdit>("editPosition")->setText(QStringLiteral("java"));
    QLineEdit* edit = TypeInto(fixture, kTypedChoices[2]);
    QTest::keyClick(edit, Qt::Key_Return);
    QTest::mouseClick(fixture.Find<QPushButton>("btnGo"), Qt::LeftButton);
    QCOMPARE(fixture.Find<QTimer>("timerFindJob")->interval(), 1000);
}

// Picking with the keyboard is no typing: the item is selected and saved.
void TypingTest::arrowKeysStillPickItems() {
    WindowFixture fixture;
    ShowActive(fixture);
    auto* combo = fixture.Find<QComboBox>("comboCity");
    QTest::mouseClick(combo->lineEdit(), Qt::LeftButton);
    QTest::keyClick(combo->lineEdit(), Qt::Key_Down);
    QTest::keyClick(combo->lineEdit(), Qt::Key_Down);
    QTest::keyClick(combo->lineEdit(), Qt::Key_Tab);
    QCOMPARE(combo->currentIndex(), 2);
    QCOMPARE(combo->currentText(), QString::fromUtf8("广东省"));
    QTest::mouseClick(fixture.Find<QPushButton>("btnSave"), Qt::LeftButton);
    QCOMPARE(watch::TIniFile(fixture.Path("program.ini")).ReadString("City", "value", ""),
             watch::Gbk("广东省"));
}
