#include "ShellTest.h"

#include "MessageBoxCatcher.h"
#include "WindowFixture.h"
#include "app/AutoStart.h"
#include "app/Messages.h"
#include "app/NotifyIcon.h"
#include "tests/support/Unprivileged.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QTranslator>
#include <fstream>
#include <sstream>

namespace {

std::string ReadFile(const std::string& path) {
    std::ifstream file(path);
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
}

} // namespace

void ShellTest::minimisingHidesTheWindowInTheTray() {
    WindowFixture fixture;
    TfrmVantaro& window = *fixture.window;
    window.show();
    window.setWindowState(Qt::WindowMinimized);
    QTRY_VERIFY(!window.isVisible());
    QVERIFY(window.NotifyIcon().IconShown());
    // Minimising neither starts nor stops polling.
    QVERIFY(!fixture.Find<QTimer>("timerFindJob")->isActive());
    QVERIFY(fixture.Find<QPushButton>("btnGo")->isEnabled());
    // The window comes back from the tray in its normal state.
    emit window.NotifyIcon().Icon()->activated(QSystemTrayIcon::Trigger);
    QVERIFY(window.isVisible());
    QVERIFY(!window.isMinimized());
}

void ShellTest::onlyALeftClickOnTheIconRestores() {
    WindowFixture fixture;
    TfrmVantaro& window = *fixture.window;
    window.show();
    window.HideToTray();
    QSystemTrayIcon* icon = window.NotifyIcon().Icon();
    QCOMPARE(icon->toolTip(), QStringLiteral("Quorvel v1.0 - Pellisand"));

    for (auto reason :
         {QSystemTrayIcon::Context, QSystemTrayIcon::DoubleClick, QSystemTrayIcon::MiddleClick}) {
        emit icon->activated(reason);
        QVERIFY(!window.isVisible());
        QVERIFY(window.NotifyIcon().IconShown());
    }
    emit icon->activated(QSystemTrayIcon::Trigger);
    QVERIFY(window.isVisible());
    QVERIFY(!window.NotifyIcon().IconShown());
}

void ShellTest::withoutATrayHidingMinimises() {
    WindowFixture fixture(WindowFixture::FailingNetwork, QUrl(), false);
    TfrmVantaro& window = *fixture.window;
    window.show();
    window.HideToTray();
    QVERIFY(window.isMinimized());
    QVERIFY(window.isVisible());
    QVERIFY(!window.NotifyIcon().IconShown());
    window.RestoreFromTray();
    QVERIFY(!window.isMinimized());
}

void ShellTest::fullStopFollowsTheByteOrderRule() {
    QCOMPARE(WithFullStop("Unable to write to /x/program.ini"),
             std::string("Unable to write to /x/program.ini."));
    QCOMPARE(WithFullStop("Failed to set data for 'tallowfinch'"),
             std::string("Failed to set data for 'tallowfinch'"));
    QCOMPARE(WithFullStop("Done."), std::string("Done."));
    QCOMPARE(WithFullStop("Read /"), std::string("Read /."));
    QCOMPARE(WithFullStop("a-"), std::string("a-"));
    QCOMPARE(WithFullStop(""), std::string(""));
    // A GBK character ends in a trail byte above ".".
    QCOMPARE(WithFullStop("\xB1\xB1"), std::string("\xB1\xB1."));
}

void ShellTest::boxesSayOkInChineseWithoutQtsTranslations_data() {
    QTest::addColumn<bool>("error");
    QTest::newRow("message") << false;
    QTest::newRow("error") << true;
}

// As on a machine without Qt's translation files: none of them is installed.
void ShellTest::boxesSayOkInChineseWithoutQtsTranslations() {
    QFETCH(bool, error);
    const QList<QTranslator*> translators = qApp->findChildren<QTranslator*>();
    for (QTranslator* translator : translators)
        QCoreApplication::removeTranslator(translator);
    MessageBoxCatcher boxes;
    if (error)
        RunGuarded(nullptr, [] { throw std::runtime_error("Unable to write"); });
    else
        ShowMessage(nullptr, "x");
    for (QTranslator* translator : translators)
        QCoreApplication::installTranslator(translator);
    QCOMPARE(boxes.Boxes().size(), size_t(1));
    QCOMPARE(boxes.Boxes()[0].okText, QString::fromUtf8("确定"));
}

