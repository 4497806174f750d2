#pragma once

#include "watch/LineList.h"

#include <QPlainTextEdit>

// A multi-line pane of the watch panel (result pane, exclusion pane).
class TQtLineList : public watch::ILineList {
public:
    // `edit` is not owned; the window owns it.
    explicit TQtLineList(QPlainTextEdit* edit) : edit_(edit) {}

    void Clear() override { edit_->clear(); }
    void Add(const std::string& line) override;
    int Count() const override;
    std::string Line(int index) const override;
    std::string Text() const override;

private:
    QStringList Lines() const;

    QPlainTextEdit* edit_;
};
