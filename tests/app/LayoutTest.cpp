#include "LayoutTest.h"

#include "MessageBoxCatcher.h"
#include "WindowFixture.h"
#include "watch/GbkText.h"
#include "watch/IniFile.h"

#include <QApplication>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QWebEngineView>
#include <cstdio>
#include <fstream>

namespace {

struct ControlPlace {
    const char* name;
    const char* container;
    QRect geometry;
    const char* text;
};

// Every visible control, with its container, geometry and text.
const ControlPlace kControls[] = {
    {"memoResult", "frmVantaro", {672, 8, 545, 449}, ""},
    {"groupAutoStart", "frmVantaro", {8, 8, 657, 49}, "开机自动运行"},
    {"lblAutoStart",
     "groupAutoStart",
     {7, 21, 320, 13},
     "设为开机自动运行前，请您先看下操作手册中的说明^o^"},
    {"btnAutoStart", "groupAutoStart", {335, 16, 145, 25}, "设为开机自动运行"},
    {"groupSet", "frmVantaro", {8, 63, 657, 394}, "搜索设置"},
    {"lblCity", "groupSet", {16, 18, 65, 13}, "所在城市："},
    {"comboCity", "groupSet", {120, 18, 161, 21}, nullptr},
    {"lblPubDate", "groupSet", {296, 18, 65, 13}, "发布日期："},
    {"comboPubDate", "groupSet", {360, 18, 169, 21}, nullptr},
    {"lblComName", "groupSet", {16, 45, 91, 13}, "公司名关键字："},
    {"editComName", "groupSet", {120, 45, 409, 21}, ""},
    {"lblPosition", "groupSet", {16, 71, 91, 13}, "职位名关键字："},
    {"editPosition", "groupSet", {120, 71, 409, 21}, ""},
    {"lblComName2", "groupSet", {16, 96, 98, 13}, "公司名关键字2："},
    {"editComName2", "groupSet", {120, 96, 409, 21}, ""},
    {"lblPosition2", "groupSet", {16, 121, 98, 13}, "职位名关键字2："},
    {"editPosition2", "groupSet", {120, 121, 409, 21}, ""},
    {"lblComName3", "groupSet", {16, 147, 98, 13}, "公司名关键字3："},
    {"editComName3", "groupSet", {120, 147, 409, 21}, ""},
    {"lblPosition3", "groupSet", {16, 173, 98, 13}, "职位名关键字3："},
    {"editPosition3", "groupSet", {120, 173, 409, 21}, ""},
    {"lblComName4", "groupSet", {16, 199, 98, 13}, "公司名关键字4："},
    {"editComName4", "groupSet", {120, 199, 409, 21}, ""},
    {"lblPosition4", "groupSet", {16, 225, 98, 13}, "职位名关键字4："},
    {"editPosition4", "groupSet", {120, 225, 409, 21}, ""},
    {"lblComName5", "groupSet", {16, 251, 98, 13}, "公司名关键字5："},
    {"editComName5", "groupSet", {120, 251, 409, 21}, ""},
    {"lblPosition5", "groupSet", {16, 278, 98, 13}, "职位名关键字5："},
    {"editPosition5", "groupSet", {120, 278, 409, 21}, ""},
    {"lblSearchTime", "groupSet", {16, 303, 65, 13}, "搜索定时："},
    {"comboSearchTime", "groupSet", {120, 303, 161, 21}, nullptr},
    {"btnGo", "groupSet", {298, 303, 127, 25}, "开始定时搜索"},
    {"btnStopGo", "groupSet", {432, 303, 113, 25}, "停止定时搜索"},
    {"btnSave", "groupSet", {16, 328, 75, 25}, "保存设置"},
    {"btnRightNow", "groupSet", {100, 328, 101, 25}, "马上开始搜索"},
    {"lblSEM",
     "groupSet",
     {16, 358, 490, 13},
     "如果觉得好请点击这里把本软件介绍给您QQ、MSN、微博上的好友，作者非常感谢！！"},
    {"lblContact", "groupSet", {16, 377, 542, 13}, nullptr},
    {"lblFilter", "frmVantaro", {672, 464, 39, 13}, "过滤器"},
    {"memoFilter", "frmVantaro", {672, 480, 545, 201}, ""},
    {"WebBrowser1", "frmVantaro", {8, 464, 657, 217}, nullptr},
};

QString TextOf(QWidget* control) {
    if (auto* label = qobject_cast<QLabel*>(control))
        return label->text();
    if (auto* button = qobject_cast<QPushButton*>(control))
        return button->text();
    if (auto* group = qobject_cast<QGroupBox*>(control))
        return group->title();
    if (auto* edit = qobject_cast<QLineEdit*>(control))
        return edit->text();
    if (auto* memo = qobject_cast<QPlainTextEdit*>(control))
        return memo->toPlainText();
    return QString();
}

QStringList ItemsOf(QComboBox* combo) {
    QStringList items;
    for (int i = 0; i < combo->count(); ++i)
        items << combo->itemText(i);
    return items;
}

// The control a focused widget belongs to (a drop-down list's edit field, the web pane's
// inner view).
QString NamedControl(QWidget* widget) {
    while (widget && widget->objectName().isEmpty())
        widget = widget->parentWidget();
    return widget ? widget->objectName() : QString();
}

} // namespace

