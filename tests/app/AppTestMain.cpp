// Runs one group of the window's tests, named by the first argument, under the offscreen
// platform; the other arguments go to Qt Test.

#include "AnnounceLinkTest.h"
#include "AnnounceRootTest.h"
#include "AnnounceTest.h"
#include "AutoStartTest.h"
#include "DesktopTest.h"
#include "LayoutTest.h"
#include "NotifyTest.h"
#include "PaneTest.h"
#include "SearchRunTest.h"
#include "ShellTest.h"
#include "TrayTest.h"
#include "TypingTest.h"
#include "UnprivilegedProcess.h"
#include "app/Messages.h"
#include "app/WebEngineSetup.h"

#include <QApplication>
#include <QTest>
#include <cstdio>
#include <cstring>
#include <memory>

namespace {

std::unique_ptr<QObject> TestGroup(const char* name) {
    if (std::strcmp(name, "layout") == 0)
        return std::make_unique<LayoutTest>();
    if (std::strcmp(name, "search") == 0)
        return std::make_unique<SearchRunTest>();
    if (std::strcmp(name, "shell") == 0)
        return std::make_unique<ShellTest>();
    if (std::strcmp(name, "announce") == 0)
        return std::make_unique<AnnounceTest>();
    if (std::strcmp(name, "links") == 0)
        return std::make_unique<AnnounceLinkTest>();
    if (std::strcmp(name, "root") == 0)
        return std::make_unique<AnnounceRootTest>();
    if (std::strcmp(name, "autostart") == 0)
        return std::make_unique<AutoStartTest>();
    if (std::strcmp(name, "desktop") == 0)
        return std::make_unique<DesktopTest>();
    if (std::strcmp(name, "panes") == 0)
        return std::make_unique<PaneTest>();
    if (std::strcmp(name, "tray") == 0)
        return std::make_unique<TrayTest>();
    if (std::strcmp(name, "typing") == 0)
        return std::make_unique<TypingTest>();
    if (std::strcmp(name, "notify") == 0)
        return std::make_unique<NotifyTest>();
    return nullptr;
}

// The groups that load pages into the pane, which the web engine does only in its sandbox.
bool LoadsPages(const char* name) {
    return std::strcmp(name, "announce") == 0 || std::strcmp(name, "links") == 0;
}

} // namespace

int main(int argc, char* argv[]) {
    std::unique_ptr<QObject> group = argc > 1 ? TestGroup(argv[1]) : nullptr;
    if (!group) {
        std::fprintf(
            stderr,
            "usage: app_tests layout|search|shell|announce|links|root|autostart|desktop|panes|"
            "tray|typing|notify [QTEST_ARG...]\n");
        return 2;
    }
    if (LoadsPages(argv[1]))
        BecomeUnprivileged();
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // Besides the test's own flags, every kind of flag that would render pages outside the
    // sandbox: turning it off, or keeping the renderer out of a sandboxed process of its own.
    qputenv("QTWEBENGINE_CHROMIUM_FLAGS",
            "--disable-gpu --disable-logging --no-sandbox --single-process -in-process-gpu "
            "--no-zygote --renderer-cmd-prefix=env");
    qputenv("QT_LOGGING_RULES", "qt.webenginecontext.info=false");
    // Asks the web engine to run without its sandbox; the program must not listen.
    qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    PrepareWebEngine();
    QApplication application(argc, argv);
    QApplication::setApplicationName(QString::fromLatin1(kApplicationTitle));
    UseChineseTranslations(application);

    argv[1] = argv[0];
    return QTest::qExec(group.get(), argc - 1, argv + 1);
}
