#include "app/DesktopOpener.h"

#include <QProcess>
#include <QStringList>
#include <stdexcept>

namespace {

bool HasControlCharacter(const QString& text) {
    for (QChar character : text)
        if (character.unicode() < 0x20 || character.unicode() == 0x7F)
            return true;
    return false;
}

} // namespace

bool IsWebAddressText(const QString& address) {
    for (QLatin1String scheme : {QLatin1String("http://"), QLatin1String("https://")}) {
        if (!address.startsWith(scheme, Qt::CaseInsensitive))
            continue;
        QString rest = address.mid(scheme.size());
        return !rest.isEmpty() && !rest.startsWith(QLatin1Char('/')) &&
               !HasControlCharacter(address);
    }
    return false;
}

void OpenInBrowser(const QString& address) {
    if (!IsWebAddressText(address))
        return;
    // The address is one argument of its own; no shell sees it.
    if (!QProcess::startDetached(QStringLiteral("xdg-open"), QStringList{address}))
        throw std::runtime_error("Cannot start xdg-open");
}