void LayoutTest::windowIsFixedAndCaptioned() {
    WindowFixture fixture;
    TfrmVantaro& window = *fixture.window;
    QCOMPARE(window.objectName(), QStringLiteral("frmVantaro"));
    QCOMPARE(window.windowTitle(), QStringLiteral("Quorvel v1.0 - Pellisand"));
    QCOMPARE(window.size(), QSize(1223, 687));
    QCOMPARE(window.minimumSize(), window.maximumSize());
    QVERIFY(!(window.windowFlags() & Qt::WindowMaximizeButtonHint));
    QVERIFY(window.windowFlags() & Qt::WindowMinimizeButtonHint);
    QCOMPARE(window.windowIcon().availableSizes().size(), 6);
    QCOMPARE(window.windowIcon().actualSize(QSize(256, 256)), QSize(128, 128));
}

void LayoutTest::controlsSitWhereTheLayoutPutsThem() {
    WindowFixture fixture;
    for (const ControlPlace& place : kControls) {
        auto* control = fixture.Find<QWidget>(place.name);
        QVERIFY2(control, place.name);
        QVERIFY2(control->parentWidget()->objectName() == QLatin1String(place.container),
                 place.name);
        // A label may grow from its place to the size of its text.
        if (qobject_cast<QLabel*>(control)) {
            QVERIFY2(control->pos() == place.geometry.topLeft(), place.name);
            QVERIFY2(control->width() >= place.geometry.width(), place.name);
            QVERIFY2(control->height() >= place.geometry.height(), place.name);
        } else {
            QVERIFY2(control->geometry() == place.geometry, place.name);
        }
        if (place.text)
            QVERIFY2(TextOf(control) == QString::fromUtf8(place.text), place.name);
    }
    QVERIFY(!fixture.Find<QLabel>("lblContact")->text().isEmpty());
    QVERIFY(fixture.Find<QPlainTextEdit>("memoResult")->verticalScrollBarPolicy() ==
            Qt::ScrollBarAlwaysOn);
    QVERIFY(fixture.Find<QPlainTextEdit>("memoResult")->horizontalScrollBarPolicy() ==
            Qt::ScrollBarAlwaysOn);
    QVERIFY(fixture.Find<QTimer>("timerFindJob"));
}

void LayoutTest::selectorsOfferTheirItems() {
    WindowFixture fixture;
    QStringList cities = ItemsOf(fixture.Find<QComboBox>("comboCity"));
    QCOMPARE(cities.size(), 34);
    QCOMPARE(cities.first(), QString::fromUtf8("北京"));
    QCOMPARE(cities.at(19), QString::fromUtf8("黑龙江省"));
    QCOMPARE(cities.last(), QString::fromUtf8("国外"));
    QCOMPARE(ItemsOf(fixture.Find<QComboBox>("comboPubDate")),
             QString::fromUtf8("一天内,二天内,三天内").split(QLatin1Char(',')));
    QCOMPARE(ItemsOf(fixture.Find<QComboBox>("comboSearchTime")),
             QString::fromUtf8("半小时,1小时,2小时,3小时,4小时,2分钟(仅供测试)")
                 .split(QLatin1Char(',')));
    for (const char* name : {"comboCity", "comboPubDate", "comboSearchTime"})
        QVERIFY2(fixture.Find<QComboBox>(name)->isEditable(), name);
}

