#pragma once

#include <QStringList>
#include <QTemporaryDir>

// Stands in for the desktop's opener, and so for the user's browser: while it lives, an
// xdg-open of its own comes first on the search path and records every call.
class OpenerRecorder {
public:
    OpenerRecorder();
    ~OpenerRecorder();
    OpenerRecorder(const OpenerRecorder&) = delete;
    OpenerRecorder& operator=(const OpenerRecorder&) = delete;

    // The calls so far, in order: each one's argument count, a blank and its first argument.
    QStringList Opened() const;
    void Clear();

private:
    QTemporaryDir folder_;
    QByteArray path_;
};
