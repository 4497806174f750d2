#pragma once

#include <functional>
#include <string>

class QWidget;

// The two ways a message reaches the user: the program's own message box, and the default
// error display for an exception that no handler caught.  Texts are GBK bytes.

inline constexpr char kApplicationTitle[] = "Quorvel";

// A modal box captioned with the application title, the text and one OK button.
void ShowMessage(QWidget* owner, const std::string& text);

// The error box: application title, error icon, OK button and the message with a full stop
// added by WithFullStop.
void ShowErrorMessage(QWidget* owner, const std::string& message);

// Appends "." when the message's last byte sorts after "." in byte order.
std::string WithFullStop(std::string message);

// Runs one event handler; an exception escaping it ends the handler and is shown in the
// error box, and the program goes on.
void RunGuarded(QWidget* owner, const std::function<void()>& handler);
