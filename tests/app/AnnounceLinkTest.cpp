#include "AnnounceLinkTest.h"

#include "MessageBoxCatcher.h"
#include "PaneInput.h"
#include "WindowFixture.h"
#include "app/Messages.h"
#include "app/WebEngineSetup.h"
#include "watch/GbkText.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLibraryInfo>
#include <QMenu>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTest>
#include <QWebEngineView>
#include <stdexcept>
#include <unistd.h>

namespace {

QByteArray GbkPage(const char* utf8Head, const char* utf8Body) {
    return QByteArray::fromStdString(watch::Gbk(
        std::string("<html><head><meta charset=\"gbk\"><style>a { display: block; height: "
                    "24px; }</style>") +
        utf8Head + "</head><body>" + utf8Body + "</body></html>"));
}

QMap<QByteArray, QByteArray> Pages() {
    return {
        {"/same.html",
         GbkPage("",
                 "<a id=\"fm\" href=\"#m##mb#同页的提示 demo#me#\">fm</a>"
                 "<a id=\"fn\" href=\"#n##nb#http://example.test/same#ne#\">fn</a>"
                 "<a id=\"pm\" href=\"/same.html#m##mb#本页提示#me#\">pm</a>"
                 "<a id=\"pn\" href=\"/same.html#n##nb#https://example.test/page#ne#\">pn</a>"
                 "<a id=\"raw\" href=\"/plain.html#m##mb#%41%20%E4%BD%A0 你 &lt;b&gt;x&lt;/b&gt; "
                 "&amp;lt;#me#\">raw</a>"
                 "<a id=\"rawn\" "
                 "href=\"/plain.html#n##nb#http://example.test/%C4%E3%20%E4%BD%A0?q=%41#ne#\">"
                 "rawn</a>"
                 "<a id=\"plain\" href=\"#nothing\">plain</a>")},
        {"/clicks.html",
         GbkPage("", "<a id=\"both\" href=\"/plain.html#m##mb#脚本点击#me##n##nb#"
                     "http://example.test/clicked#ne#\">both</a>"
                     "<script>window.onload = function () {"
                     "  document.getElementById('both').click();"
                     "  document.getElementById('both').dispatchEvent("
                     "    new MouseEvent('click', {bubbles: true, cancelable: true}));"
                     "};</script>")},
        {"/moves.html",
         GbkPage("", "<script>window.onload = function () { location.href = "
                     "'/plain.html#m##mb#脚本跳转#me##n##nb#http://example.test/moved#ne#'; };"
                     "</script>")},
        {"/hash.html",
         GbkPage("", "<script>window.onload = function () { location.hash = "
                     "'#m##mb#改锚点#me##n##nb#http://example.test/hash#ne#'; };</script>")},
        {"/refresh.html",
         GbkPage("<meta http-equiv=\"refresh\" content=\"0; url=/plain.html#m##mb#刷新#me##n##nb#"
                 "http://example.test/refresh#ne#\">",
                 "<p>refresh</p>")},
        {"/frame.html", GbkPage("", "<iframe src=\"/plain.html#m##mb#框架提示#me##n##nb#"
                                    "http://example.test/frame#ne#\"></iframe>")},
        {"/popup.html",
         GbkPage("", "<script>window.onload = function () { window.open("
                     "'/plain.html#m##mb#弹出#me##n##nb#http://example.test/popup#ne#'); };"
                     "</script>")},
        {"/schemes.html",
         GbkPage("", "<a id=\"file\" href=\"#n##nb#file:///etc/passwd#ne#\">file</a>"
                     "<a id=\"ftp\" href=\"#n##nb#ftp://example.test/f#ne#\">ftp</a>"
                     "<a id=\"mail\" href=\"#n##nb#mailto:a@example.test#ne#\">mail</a>"
                     "<a id=\"js\" href=\"#n##nb#javascript:alert(1)#ne#\">js</a>"
                     "<a id=\"web\" href=\"#n##nb#HTTP://Example.test/ok#ne#\">web</a>")},
        {"/script-escapes.html",
         GbkPage("", "<script>window.onload = function () { location.href = "
                     "'/plain.html#m##mb#%41%7E 100% 你#me#'; };</script>")},
        {"/hash-escapes.html", GbkPage("", "<script>window.onload = function () { location.hash = "
                                           "'#m##mb#%2D%zz 50%#me#'; };</script>")},
        {"/refresh-escapes.html",
         GbkPage("<meta http-equiv=\"refresh\" content=\"0; url=/plain.html#m##mb#%61%%62#me#\">",
                 "<p>refresh</p>")},
        {"/odd.html",
         GbkPage("",
                 "<a id=\"blank\" href=\"#n##nb#http://example.test/a b#ne#\">1</a>"
                 "<a id=\"quote\" href=\"#n##nb#http://example.test/?q=&quot;x&quot;#ne#\">2</a>"
                 "<a id=\"angle\" href=\"#n##nb#http://example.test/<b>#ne#\">3</a>"
                 "<a id=\"percent\" href=\"#n##nb#http://example.test/100%zz%#ne#\">4</a>"
                 "<a id=\"gbk\" href=\"#n##nb#http://example.test/你 %C4%E3#ne#\">5</a>"
                 "<a id=\"linebreak\" href=\"#n##nb#http://example.test/a&#10;b#ne#\">6</a>")},
        {"/plain.html", GbkPage("", "<p>plain</p>")},
    };
}

// Paths the server answers with a redirect to a message, its Location exactly as given.
QMap<QByteArray, QByteArray> Redirects() {
    return {
        {"/moved-unreserved", "/plain.html#m##mb#%41%7E%2D%5F%2E%39#me#"},
        {"/moved-stray", "/plain.html#m##mb#%41 100% %2D#me#"},
        {"/moved-bad", "/plain.html#m##mb#%61%%62%zz%#me#"},
        {"/moved-escaped-percent", "/plain.html#m##mb#%2541 %25#me#"},
        {"/moved-escaped-hash", "/plain.html#m##mb#%23 1%#me#"},
        {"/moved-only-escaped-percents", "/plain.html#m##mb#50%25#me#"},
        {"/moved-away", "http://127.0.0.1:1/x#m##mb#%7E%41#me#"},
    };
}

QString Utf8(const char* text) {
    return QString::fromUtf8(text);
}

// An address on loopback where nothing listens.
QUrl UnreachableUrl() {
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost);
    return QUrl(QStringLiteral("http://127.0.0.1:%1/gone.html").arg(probe.serverPort()));
}

