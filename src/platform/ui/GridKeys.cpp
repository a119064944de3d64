#include "platform/ui/GridKeys.h"

#include <QAbstractItemView>
#include <QContextMenuEvent>
#include <QCoreApplication>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QListView>
#include <QPainter>
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

// The first shown cell with all the flags asked for.
QModelIndex firstCellWith(const QAbstractItemView* view, Qt::ItemFlags flags) {
    const QAbstractItemModel* model = view->model();
    const QModelIndex root = view->rootIndex();
    const int rows = qMin(model->rowCount(root), kRowsLooked);
    const int columns = model->columnCount(root);
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < columns; ++c) {
            const QModelIndex index = model->index(r, c, root);
            if ((index.flags() & flags) == flags && cellShown(view, index)) return index;
        }
    return {};
}

// The first cell the operator can stand on: enabled and selectable (a grid's
// fixed title cells are neither); in a list of locked items the first one,
// where the focus shows.
QModelIndex firstCell(const QAbstractItemView* view) {
    const QModelIndex workable = firstCellWith(view, Qt::ItemIsEnabled | Qt::ItemIsSelectable);
    return workable.isValid() ? workable : firstCellWith(view, Qt::NoItemFlags);
}

// The ring round a grid that has the focus: the style draws the same frame
// round a grid with the focus as without, and an empty grid has no cell to
// frame. It lies over the grid's edge and lets the mouse through.
class FocusRing : public QWidget {
  public:
    explicit FocusRing(QWidget* view) : QWidget(view) {
        setAttribute(Qt::WA_TransparentForMouseEvents);
        setFocusPolicy(Qt::NoFocus);
        hide();
    }

  protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.setPen(QPen(palette().color(QPalette::Highlight), kRingWidth));
        const qreal inset = kRingWidth / 2.0;
        painter.drawRect(QRectF(rect()).adjusted(inset, inset, -inset, -inset));
    }

  private:
    static constexpr int kRingWidth = 2;
};

// Shift+F10 and the Menu key ask for the grid's popup menu, as a right
// click does.
bool isMenuKey(const QKeyEvent* key) {
    return key->key() == Qt::Key_Menu ||
           (key->key() == Qt::Key_F10 && key->modifiers() == Qt::ShiftModifier);
}

// The popup menu asked for from the keyboard, at the current cell: the
// request the desktop makes for the Menu key, where it makes one (a grid
// without a menu lets it go).
void askForMenu(QAbstractItemView* view) {
    const QRect cell = view->visualRect(view->currentIndex());
    const QPoint at = cell.isValid() ? cell.center() : QPoint(0, 0);
    QContextMenuEvent request(QContextMenuEvent::Keyboard, at, view->viewport()->mapToGlobal(at));
    QCoreApplication::sendEvent(view, &request);
}

// A grid with the focus is ringed; taking the focus from the keyboard, it
// stands on a cell (a click chooses its own). Its popup menu opens from the
// keyboard too.
class GridFocus : public QObject {
  public:
    explicit GridFocus(QAbstractItemView* view)
        : QObject(view), view_(view), ring_(new FocusRing(view)) {}

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched != view_) return false;
        switch (event->type()) {
            case QEvent::FocusIn:
                if (static_cast<QFocusEvent*>(event)->reason() != Qt::MouseFocusReason)
                    giveCurrentCell();
                ring_->setGeometry(view_->rect());
                ring_->raise();
                ring_->show();
                break;
            case QEvent::FocusOut:
                ring_->hide();
                break;
            case QEvent::Resize:
                ring_->setGeometry(view_->rect());
                break;
            case QEvent::KeyPress:
                if (!isMenuKey(static_cast<QKeyEvent*>(event))) break;
                askForMenu(view_);
                return true;
            default:
                break;
        }
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
    FocusRing* ring_;
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
