#include "AnnounceTest.h"

#include "MessageBoxCatcher.h"
#include "PaneInput.h"
#include "WindowFixture.h"
#include "watch/GbkText.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QLabel>
#include <QTest>
#include <QWebEngineView>

namespace {

QByteArray GbkPage(const char* utf8Body) {
    return QByteArray::fromStdString(
        watch::Gbk(std::string("<html><head><meta charset=\"gbk\"></head><body>") + utf8Body +
                   "</body></html>"));
}

QMap<QByteArray, QByteArray> Pages() {
    return {
        {"/announce.html", GbkPage("<div>#Braodcast2#推荐给朋友#Braodcast2End#</div>"
                                   "<div>#Message2#新版本发布了#Message2End#</div>")},
        {"/broadcast.html", GbkPage("<p>#Braodcast2#悄悄更换的推荐#Braodcast2End#</p>")},
        {"/frames.html", GbkPage("<p>#Message2#框架#Message2End#</p>"
                                 "<iframe src=\"/frame-a.html\"></iframe>"
                                 "<iframe src=\"/frame-b.html\"></iframe>")},
        {"/frame-a.html", GbkPage("<p>a</p>")},
        {"/frame-b.html", GbkPage("<p>b</p>")},
        {"/links.html",
         GbkPage("<a id=\"m\" href=\"/notice.html#m##mb#请注意 demo#me#\">m</a>"
                 "<a id=\"n\" href=\"/notice.html#n##nb#http://example.test/job/1.html#ne#\">n</a>"
                 "<a id=\"file\" href=\"/notice.html#n##nb#file:///etc/passwd#ne#\">f</a>"
                 "<a id=\"path\" href=\"/notice.html#n##nb#/usr/bin/xterm#ne#\">p</a>"
                 "<a id=\"both\" href=\"/notice.html#m##mb#先提示#me##n##nb#"
                 "https://example.test/x#ne#\">b</a>"
                 "<a id=\"plain\" href=\"/second.html\">s</a>")},
        {"/second.html", GbkPage("<p>#Message2#第二页#Message2End#</p>")},
    };
}

void Click(WindowFixture& fixture, const char* id) {
    QVERIFY2(ClickElement(Pane(fixture), QString::fromLatin1(id)), id);
}

} // namespace

void AnnounceTest::initTestCase() {
    server_ = std::make_unique<LoopbackServer>(Pages());
    opener_ = std::make_unique<OpenerRecorder>();
}

void AnnounceTest::cleanupTestCase() {
    opener_.reset();
}

void AnnounceTest::init() {
    opener_->Clear();
}

std::unique_ptr<WindowFixture> AnnounceTest::OpenLinksPage() {
    return ShowAnnouncePage(server_->Url("/links.html"));
}

void AnnounceTest::pageSetsTheRecommendationAndShowsItsMessage() {
    MessageBoxCatcher boxes;
    WindowFixture fixture(WindowFixture::FailingNetwork, server_->Url("/announce.html"));
    QTRY_COMPARE(boxes.Texts(), QStringList({QString::fromUtf8("新版本发布了")}));
    QCOMPARE(boxes.Boxes()[0].title, QStringLiteral("Quorvel"));
    QCOMPARE(fixture.window->RecommendText(), watch::Gbk("推荐给朋友"));
}

void AnnounceTest::broadcastAloneChangesTheRecommendationSilently() {
    MessageBoxCatcher boxes;
    WindowFixture fixture(WindowFixture::FailingNetwork, server_->Url("/broadcast.html"));
    QTRY_COMPARE(fixture.window->RecommendText(), watch::Gbk("悄悄更换的推荐"));
    QVERIFY(boxes.Boxes().empty());

    // A later page without a broadcast leaves the recommendation as it is.
    Pane(fixture)->load(server_->Url("/second.html"));
    QTRY_COMPARE(boxes.Texts().size(), 1);
    QCOMPARE(fixture.window->RecommendText(), watch::Gbk("悄悄更换的推荐"));
}

void AnnounceTest::everyCompletedFrameShowsTheMessageAgain() {
    MessageBoxCatcher boxes;
    WindowFixture fixture(WindowFixture::FailingNetwork, server_->Url("/frames.html"));
    QTRY_COMPARE(boxes.Texts().size(), 3);
    QTest::qWait(200);
    QCOMPARE(boxes.Texts(), QStringList(3, QString::fromUtf8("框架")));
}

