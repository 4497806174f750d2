#include "OpenerRecorder.h"

#include <QFile>
#include <stdexcept>

namespace {

// Arguments may hold anything but NUL, line breaks included, so records end with NUL.
const char kOpener[] = "#!/bin/sh\nprintf '%s %s\\0' \"$#\" \"$1\" >> \"$0.log\"\n";

} // namespace

OpenerRecorder::OpenerRecorder() : path_(qgetenv("PATH")) {
    QFile opener(folder_.filePath(QStringLiteral("xdg-open")));
    if (!opener.open(QIODevice::WriteOnly) || opener.write(kOpener) < 0)
        throw std::runtime_error("Cannot write the recording opener");
    opener.close();
    opener.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    qputenv("PATH", folder_.path().toLocal8Bit() + ':' + path_);
}

OpenerRecorder::~OpenerRecorder() {
    qputenv("PATH", path_);
}

QStringList OpenerRecorder::Opened() const {
    QFile log(folder_.filePath(QStringLiteral("xdg-open.log")));
    if (!log.open(QIODevice::ReadOnly))
        return {};
    QStringList calls = QString::fromUtf8(log.readAll()).split(QChar(0));
    calls.removeLast();
    return calls;
}

void OpenerRecorder::Clear() {
    QFile::remove(folder_.filePath(QStringLiteral("xdg-open.log")));
}