// The seccomp mode of each process that renders pages for this one: the web engine's
// processes that its zygotes forked, as opposed to the zygotes this process started.
QList<int> RendererSeccompModes() {
    auto parentOf = [](int pid) {
        QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
        if (!stat.open(QIODevice::ReadOnly))
            return 0;
        QByteArray text = stat.readAll();
        return text.mid(text.lastIndexOf(')') + 2).split(' ').value(1).toInt();
    };
    auto isOurs = [&](int pid) {
        while (pid > 1 && pid != ::getpid())
            pid = parentOf(pid);
        return pid == ::getpid();
    };
    const QByteArray engineProcess =
        (QLibraryInfo::path(QLibraryInfo::LibraryExecutablesPath) + "/QtWebEngineProcess")
            .toLocal8Bit();
    QList<int> modes;
    const QStringList entries = QDir(QStringLiteral("/proc")).entryList(QDir::Dirs);
    for (const QString& entry : entries) {
        int pid = entry.toInt();
        QFile commandLine(QStringLiteral("/proc/%1/cmdline").arg(pid));
        if (pid == 0 || !commandLine.open(QIODevice::ReadOnly) ||
            !commandLine.readAll().startsWith(engineProcess) || parentOf(pid) == ::getpid() ||
            !isOurs(pid))
            continue;
        QFile status(QStringLiteral("/proc/%1/status").arg(pid));
        if (!status.open(QIODevice::ReadOnly))
            continue;
        for (const QByteArray& line : status.readAll().split('\n'))
            if (line.startsWith("Seccomp:"))
                modes << line.mid(8).trimmed().toInt();
    }
    return modes;
}

} // namespace

