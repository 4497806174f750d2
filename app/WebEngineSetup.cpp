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

// Flags that move pages or their drawing into a process outside the sandbox: into the
// program itself, into a process started without the zygote that sandboxes them, or under a
// command of the flag's choosing.
const char* const kUnsandboxedProcessFlags[] = {
    "single-process", "in-process-gpu",     "no-zygote",         "renderer-cmd-prefix",
    "gpu-launcher",   "utility-cmd-prefix", "zygote-cmd-prefix", "ppapi-plugin-launcher",
};

// A flag's name: without its leading dashes (the engine takes one or two) and its value.
QByteArray FlagName(const QByteArray& flag) {
    qsizetype start = 0;
    while (start < flag.size() && flag[start] == '-')
        ++start;
    const qsizetype equals = flag.indexOf('=');
    return flag.mid(start, equals < 0 ? -1 : equals - start);
}

bool TakesPagesOutOfTheSandbox(const QByteArray& flag) {
    // Values count too: --disable-features=NetworkServiceSandbox turns part of it off.
    if (flag.toLower().contains("sandbox"))
        return true;
    const QByteArray name = FlagName(flag);
    for (const char* unsandboxed : kUnsandboxedProcessFlags)
        if (name == unsandboxed)
            return true;
    return false;
}

// The engine's flags without any that loosens its sandbox (--no-sandbox,
// --disable-seccomp-filter-sandbox, --disable-namespace-sandbox, ...) or takes pages out of
// it.
QByteArray WithoutSandboxFlags(const QByteArray& flags) {
    QByteArrayList kept;
    for (const QByteArray& flag : flags.split(' '))
        if (!flag.isEmpty() && !TakesPagesOutOfTheSandbox(flag))
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
