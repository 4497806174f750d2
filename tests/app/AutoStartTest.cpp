#include "AutoStartTest.h"

#include "FakeFetcher.h"
#include "MessageBoxCatcher.h"
#include "WindowFixture.h"
#include "app/AutoStart.h"
#include "app/Unit3.h"
#include "app/WindowSetup.h"
#include "tests/support/Unprivileged.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QPushButton>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

namespace {

QString FolderText(const std::filesystem::path& path) {
    return QString::fromStdString(path.string());
}

// A folder that the unprivileged user may write into (acting as that user keeps the group).
void OpenToEveryone(const QString& path) {
    QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner |
                                    QFile::ReadGroup | QFile::WriteGroup | QFile::ExeGroup |
                                    QFile::ReadOther | QFile::WriteOther | QFile::ExeOther);
}

// A program that leaves a mark when it runs.
void WriteMarkingProgram(const QString& path, const QString& mark) {
    QDir().mkpath(QFileInfo(path).path());
    QFile program(path);
    QVERIFY(program.open(QIODevice::WriteOnly));
    program.write("#!/bin/sh\ntouch '" + mark.toUtf8() + "'\n");
    program.close();
    QVERIFY(program.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
}

} // namespace

void AutoStartTest::init() {
    configHome_ = qgetenv("XDG_CONFIG_HOME");
    home_ = qgetenv("HOME");
}

void AutoStartTest::cleanup() {
    qputenv("XDG_CONFIG_HOME", configHome_);
    qputenv("HOME", home_);
}

void AutoStartTest::theEntryGoesToTheUsersConfigFolder() {
    qputenv("HOME", "/home/larkspur");
    qputenv("XDG_CONFIG_HOME", "/srv/conf");
    QCOMPARE(FolderText(UserAutoStartFolder()), QStringLiteral("/srv/conf/autostart"));
    QCOMPARE(FolderText(DefaultWindowSetup().AutoStartFolder),
             QStringLiteral("/srv/conf/autostart"));
    // An empty or relative setting does not count.
    for (const char* unusable : {"", "conf"}) {
        qputenv("XDG_CONFIG_HOME", unusable);
        QCOMPARE(FolderText(UserAutoStartFolder()),
                 QStringLiteral("/home/larkspur/.config/autostart"));
    }
}

void AutoStartTest::anOrdinaryUserSetsItWithTheButton() {
    QTemporaryDir folder;
    OpenToEveryone(folder.path());
    qputenv("XDG_CONFIG_HOME", folder.filePath(QStringLiteral("config")).toUtf8());
    TWindowSetup setup = DefaultWindowSetup();
    setup.SettingsFile = folder.filePath(QStringLiteral("program.ini")).toStdString();
    setup.ProgramPath = "/opt/quorvel/bin/tallowfinch";
    std::vector<std::string> fetched;
    TfrmVantaro window(setup,
                       std::make_unique<FakeFetcher>(WindowFixture::FailingNetwork, &fetched));
    window.show();
    MessageBoxCatcher boxes;
    {
        TUnprivileged ordinaryUser;
        QTest::mouseClick(window.findChild<QPushButton*>(QStringLiteral("btnAutoStart")),
                          Qt::LeftButton);
    }
    QCOMPARE(boxes.Texts(), QStringList());
    QFile entry(folder.filePath(QStringLiteral("config/autostart/tallowfinch.desktop")));
    QVERIFY(entry.open(QIODevice::ReadOnly));
    QVERIFY(entry.readAll().contains("\nExec=\"/opt/quorvel/bin/tallowfinch\"\n"));
}