void AnnounceLinkTest::initTestCase() {
    server_ = std::make_unique<LoopbackServer>(Pages(), Redirects());
    opener_ = std::make_unique<OpenerRecorder>();
}

void AnnounceLinkTest::cleanupTestCase() {
    opener_.reset();
}

void AnnounceLinkTest::init() {
    opener_->Clear();
}

std::unique_ptr<WindowFixture> AnnounceLinkTest::ShowPage(const char* path) {
    return ShowAnnouncePage(server_->Url(QString::fromLatin1(path)));
}

void AnnounceLinkTest::linksWithinThePageAreCheckedToo() {
    MessageBoxCatcher boxes;
    auto shown = ShowPage("/same.html");
    QVERIFY(shown);
    QWebEngineView* pane = Pane(*shown);

    QVERIFY(ClickElement(pane, QStringLiteral("fm")));
    QTRY_COMPARE(boxes.Texts(), QStringList({Utf8("同页的提示 demo")}));
    QVERIFY(ClickElement(pane, QStringLiteral("pm")));
    QTRY_COMPARE(boxes.Texts().size(), 2);
    QCOMPARE(boxes.Texts().last(), Utf8("本页提示"));
    QVERIFY(ClickElement(pane, QStringLiteral("fn")));
    QVERIFY(ClickElement(pane, QStringLiteral("pn")));
    QTRY_COMPARE(Opened(), QStringList({QStringLiteral("1 http://example.test/same"),
                                        QStringLiteral("1 https://example.test/page")}));
    QCOMPARE(boxes.Texts().size(), 2);
    // None of them moved the pane.
    QCOMPARE(pane->url(), server_->Url(QStringLiteral("/same.html")));

    // A link within the page without markers still moves it.
    QVERIFY(ClickElement(pane, QStringLiteral("plain")));
    QTRY_COMPARE(pane->url().fragment(), QStringLiteral("nothing"));
    QCOMPARE(boxes.Texts().size(), 2);
    QVERIFY(Opened().size() == 2);
}

void AnnounceLinkTest::linkTextStaysAsThePageWroteIt() {
    MessageBoxCatcher boxes;
    auto shown = ShowPage("/same.html");
    QVERIFY(shown);
    QVERIFY(ClickElement(Pane(*shown), QStringLiteral("raw")));
    QTRY_COMPARE(boxes.Texts().size(), 1);
    QCOMPARE(boxes.Boxes()[0].text, Utf8("%41%20%E4%BD%A0 你 <b>x</b> &lt;"));
    QCOMPARE(boxes.Boxes()[0].shown, Utf8("%41%20%E4%BD%A0 你 <b>x</b> &lt;"));

    QVERIFY(ClickElement(Pane(*shown), QStringLiteral("rawn")));
    // The GBK and UTF-8 escapes and the escaped blank reach the browser as written.
    QTRY_COMPARE(Opened(),
                 QStringList({QStringLiteral("1 http://example.test/%C4%E3%20%E4%BD%A0?q=%41")}));
}

void AnnounceLinkTest::addressesReachTheBrowserAsThePageWroteThem_data() {
    QTest::addColumn<QString>("link");
    QTest::addColumn<QStringList>("opened");
    QTest::newRow("blank") << "blank" << QStringList{"1 http://example.test/a b"};
    QTest::newRow("quotes") << "quote" << QStringList{"1 http://example.test/?q=\"x\""};
    QTest::newRow("angle brackets") << "angle" << QStringList{"1 http://example.test/<b>"};
    QTest::newRow("bad escapes") << "percent" << QStringList{"1 http://example.test/100%zz%"};
    QTest::newRow("Chinese") << "gbk" << QStringList{Utf8("1 http://example.test/你 %C4%E3")};
    // A line break is never handed on.
    QTest::newRow("line break") << "linebreak" << QStringList{};
}

