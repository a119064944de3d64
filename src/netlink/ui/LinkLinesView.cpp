#include "netlink/ui/LinkLinesView.h"

#include <QListWidget>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QSet>

#include <algorithm>

namespace {

bool StartsWith(const QStringList& lines, const QStringList& head) {
    return head.size() <= lines.size() && std::equal(head.begin(), head.end(), lines.begin());
}

}  // namespace

void MemoLinesView::Show(const QStringList& lines) {
    if (shown_.isSharedWith(lines)) return;
    if (StartsWith(lines, shown_)) {
        for (qsizetype i = shown_.size(); i < lines.size(); ++i)
            memo_->appendPlainText(lines.at(i));
    } else {
        memo_->setPlainText(lines.join(QLatin1Char('\n')));
    }
    shown_ = lines;
    memo_->verticalScrollBar()->setValue(memo_->verticalScrollBar()->maximum());
}

void ListLinesView::Show(const QStringList& lines) {
    if (shown_.isSharedWith(lines) || shown_ == lines) {
        shown_ = lines;
        return;
    }
    // A line changed in place keeps its selection; a list that grew or shrank
    // keeps the lines selected by their text.
    const bool sameRows = lines.size() == list_->count();
    QSet<int> rows;
    QSet<QString> texts;
    for (const QListWidgetItem* item : list_->selectedItems()) {
        rows.insert(list_->row(item));
        texts.insert(item->text());
    }
    list_->clear();
    list_->addItems(lines);
    for (int row = 0; row < list_->count(); ++row)
        if (sameRows ? rows.contains(row) : texts.contains(list_->item(row)->text()))
            list_->item(row)->setSelected(true);
    shown_ = lines;
}