// Pressing Tab from the result pane visits the controls in their tab order.
void LayoutTest::tabOrderFollowsEachContainer() {
    WindowFixture fixture;
    TfrmVantaro& window = *fixture.window;
    window.show();
    QApplication::setActiveWindow(&window);
    QVERIFY(QTest::qWaitForWindowActive(&window));
    const QStringList expected =
        QStringLiteral(
            "memoResult btnAutoStart btnGo comboSearchTime comboCity editComName editPosition "
            "comboPubDate editComName2 editPosition2 editComName3 editPosition3 editComName4 "
            "editPosition4 editComName5 editPosition5 btnRightNow btnSave btnStopGo memoFilter "
            "WebBrowser1")
            .split(QLatin1Char(' '));
    fixture.Find<QWidget>("btnStopGo")->setEnabled(true);
    fixture.Find<QWidget>("memoResult")->setFocus();
    QStringList visited;
    while (visited.size() < expected.size()) {
        visited << NamedControl(QApplication::focusWidget());
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    }
    QCOMPARE(visited, expected);
}

// The window's text is 8 points and the labels' 10, so a label reads larger than the text
// in the field beside it; every label shows its whole text.
void LayoutTest::labelsAreLargerThanTheRestAndShowTheirWholeText() {
    WindowFixture fixture;
    TfrmVantaro& window = *fixture.window;
    QCOMPARE(window.font().pointSizeF(), 8.0);
    for (const char* name : {"editComName", "comboCity", "btnGo", "memoResult", "groupSet"})
        QVERIFY2(fixture.Find<QWidget>(name)->font().pointSizeF() == 8.0, name);
    const QList<QLabel*> labels = window.findChildren<QLabel*>();
    QCOMPARE(labels.size(), 17);
    const int fieldTextHeight =
        QFontInfo(fixture.Find<QLineEdit>("editComName")->font()).pixelSize();
    for (QLabel* label : labels) {
        QByteArray name = label->objectName().toLatin1();
        QVERIFY2(label->font().pointSizeF() == 10.0, name);
        QVERIFY2(QFontInfo(label->font()).pixelSize() > fieldTextHeight, name);
        QFontMetrics metrics(label->font());
        QVERIFY2(label->height() >= metrics.height(), name);
        QVERIFY2(label->width() >= metrics.horizontalAdvance(label->text()), name);
        // The label stays inside its container.
        QVERIFY2(label->parentWidget()->rect().contains(label->geometry()), name);
    }
}

void LayoutTest::linksAreBlueAndTheRecommendationUnderlined() {
    WindowFixture fixture;
    auto* recommendation = fixture.Find<QLabel>("lblSEM");
    auto* contact = fixture.Find<QLabel>("lblContact");
    QCOMPARE(recommendation->palette().color(QPalette::WindowText), QColor(Qt::blue));
    QVERIFY(recommendation->font().underline());
    QCOMPARE(contact->palette().color(QPalette::WindowText), QColor(Qt::blue));
    QVERIFY(!contact->font().underline());
    QVERIFY(!fixture.Find<QLabel>("lblCity")->font().underline());
}

void LayoutTest::freshStartShowsDefaultsAndIdleButtons() {
    WindowFixture fixture;
    QCOMPARE(fixture.Find<QComboBox>("comboSearchTime")->currentText(),
             QString::fromUtf8("半小时"));
    QCOMPARE(fixture.Find<QComboBox>("comboCity")->currentText(), QString::fromUtf8("北京"));
    QCOMPARE(fixture.Find<QComboBox>("comboPubDate")->currentText(), QString::fromUtf8("一天内"));
    QVERIFY(fixture.Find<QPushButton>("btnGo")->isEnabled());
    QVERIFY(!fixture.Find<QPushButton>("btnStopGo")->isEnabled());
    auto* timer = fixture.Find<QTimer>("timerFindJob");
    QVERIFY(!timer->isActive());
    QCOMPARE(timer->interval(), 1000);
}

