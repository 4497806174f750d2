#include "app/WebEngineSetup.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QStringList>
#include <QTranslator>
#include <cstring>
#include <memory>
#include <unistd.h>

namespace {

const char kChromiumFlags[] = "QTWEBENGINE_CHROMIUM_FLAGS";

// The engine's flags without any that loosens its sandbox (--no-sandbox,
// --disable-seccomp-filter-sandbox, --disable-namespace-sandbox, ...).
QByteArray WithoutSandboxFlags(const QByteArray& flags) {
    QByteArrayList kept;
    for (const QByteArray& flag : flags.split(' '))
        if (!flag.isEmpty() && !flag.contains("sandbox"))
            kept << flag;
    return kept.join(' ');
}

// A process whose real, effective or saved user is root is root or can become it again.
bool CanBeRoot() {
    uid_t real = 0, effective = 0, saved = 0;
    return getresuid(&real, &effective, &saved) != 0 || real == 0 || effective == 0 || saved == 0;
}

} // namespace

void PrepareWebEngine() {
    qunsetenv("QTWEBENGINE_DISABLE_SANDBOX");
    if (qEnvironmentVariableIsSet(kChromiumFlags))
        qputenv(kChromiumFlags, WithoutSandboxFlags(qgetenv(kChromiumFlags)));
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
}

int WithoutWebEngineArguments(int argc, char* argv[]) {
    for (int i = 1; i < argc; ++i)
        if (std::strcmp(argv[i], "--webEngineArgs") == 0) {
            argv[i] = nullptr;
            return i;
        }
    return argc;
}

bool WebEngineMayRun() {
    return !CanBeRoot();
}

void UseChineseTranslations(QCoreApplication& application) {
    // The engine takes the language of its error pages from the default locale.
    QLocale::setDefault(QLocale(QLocale::Chinese, QLocale::China));
    const QString folder = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
    for (const char* name : {"qt_zh_CN", "qtbase_zh_CN", "qtwebengine_zh_CN"}) {
        // A missing file leaves those texts in English.
        auto translator = std::make_unique<QTranslator>();
        if (!translator->load(QString::fromLatin1(name), folder))
            continue;
        translator->setParent(&application);
        QCoreApplication::installTranslator(translator.release());
    }
}
