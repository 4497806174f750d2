#pragma once

#include "watch/LineList.h"

#include <QPlainTextEdit>
#include <QStringList>
#include <optional>
#include <vector>

// A multi-line pane of the watch panel (result pane, exclusion pane).  Its lines are split
// once for each change of the pane, not on every look; a line break that ends the text
// starts no further line.  Added lines are held back until Flush() or the next look at the
// pane, so that a search lays the pane out once rather than once per line.
class TQtLineList : public watch::ILineList {
public:
    // `edit` is not owned; the window owns it and it outlives the list.
    explicit TQtLineList(QPlainTextEdit* edit);
    ~TQtLineList() override;
    TQtLineList(const TQtLineList&) = delete;
    TQtLineList& operator=(const TQtLineList&) = delete;

    void Clear() override;
    void Add(const std::string& line) override;
    int Count() const override;
    std::string Line(int index) const override;
    std::string Text() const override;

    // Shows the lines added since the last flush.
    void Flush() const;

private:
    const std::vector<std::string>& Lines() const;

    QPlainTextEdit* edit_;
    QMetaObject::Connection paneChanged_;
    mutable QStringList pending_;
    // The pane's lines as GBK text, until the pane changes.
    mutable std::optional<std::vector<std::string>> lines_;
};
