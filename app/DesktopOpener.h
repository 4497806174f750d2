#pragma once

#include <QString>

// Hands an address to the user's own browser through the desktop's opener (xdg-open) as
// text, so that the browser gets it as the page wrote it: blanks, quotes, angle brackets and
// escapes that no URL parser would keep included.  Only web addresses are opened.  Throws
// std::runtime_error when the opener cannot be started.
void OpenInBrowser(const QString& address);

// Whether the text is an http or https address with a host and without control characters:
// a page arrives over plain http and must not make the program open local files, start
// programs or pass line breaks on.
bool IsWebAddressText(const QString& address);