// Paths with a blank, quotes, "$", "`", "\", "%", TAB and CR all reach the launcher whole,
// in an entry that the desktop's own validator accepts.
void AutoStartTest::aLauncherStartsAnyProgramPath() {
    QString gio = QStandardPaths::findExecutable(QStringLiteral("gio"));
    if (gio.isEmpty())
        QSKIP("gio is not installed");
    QString validator = QStandardPaths::findExecutable(QStringLiteral("desktop-file-validate"));
    if (validator.isEmpty())
        QSKIP("desktop-file-validate is not installed");
    QTemporaryDir folder;
    const QString programs[] = {
        folder.filePath(QStringLiteral("plain dir/it's \"$HOME\" `x` \\/tallowfinch")),
        folder.filePath(QStringLiteral("100% sure/%u %%/tallowfinch")),
        folder.filePath(QStringLiteral("tab\there/cr\rthere/tallowfinch")),
        folder.filePath(QString::fromUtf8("北京/tallowfinch")),
    };
    int run = 0;
    for (const QString& program : programs) {
        QString mark = folder.filePath(QStringLiteral("ran-%1").arg(++run));
        WriteMarkingProgram(program, mark);
        std::string autostart = folder.filePath(QStringLiteral("autostart")).toStdString();
        SetAutoStart(autostart, program.toStdString());

        QProcess validate;
        validate.start(validator, {QString::fromStdString(autostart + "/tallowfinch.desktop")});
        QVERIFY(validate.waitForFinished(10000));
        QByteArray complaints = validate.readAllStandardOutput() + validate.readAllStandardError();
        QVERIFY2(validate.exitCode() == 0 && complaints.isEmpty(), complaints.constData());

        QProcess launch;
        launch.start(gio, {QStringLiteral("launch"),
                           QString::fromStdString(autostart + "/tallowfinch.desktop")});
        QVERIFY(launch.waitForFinished(10000));
        QVERIFY2(launch.exitCode() == 0, launch.readAllStandardError().constData());
        QTRY_VERIFY2(QFile::exists(mark), qPrintable(program));
    }
}

// A path that is not UTF-8 or holds a control byte that no escape writes: the button says it
// failed, and the entry written before stays as it was.
void AutoStartTest::aPathNoEntryCanHoldIsRefusedAndTheOldEntryStays() {
    const std::string refused[] = {
        "/opt/\xe9t\xe9/tallowfinch",       // Latin-1
        "/opt/\xb1\xb1\xbe\xa9/tallowfinch", // GBK
        "/opt/tallowfinch-\xc3",            // cut inside its last character
        "/opt/esc\x1b[31m/tallowfinch",
        "/opt/bell\x07/tallowfinch",
        "/opt/del\x7f/tallowfinch",
    };
    QTemporaryDir folder;
    qputenv("XDG_CONFIG_HOME", folder.filePath(QStringLiteral("config")).toUtf8());
    const std::filesystem::path autostart = UserAutoStartFolder();
    SetAutoStart(autostart, "/opt/quorvel/bin/tallowfinch");
    QFile entry(FolderText(autostart / "tallowfinch.desktop"));
    QVERIFY(entry.open(QIODevice::ReadOnly));
    const QByteArray before = entry.readAll();
    entry.close();
    for (const std::string& program : refused) {
        TWindowSetup setup = DefaultWindowSetup();
        setup.SettingsFile = folder.filePath(QStringLiteral("program.ini")).toStdString();
        setup.ProgramPath = program;
        std::vector<std::string> fetched;
        TfrmVantaro window(setup,
                           std::make_unique<FakeFetcher>(WindowFixture::FailingNetwork, &fetched));
        window.show();
        MessageBoxCatcher boxes;
        QTest::mouseClick(window.findChild<QPushButton*>(QStringLiteral("btnAutoStart")),
                          Qt::LeftButton);
        QCOMPARE(boxes.Texts(), QStringList{QStringLiteral("Failed to set data for 'tallowfinch'")});
        QVERIFY(entry.open(QIODevice::ReadOnly));
        QCOMPARE(entry.readAll(), before);
        entry.close();
    }
    QCOMPARE(QDir(FolderText(autostart)).entryList(QDir::Files | QDir::Hidden),
             QStringList{QStringLiteral("tallowfinch.desktop")});
}