// GBK values in the file reach the controls as Chinese text and go back byte for byte; a
// stored choice that is no item leaves its list empty.
void LayoutTest::settingsFillTheControlsAndSaveWritesThemBack() {
    QTemporaryDir folder;
    std::string path = folder.filePath(QStringLiteral("program.ini")).toStdString();
    {
        std::ofstream file(path, std::ios::binary);
        file << watch::Gbk("[pair]\r\ncom= 青禾\r\nposition=java\r\n[pair4]\r\ncom=北辰\r\n"
                           "position=*\r\n[SearchTime]\r\nvalue=2分钟(仅供测试)\r\n"
                           "[City]\r\nvalue=火星\r\n[PubDate]\r\nvalue=三天内\r\n");
    }
    TWindowSetup setup;
    setup.SettingsFile = path;
    std::vector<std::string> fetched;
    TfrmVantaro window(setup,
                       std::make_unique<FakeFetcher>(WindowFixture::FailingNetwork, &fetched));
    auto find = [&](const char* name) {
        return window.findChild<QWidget*>(QString::fromLatin1(name));
    };
    QCOMPARE(qobject_cast<QLineEdit*>(find("editComName"))->text(), QString::fromUtf8(" 青禾"));
    QCOMPARE(qobject_cast<QLineEdit*>(find("editComName4"))->text(), QString::fromUtf8("北辰"));
    QCOMPARE(qobject_cast<QComboBox*>(find("comboSearchTime"))->currentIndex(), 5);
    QCOMPARE(qobject_cast<QComboBox*>(find("comboCity"))->currentIndex(), -1);
    QCOMPARE(qobject_cast<QComboBox*>(find("comboCity"))->currentText(), QString());
    QCOMPARE(qobject_cast<QComboBox*>(find("comboPubDate"))->currentText(),
             QString::fromUtf8("三天内"));

    qobject_cast<QLineEdit*>(find("editPosition4"))->setText(QString::fromUtf8("测试"));
    QTest::mouseClick(find("btnSave"), Qt::LeftButton);
    watch::TIniFile saved(path);
    QCOMPARE(saved.ReadString("pair", "com", ""), watch::Gbk(" 青禾"));
    QCOMPARE(saved.ReadString("pair4", "position", ""), watch::Gbk("测试"));
    QCOMPARE(saved.ReadString("City", "value", "x"), std::string());
    QCOMPARE(saved.ReadString("SearchTime", "value", ""), watch::Gbk("2分钟(仅供测试)"));
}

// The window has no control for the board: it searches the one the file names and keeps the
// text in the file as it was. A text that names no board is shown at start.
void LayoutTest::theBoardOfTheSettingsIsSearchedAndWrittenBackUnchanged() {
    struct TCase {
        std::string Board; // the [Board] value; empty: no such section
        std::string Fetched; // what the first address asked for holds
        bool Refused;
    };
    const std::string classic = "/jobsearch/search_result.php?";
    for (const TCase& c : std::vector<TCase>{
             {"", classic, false},
             {"greenhouse@https://gh.test:8443", "https://gh.test:8443/v1/boards/acme/jobs", false},
             {"lever", "https://api.lever.co/v0/postings/acme?mode=json&skip=0&limit=100", false},
             {"no board", classic, true},
         }) {
        QTemporaryDir folder;
        std::string path = folder.filePath(QStringLiteral("program.ini")).toStdString();
        {
            std::ofstream file(path, std::ios::binary);
            file << "[pair]\r\ncom=acme\r\nposition=*\r\n";
            if (!c.Board.empty())
                file << "[Board]\r\nvalue=" << c.Board << "\r\n";
        }
        MessageBoxCatcher boxes;
        TWindowSetup setup;
        setup.SettingsFile = path;
        std::vector<std::string> fetched;
        TfrmVantaro window(setup, std::make_unique<FakeFetcher>(
                                      [](const std::string&) { return std::string("[]"); },
                                      &fetched));
        QCOMPARE(boxes.Boxes().size(), size_t(c.Refused ? 1 : 0));
        if (c.Refused)
            QVERIFY(boxes.Boxes()[0].text.contains(QStringLiteral("not a board")));
        QTest::mouseClick(window.findChild<QWidget*>(QStringLiteral("btnRightNow")), Qt::LeftButton);
        QVERIFY(!fetched.empty());
        QVERIFY2(fetched[0].find(c.Fetched) != std::string::npos, fetched[0].c_str());

        std::remove(path.c_str());
        QTest::mouseClick(window.findChild<QWidget*>(QStringLiteral("btnSave")), Qt::LeftButton);
        QCOMPARE(watch::TIniFile(path).ReadString("Board", "value", "absent"),
                 c.Board.empty() ? std::string("absent") : c.Board);
    }
}
