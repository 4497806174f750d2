#pragma once

#include <QString>
#include <string>

// The window's edge between the program's GBK text and Qt's Unicode strings.
QString FromGbk(const std::string& gbk);
std::string ToGbk(const QString& text);
