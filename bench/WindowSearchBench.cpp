// The window's search-now button, timed: the desktop program's window over the program's
// own HTTP client, with a settings file for the search, shown on the offscreen platform.
//
// Usage: window_search_bench --ini FILE --board HOST:PORT [--announce URL]
//
// Runs as the user "nobody" when started as root: the pane shows pages only inside the web
// engine's sandbox, which refuses a process that can become root. Waits until the
// announcement pane has loaded URL (and its message box, if the page has one, has been
// answered as a user would), then clicks the search-now button and times the click until
// the search returns. Prints "rows N seconds S", N being the rows in the result
// pane. Exits 1 when the search showed a message box (a failed fetch).

#include "app/Messages.h"
#include "app/Unit3.h"
#include "app/WebEngineSetup.h"
#include "bench/BoardRedirectFetcher.h"
#include "fetcher/HttpPageFetcher.h"
#include "tests/app/UnprivilegedProcess.h"

#include <QAbstractButton>
#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTimer>
#include <QWebEngineView>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>

namespace {

constexpr int AnnounceLoadLimitMs = 60000;
constexpr int AnnounceBoxWaitMs = 2000;
// Lets the pane's renderer fall quiet before the click.
constexpr int SettleMs = 300;

struct Options {
    QString iniFile;
    std::string boardHost;
    QUrl announceUrl;
};

[[noreturn]] void Usage() {
    std::fprintf(stderr, "usage: window_search_bench --ini FILE --board HOST:PORT "
                         "[--announce URL]\n");
    std::exit(2);
}

Options ParseOptions(int argc, char* argv[]) {
    Options options;
    for (int i = 1; i < argc; ++i) {
        if (i + 1 == argc)
            Usage();
        if (std::strcmp(argv[i], "--ini") == 0)
            options.iniFile = QString::fromLocal8Bit(argv[++i]);
        else if (std::strcmp(argv[i], "--board") == 0)
            options.boardHost = argv[++i];
        else if (std::strcmp(argv[i], "--announce") == 0)
            options.announceUrl = QUrl(QString::fromLocal8Bit(argv[++i]));
        else
            Usage();
    }
    if (options.iniFile.isEmpty() || options.boardHost.empty())
        Usage();
    return options;
}

// Presses OK on every message box that opens, as the user would, and counts them.
class BoxAnswerer {
public:
    BoxAnswerer() {
        QObject::connect(&poll_, &QTimer::timeout, [this] { AnswerOpenBox(); });
        poll_.start(5);
    }

    int Answered() const { return answered_; }

private:
    void AnswerOpenBox() {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box || !box->isVisible())
            return;
        std::fprintf(stderr, "message box: %s\n", box->text().toUtf8().constData());
        ++answered_;
        box->button(QMessageBox::Ok)->click();
    }

    QTimer poll_;
    int answered_ = 0;
};

void ProcessEventsFor(int milliseconds) {
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < milliseconds)
        QApplication::processEvents(QEventLoop::AllEvents, 10);
}

void WaitForAnnouncement(QWebEngineView& pane, const BoxAnswerer& boxes) {
    bool loaded = false;
    QObject::connect(&pane, &QWebEngineView::loadFinished, [&loaded] { loaded = true; });
    QElapsedTimer clock;
    clock.start();
    while (!loaded && clock.elapsed() < AnnounceLoadLimitMs)
        QApplication::processEvents(QEventLoop::AllEvents, 10);
    if (!loaded)
        std::fprintf(stderr, "the announcement page did not finish loading\n");
    clock.restart();
    while (boxes.Answered() == 0 && clock.elapsed() < AnnounceBoxWaitMs)
        QApplication::processEvents(QEventLoop::AllEvents, 10);
}

int ResultRows(const QPlainTextEdit& memoResult) {
    int rows = 0;
    for (QTextBlock block = memoResult.document()->begin(); block.isValid(); block = block.next())
        rows += block.text() == QStringLiteral("===== =====");
    return rows;
}

} // namespace

int main(int argc, char* argv[]) {
    Options options = ParseOptions(argc, argv);
    BecomeUnprivileged();
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("QTWEBENGINE_CHROMIUM_FLAGS", "--disable-gpu --disable-logging");
    qputenv("QT_LOGGING_RULES", "qt.webenginecontext.info=false");
    PrepareWebEngine();
    QApplication application(argc, argv);
    QApplication::setApplicationName(QString::fromLatin1(kApplicationTitle));
    UseChineseTranslations(application);

    // The window may write its settings file; it gets a copy.
    QTemporaryDir folder;
    TWindowSetup setup;
    setup.SettingsFile = folder.filePath(QStringLiteral("program.ini")).toStdString();
    setup.AutoStartFolder = folder.filePath(QStringLiteral("autostart")).toStdString();
    setup.ProgramPath = QApplication::applicationFilePath().toStdString();
    setup.AnnounceUrl = options.announceUrl;
    if (!QFile::copy(options.iniFile, QString::fromStdString(setup.SettingsFile.string()))) {
        std::fprintf(stderr, "cannot copy %s\n", options.iniFile.toLocal8Bit().constData());
        return 2;
    }

    BoxAnswerer boxes;
    TfrmVantaro window(setup, std::make_unique<TBoardRedirectFetcher>(
                                  std::make_unique<THttpPageFetcher>(), options.boardHost));
    window.show();
    auto* pane = window.findChild<QWebEngineView*>(QStringLiteral("WebBrowser1"));
    if (!pane)
        std::fprintf(stderr, "the web engine may not run here: no announcement page\n");
    else if (!options.announceUrl.isEmpty())
        WaitForAnnouncement(*pane, boxes);
    ProcessEventsFor(SettleMs);

    auto* searchNow = window.findChild<QPushButton*>(QStringLiteral("btnRightNow"));
    int boxesBefore = boxes.Answered();
    auto start = std::chrono::steady_clock::now();
    QTest::mouseClick(searchNow, Qt::LeftButton);
    std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;

    int rows = ResultRows(*window.findChild<QPlainTextEdit*>(QStringLiteral("memoResult")));
    std::printf("rows %d seconds %.6f\n", rows, elapsed.count());
    return boxes.Answered() == boxesBefore ? 0 : 1;
}