void AnnounceTest::messageLinksShowTheirTextInsteadOfNavigating() {
    MessageBoxCatcher boxes;
    auto opened = OpenLinksPage();
    QVERIFY(opened);
    WindowFixture& fixture = *opened;
    Click(fixture, "m");
    QTRY_COMPARE(boxes.Texts(), QStringList({QString::fromUtf8("请注意 demo")}));
    QVERIFY(Opened().isEmpty());

    Click(fixture, "both");
    QTRY_COMPARE(Opened(), QStringList({QStringLiteral("1 https://example.test/x")}));
    QCOMPARE(boxes.Texts().last(), QString::fromUtf8("先提示"));
    QCOMPARE(Pane(fixture)->url(), server_->Url("/links.html"));
}

void AnnounceTest::addressLinksOpenOnlyWebAddresses() {
    MessageBoxCatcher boxes;
    auto opened = OpenLinksPage();
    QVERIFY(opened);
    WindowFixture& fixture = *opened;
    Click(fixture, "file");
    Click(fixture, "path");
    Click(fixture, "n");
    QTRY_COMPARE(Opened(), QStringList({QStringLiteral("1 http://example.test/job/1.html")}));
    QTest::qWait(100);
    QCOMPARE(Opened().size(), 1);
    QVERIFY(boxes.Boxes().empty());
    QCOMPARE(Pane(fixture)->url(), server_->Url("/links.html"));
}

void AnnounceTest::plainLinksNavigateInsideThePane() {
    MessageBoxCatcher boxes;
    auto opened = OpenLinksPage();
    QVERIFY(opened);
    WindowFixture& fixture = *opened;
    Click(fixture, "plain");
    QTRY_COMPARE(boxes.Texts(), QStringList({QString::fromUtf8("第二页")}));
    QCOMPARE(Pane(fixture)->url(), server_->Url("/second.html"));
    QVERIFY(Opened().isEmpty());
}

void AnnounceTest::recommendationLabelCopiesToTheClipboard() {
    WindowFixture fixture;
    fixture.window->show();
    MessageBoxCatcher boxes;
    auto* label = fixture.Find<QLabel>("lblSEM");
    QTest::mouseClick(label, Qt::LeftButton);
    QCOMPARE(QGuiApplication::clipboard()->text(),
             QString::fromUtf8("嘿，我发现了一个超酷的软件，想进入日思夜想的好公司吗？"
                               "就靠它了！Quorvel，你搜索下找找。"));
    QCOMPARE(boxes.Texts(),
             QStringList({QString::fromUtf8("推荐信息已经复制到剪贴板了，您可以把信息粘贴给QQ、"
                                            "MSN和微博好友等，感谢您的推荐！^0^")}));

    fixture.window->WebBrowser1DocumentComplete(
        watch::Gbk("<p>#Braodcast2#试试这个#Braodcast2End#</p>"));
    QTest::mouseClick(label, Qt::LeftButton);
    QCOMPARE(QGuiApplication::clipboard()->text(), QString::fromUtf8("试试这个"));
}

void AnnounceTest::navigationRulesOnGbkText() {
    WindowFixture fixture;
    MessageBoxCatcher boxes;
    TfrmVantaro& window = *fixture.window;
    bool cancel = false;
    window.WebBrowser1BeforeNavigate2("http://a.test/page.html", true, cancel);
    QVERIFY(!cancel);

    window.WebBrowser1BeforeNavigate2(watch::Gbk("http://a.test/x#m##mb#你好%20#me#"), false,
                                      cancel);
    QVERIFY(cancel);
    QTRY_COMPARE(boxes.Texts(), QStringList({QString::fromUtf8("你好%20")}));

    // The flag alone cancels; an address that is no web page is not opened.
    for (const char* url : {"http://a.test/x#n##nb#ftp://a.test/f#ne#",
                            "http://a.test/x#n##nb#javascript:alert(1)#ne#",
                            "http://a.test/x#n##nb#http:nohost#ne#", "http://a.test/x#n#"}) {
        cancel = false;
        window.WebBrowser1BeforeNavigate2(url, true, cancel);
        QVERIFY2(cancel, url);
    }
    // Only a navigation the user started opens its address.
    cancel = false;
    window.WebBrowser1BeforeNavigate2("http://a.test/x#n##nb#https://c.test/z#ne#", false, cancel);
    QVERIFY(cancel);
    cancel = false;
    window.WebBrowser1BeforeNavigate2("http://a.test/x#n##nb#HTTPS://B.test/y#ne#", true, cancel);
    QTRY_COMPARE(Opened(), QStringList({QStringLiteral("1 HTTPS://B.test/y")}));
    QCOMPARE(boxes.Texts().size(), 1);
}
