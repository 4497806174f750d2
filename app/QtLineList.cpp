#include "app/QtLineList.h"

#include "app/QtText.h"

#include <QTextDocument>
#include <stdexcept>

TQtLineList::TQtLineList(QPlainTextEdit* edit) : edit_(edit) {
    paneChanged_ = QObject::connect(edit_->document(), &QTextDocument::contentsChanged, edit_,
                                    [this] { lines_.reset(); });
}

TQtLineList::~TQtLineList() {
    QObject::disconnect(paneChanged_);
}

void TQtLineList::Clear() {
    pending_.clear();
    edit_->clear();
}

void TQtLineList::Add(const std::string& line) {
    pending_.append(FromGbk(line));
}

void TQtLineList::Flush() const {
    if (pending_.isEmpty())
        return;
    // One paragraph per line, as if each had been appended by itself.
    edit_->appendPlainText(pending_.join(QLatin1Char('\n')));
    pending_.clear();
}

// An empty pane holds no lines, although its document always has one empty block.
const std::vector<std::string>& TQtLineList::Lines() const {
    Flush();
    if (!lines_) {
        QStringList texts;
        if (!edit_->document()->isEmpty())
            texts = edit_->toPlainText().split(QLatin1Char('\n'));
        if (!texts.isEmpty() && texts.last().isEmpty())
            texts.removeLast();
        lines_.emplace();
        lines_->reserve(static_cast<size_t>(texts.size()));
        for (const QString& text : texts)
            lines_->push_back(ToGbk(text));
    }
    return *lines_;
}

int TQtLineList::Count() const {
    return static_cast<int>(Lines().size());
}

std::string TQtLineList::Line(int index) const {
    const std::vector<std::string>& lines = Lines();
    if (index < 0 || index >= static_cast<int>(lines.size()))
        throw std::out_of_range("Line index out of bounds (" + std::to_string(index) + ")");
    return lines[static_cast<size_t>(index)];
}

std::string TQtLineList::Text() const {
    const std::vector<std::string>& lines = Lines();
    std::string text;
    for (size_t i = 0; i < lines.size(); ++i) {
        if (i > 0)
            text += "\r\n";
        text += lines[i];
    }
    return text;
}