void AnnounceLinkTest::addressesReachTheBrowserAsThePageWroteThem() {
    QFETCH(QString, link);
    QFETCH(QStringList, opened);
    MessageBoxCatcher boxes;
    auto shown = ShowPage("/odd.html");
    QVERIFY(shown);
    QVERIFY(ClickElement(Pane(*shown), link));
    QTRY_COMPARE(Opened(), opened);
    QTest::qWait(300);
    QCOMPARE(Opened(), opened);
    QVERIFY(boxes.Boxes().empty());
}

void AnnounceLinkTest::messagesThePageStartsShowTheirEscapesAsWritten_data() {
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("message");
    QTest::newRow("script") << "/script-escapes.html" << Utf8("%41%7E 100% 你");
    QTest::newRow("fragment") << "/hash-escapes.html" << Utf8("%2D%zz 50%");
    QTest::newRow("refresh") << "/refresh-escapes.html" << Utf8("%61%%62");
    // A redirect's address reaches the program only as a QUrl, which has decoded the escapes
    // of letters, digits and "-._~" when all the escapes were valid.
    QTest::newRow("redirect, unreserved escapes") << "/moved-unreserved" << Utf8("A~-_.9");
    QTest::newRow("redirect, stray percent") << "/moved-stray" << Utf8("%41 100% %2D");
    QTest::newRow("redirect, bad escapes") << "/moved-bad" << Utf8("%61%%62%zz%");
    QTest::newRow("redirect, escaped percent") << "/moved-escaped-percent" << Utf8("%2541 %25");
    QTest::newRow("redirect, escaped hash") << "/moved-escaped-hash" << Utf8("%23 1%");
    // QUrl hands over 50%25 both for 50% and for 50%25; the stray sign is taken for the one
    // written.
    QTest::newRow("redirect, only escaped percents")
        << "/moved-only-escaped-percents" << Utf8("50%");
    QTest::newRow("redirect to another host") << "/moved-away" << Utf8("~A");
}

void AnnounceLinkTest::messagesThePageStartsShowTheirEscapesAsWritten() {
    QFETCH(QString, path);
    QFETCH(QString, message);
    MessageBoxCatcher boxes;
    auto shown = ShowPage(path.toLatin1().constData());
    QVERIFY(shown);
    QTRY_COMPARE_WITH_TIMEOUT(boxes.Texts().size(), 1, 3000);
    QTest::qWait(300);
    QCOMPARE(boxes.Texts(), QStringList({message}));
}

void AnnounceLinkTest::boxesShowTheirTextAsTyped() {
    WindowFixture fixture;
    MessageBoxCatcher boxes;
    const std::string typed = "<b>x</b> &lt; <i>y</i>";
    ShowMessage(fixture.window.get(), typed);
    RunGuarded(fixture.window.get(), [&] { throw std::runtime_error(typed); });
    fixture.window->WebBrowser1DocumentComplete("<p>#Message2#<b>z</b>&amp;#Message2End#</p>");
    QTRY_COMPARE(boxes.Boxes().size(), size_t(3));
    QCOMPARE(boxes.Boxes()[0].shown, Utf8("<b>x</b> &lt; <i>y</i>"));
    QCOMPARE(boxes.Boxes()[1].shown, Utf8("<b>x</b> &lt; <i>y</i>."));
    QCOMPARE(boxes.Boxes()[1].icon, QMessageBox::Critical);
    QCOMPARE(boxes.Boxes()[2].shown, Utf8("<b>z</b>&amp;"));
}

