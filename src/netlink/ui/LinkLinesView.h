#pragma once
// Shows a list of lines the link keeps (a log, a journal, the found devices)
// in a text box or a list box. A log that only grew gets its new lines
// appended; a list that changed otherwise is shown anew. A list box keeps the
// lines the operator selected: by row when only lines changed, else by text.

#include <QStringList>

class QListWidget;
class QPlainTextEdit;

class MemoLinesView {
  public:
    explicit MemoLinesView(QPlainTextEdit* memo) : memo_(memo) {}
    void Show(const QStringList& lines);

  private:
    QPlainTextEdit* memo_;
    QStringList shown_;
};

class ListLinesView {
  public:
    explicit ListLinesView(QListWidget* list) : list_(list) {}
    void Show(const QStringList& lines);

  private:
    QListWidget* list_;
    QStringList shown_;
};
