#include "app/QtLineList.h"

#include "app/QtText.h"

#include <QTextBlock>
#include <stdexcept>

void TQtLineList::Add(const std::string& line) {
    edit_->appendPlainText(FromGbk(line));
}

// An empty pane holds no lines, although its document always has one empty block.
QStringList TQtLineList::Lines() const {
    if (edit_->document()->isEmpty())
        return {};
    return edit_->toPlainText().split(QLatin1Char('\n'));
}

int TQtLineList::Count() const {
    return static_cast<int>(Lines().size());
}

std::string TQtLineList::Line(int index) const {
    QStringList lines = Lines();
    if (index < 0 || index >= lines.size())
        throw std::out_of_range("Line index out of bounds (" + std::to_string(index) + ")");
    return ToGbk(lines[index]);
}

std::string TQtLineList::Text() const {
    return ToGbk(Lines().join(QStringLiteral("\r\n")));
}