// Only a click of the user's opens an address; what the page does by itself may show its
// message but never opens anything.
void AnnounceLinkTest::onlyTheUsersClickOpensAnAddress() {
    const struct {
        const char* path;
        QStringList messages;
    } selfStarted[] = {
        {"/clicks.html", {Utf8("脚本点击"), Utf8("脚本点击")}},
        {"/moves.html", {Utf8("脚本跳转")}},
        {"/hash.html", {Utf8("改锚点")}},
        {"/refresh.html", {Utf8("刷新")}},
        {"/frame.html", {Utf8("框架提示")}},
        {"/popup.html", {}},
    };
    for (const auto& page : selfStarted) {
        MessageBoxCatcher boxes;
        auto shown = ShowPage(page.path);
        QVERIFY2(shown, page.path);
        QTRY_COMPARE_WITH_TIMEOUT(boxes.Texts().size(), page.messages.size(), 3000);
        QTest::qWait(300);
        QCOMPARE(boxes.Texts(), page.messages);
        QTest::qWait(200);
        QVERIFY2(Opened().isEmpty(), page.path);
    }

    // The same link clicked by the user opens its address after its message.
    MessageBoxCatcher boxes;
    auto shown = ShowPage("/clicks.html");
    QVERIFY(shown);
    QTRY_COMPARE(boxes.Texts().size(), 2);
    QVERIFY(ClickElement(Pane(*shown), QStringLiteral("both")));
    QTRY_COMPARE(Opened(), QStringList({QStringLiteral("1 http://example.test/clicked")}));
    QCOMPARE(boxes.Texts().size(), 3);
}

void AnnounceLinkTest::onlyWebAddressesAreOpened() {
    MessageBoxCatcher boxes;
    auto shown = ShowPage("/schemes.html");
    QVERIFY(shown);
    for (const char* id : {"file", "ftp", "mail", "js", "web"})
        QVERIFY2(ClickElement(Pane(*shown), QString::fromLatin1(id)), id);
    QTRY_COMPARE(Opened(), QStringList({QStringLiteral("1 HTTP://Example.test/ok")}));
    QTest::qWait(200);
    QCOMPARE(Opened().size(), 1);
    QVERIFY(boxes.Boxes().empty());
}

void AnnounceLinkTest::thePanesMenuAndErrorPageAreChinese() {
    auto shown = ShowPage("/plain.html");
    QVERIFY(shown);
    QWebEngineView* pane = Pane(*shown);
    QCOMPARE(pane->page()->action(QWebEnginePage::Back)->text(), Utf8("后退"));

    QTest::mouseClick(pane->focusProxy(), Qt::RightButton, {}, QPoint(300, 150));
    QTRY_VERIFY(qobject_cast<QMenu*>(QApplication::activePopupWidget()));
    auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    QStringList items;
    for (const QAction* action : menu->actions())
        items << action->text();
    menu->close();
    QVERIFY2(items.contains(Utf8("后退")), qPrintable(items.join(QLatin1Char('|'))));
    QVERIFY2(items.contains(Utf8("重新加载")), qPrintable(items.join(QLatin1Char('|'))));

    MessageBoxCatcher boxes;
    ShowMessage(shown->window.get(), "x");
    QCOMPARE(boxes.Boxes().at(0).okText, Utf8("确定"));

    QSignalSpy loaded(pane, &QWebEngineView::loadFinished);
    pane->load(UnreachableUrl());
    QVERIFY(loaded.wait());
    QString errorPage = PageText(pane);
    QVERIFY2(errorPage.contains(Utf8("无法访问")), qPrintable(errorPage));
}

void AnnounceLinkTest::pagesRenderInsideTheSandbox() {
    auto shown = ShowPage("/plain.html");
    QVERIFY(shown);
    QList<int> modes = RendererSeccompModes();
    QVERIFY(!modes.isEmpty());
    // 2: the system-call filter of the web engine's sandbox is in force.
    QCOMPARE(modes, QList<int>(modes.size(), 2));
}

void AnnounceLinkTest::engineFlagsOnTheCommandLineAreCutOff() {
    char program[] = "tallowfinch", platform[] = "-platform", name[] = "offscreen";
    char marker[] = "--webEngineArgs", noSandbox[] = "--no-sandbox";
    char* withFlags[] = {program, platform, name, marker, noSandbox, nullptr};
    QCOMPARE(WithoutWebEngineArguments(5, withFlags), 3);
    QCOMPARE(withFlags[3], nullptr);
    char* withoutFlags[] = {program, platform, name, nullptr};
    QCOMPARE(WithoutWebEngineArguments(3, withoutFlags), 3);
    QCOMPARE(withoutFlags[2], name);
}
