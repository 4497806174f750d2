#include "app/WaitCursorFetcher.h"

#include <QCursor>
#include <QGuiApplication>

namespace {

// The cursor is back before anything else is shown, a failure's message box included.
struct TWaitCursor {
    TWaitCursor() { QGuiApplication::setOverrideCursor(QCursor(Qt::WaitCursor)); }
    ~TWaitCursor() { QGuiApplication::restoreOverrideCursor(); }
    TWaitCursor(const TWaitCursor&) = delete;
    TWaitCursor& operator=(const TWaitCursor&) = delete;
};

} // namespace

std::string TWaitCursorFetcher::Get(const std::string& url) {
    TWaitCursor waiting;
    return fetcher_->Get(url);
}
