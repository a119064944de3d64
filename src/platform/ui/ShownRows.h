#pragma once
// What a view on screen does for the rows of its dataset: rows pending read
// (stale, or closed where the dataset opens when read) are read when the view
// shows, and just after they became pending while it is shown. A view is told
// of that from inside the dataset's own change (a close, a master's move),
// where nothing is read; the read waits until the change is over.

#include <QPointer>
#include <QWidget>

#include <functional>

class Dataset;

class ShownRows {
  public:
    // dataset: the dataset the view shows now (may be none).
    ShownRows(QWidget* view, std::function<Dataset*()> dataset)
        : view_(view), dataset_(std::move(dataset)) {}

    // Reads the pending rows now, when the view is on screen.
    void Read();
    // Reads them once the change under way is over.
    void ReadSoon();

  private:
    QPointer<QWidget> view_;
    std::function<Dataset*()> dataset_;
    bool queued_ = false;
};
