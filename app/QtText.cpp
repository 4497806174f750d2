#include "app/QtText.h"

#include "watch/GbkText.h"

QString FromGbk(const std::string& gbk) {
    return QString::fromStdString(watch::Utf8FromGbk(gbk));
}

std::string ToGbk(const QString& text) {
    return watch::GbkFromUtf8(text.toStdString());
}
