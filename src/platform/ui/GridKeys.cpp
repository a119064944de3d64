#include "platform/ui/GridKeys.h"

#include <QAbstractItemView>
#include <QFocusEvent>
#include <QListView>
#include <QTableView>

namespace {

// A long list has a workable cell among its first rows; no more are looked at.
constexpr int kRowsLooked = 64;

bool cellShown(const QAbstractItemView* view, const QModelIndex& index) {
    if (const auto* table = qobject_cast<const QTableView*>(view))
        return !table->isRowHidden(index.row()) && !table->isColumnHidden(index.column());
    if (const auto* list = qobject_cast<const QListView*>(view))
        return !list->isRowHidden(index.row());
    return true;
}

// The first cell the operator can stand on: shown, enabled and selectable
// (a grid's fixed title cells are neither).
QModelIndex firstCell(const QAbstractItemView* view) {
    const QAbstractItemModel* model = view->model();
    const QModelIndex root = view->rootIndex();
    const int rows = qMin(model->rowCount(root), kRowsLooked);
    const int columns = model->columnCount(root);
    const Qt::ItemFlags workable = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < columns; ++c) {
            const QModelIndex index = model->index(r, c, root);
            if ((index.flags() & workable) == workable && cellShown(view, index)) return index;
        }
    return {};
}

// A grid taking the focus from the keyboard stands on a cell; a click chooses
// its own.
class GridFocus : public QObject {
  public:
    explicit GridFocus(QAbstractItemView* view) : QObject(view), view_(view) {}

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == view_ && event->type() == QEvent::FocusIn &&
            static_cast<QFocusEvent*>(event)->reason() != Qt::MouseFocusReason)
            giveCurrentCell();
        return false;
    }

  private:
    void giveCurrentCell() {
        QItemSelectionModel* selection = view_->selectionModel();
        if (!selection || !view_->model() || view_->currentIndex().isValid()) return;
        const QModelIndex first = firstCell(view_);
        // The frame only: what is chosen stays as the operator left it.
        if (first.isValid()) selection->setCurrentIndex(first, QItemSelectionModel::NoUpdate);
    }

    QAbstractItemView* view_;
};

}  // namespace

namespace GridKeys {

void Apply(QAbstractItemView* view) {
    view->setTabKeyNavigation(false);
    view->installEventFilter(new GridFocus(view));
}

EditorEnd EndOfEditor(QAbstractItemDelegate::EndEditHint hint) {
    switch (hint) {
        case QAbstractItemDelegate::EditNextItem:
            return {QAbstractItemDelegate::NoHint, +1};
        case QAbstractItemDelegate::EditPreviousItem:
            return {QAbstractItemDelegate::NoHint, -1};
        default:
            return {hint, 0};
    }
}

}  // namespace GridKeys