void ShellTest::anEscapingErrorShowsTheErrorBoxAndTheProgramGoesOn() {
    WindowFixture fixture;
    TfrmVantaro& window = *fixture.window;
    window.show();
    std::string unwritable = fixture.Path("program.ini");
    MessageBoxCatcher boxes;
    RunGuarded(&window, [&] { throw std::runtime_error("Unable to write to " + unwritable); });
    QCOMPARE(boxes.Boxes().size(), size_t(1));
    QCOMPARE(boxes.Boxes()[0].title, QStringLiteral("Quorvel"));
    QCOMPARE(boxes.Boxes()[0].icon, QMessageBox::Critical);
    QCOMPARE(boxes.Boxes()[0].text,
             QStringLiteral("Unable to write to %1.").arg(QString::fromStdString(unwritable)));

    // The save button's own failure reaches the same box, and the window still works.
    QDir(fixture.folder.path()).mkdir(QStringLiteral("program.ini"));
    fixture.Find<QLineEdit>("editComName")->setText(QStringLiteral("Larkspur"));
    QTest::mouseClick(fixture.Find<QPushButton>("btnSave"), Qt::LeftButton);
    QCOMPARE(boxes.Boxes().size(), size_t(2));
    QCOMPARE(boxes.Boxes()[1].icon, QMessageBox::Critical);
    QVERIFY(boxes.Boxes()[1].text.endsWith(QStringLiteral("program.ini.")));
    QVERIFY(window.isVisible());
    QTest::mouseClick(fixture.Find<QPushButton>("btnRightNow"), Qt::LeftButton);
    QCOMPARE(boxes.Boxes().size(), size_t(3));
}

void ShellTest::autostartWritesOneEntryForTheRunningProgram() {
    WindowFixture fixture;
    fixture.window->show();
    MessageBoxCatcher boxes;
    auto* button = fixture.Find<QPushButton>("btnAutoStart");
    QTest::mouseClick(button, Qt::LeftButton);
    QTest::mouseClick(button, Qt::LeftButton);
    QVERIFY(boxes.Boxes().empty());
    QCOMPARE(QDir(QString::fromStdString(fixture.Path("autostart"))).entryList(QDir::Files),
             QStringList({QStringLiteral("tallowfinch.desktop")}));
    std::string entry = ReadFile(fixture.Path("autostart/tallowfinch.desktop"));
    QVERIFY(entry.rfind("[Desktop Entry]\n", 0) == 0);
    QVERIFY(entry.find("\nName=tallowfinch\n") != std::string::npos);
    QVERIFY(entry.find("\nExec=\"/opt/quorvel/bin/tallowfinch\"\n") != std::string::npos);

    // The program's own file, whatever it is called: here the test executable.
    QCOMPARE(RunningProgramPath().string(), QCoreApplication::applicationFilePath().toStdString());
}

void ShellTest::autostartQuotesTheProgramPath() {
    std::string entry = AutoStartEntryText("/home/a b/100% \"$x\"/tallow`finch\\");
    QVERIFY(entry.find(
                "\nExec=env \"/home/a b/100%% \\\\\"\\\\$x\\\\\"/tallow\\\\`finch\\\\\\\\\"\n") !=
            std::string::npos);
}

void ShellTest::autostartThatCannotWriteReportsAndChangesNothing() {
    QTemporaryDir folder;
    std::string blocked = folder.filePath(QStringLiteral("file")).toStdString();
    QFile(QString::fromStdString(blocked)).open(QIODevice::WriteOnly);
    QVERIFY_THROWS_EXCEPTION(EAutoStartError, SetAutoStart(blocked + "/autostart", "/bin/x"));
    try {
        SetAutoStart(blocked + "/autostart", "/bin/x");
    } catch (const EAutoStartError& error) {
        QCOMPARE(QString::fromLatin1(error.what()),
                 QStringLiteral("Failed to set data for 'tallowfinch'"));
    }
    QCOMPARE(QDir(folder.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries),
             QStringList({QStringLiteral("file")}));

    // A folder without write permission, written as an ordinary user: the earlier entry
    // stays as it was, and no temporary file is left behind.
    QDir(folder.path()).mkdir(QStringLiteral("ro"));
    std::string readOnly = folder.filePath(QStringLiteral("ro")).toStdString();
    SetAutoStart(readOnly, "/bin/old");
    QFile::setPermissions(folder.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner |
                                             QFile::ReadOther | QFile::ExeOther);
    QFile::setPermissions(QString::fromStdString(readOnly),
                          QFile::ReadOwner | QFile::ExeOwner | QFile::ReadOther | QFile::ExeOther);
    {
        TUnprivileged ordinaryUser;
        QVERIFY_THROWS_EXCEPTION(EAutoStartError, SetAutoStart(readOnly, "/bin/new"));
    }
    QVERIFY(ReadFile(readOnly + "/tallowfinch.desktop").find("/bin/old") != std::string::npos);
    QCOMPARE(QDir(QString::fromStdString(readOnly)).entryList(QDir::Files).size(), 1);

    // Through the button, the default error display shows the message without a full stop.
    WindowFixture fixture;
    QFile(QString::fromStdString(fixture.Path("autostart"))).open(QIODevice::WriteOnly);
    fixture.window->show();
    MessageBoxCatcher boxes;
    QTest::mouseClick(fixture.Find<QPushButton>("btnAutoStart"), Qt::LeftButton);
    QCOMPARE(boxes.Texts(), QStringList({QStringLiteral("Failed to set data for 'tallowfinch'")}));
    QCOMPARE(boxes.Boxes()[0].icon, QMessageBox::Critical);
}
