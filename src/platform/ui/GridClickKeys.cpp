#include "platform/ui/GridKeys.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QPainter>
#include <QTableView>

namespace {

// Keys given to a click: which ones, and when they give it.
struct ClickRoad {
    QList<QKeyCombination> keys;
    std::function<bool()> when;

    bool Takes(const QKeyEvent* key) const {
        const QKeyCombination pressed(key->modifiers() & ~Qt::KeypadModifier, Qt::Key(key->key()));
        return keys.contains(pressed) && (!when || when());
    }
};

// The cell a title's key works on, where the view marks whole rows: a frame
// round the current cell while the view has the focus and the key works, so
// that the column it sorts by is seen. It lies over the cells and lets the
// mouse through.
class ColumnMark : public QWidget {
  public:
    ColumnMark(QAbstractItemView* view, const ClickRoad& road)
        : QWidget(view), view_(view), road_(road) {
        setAttribute(Qt::WA_TransparentForMouseEvents);
        setFocusPolicy(Qt::NoFocus);
        Follow();
        show();
    }
    // Over the cells again, after the view or its cells' place changed.
    void Follow() {
        setGeometry(view_->viewport()->geometry());
        raise();
        update();
    }

  protected:
    void paintEvent(QPaintEvent*) override {
        const bool rowsMarked = view_->selectionBehavior() == QAbstractItemView::SelectRows;
        if (!view_->hasFocus() || !rowsMarked || (road_.when && !road_.when())) return;
        const QRect cell = view_->visualRect(view_->currentIndex());
        if (cell.isEmpty()) return;
        QPainter painter(this);
        painter.setPen(QPen(palette().color(QPalette::Text), kWidth));
        const qreal inset = kWidth / 2.0;
        painter.drawRect(QRectF(cell).adjusted(inset, inset, -inset, -inset));
    }

  private:
    static constexpr int kWidth = 2;
    QAbstractItemView* view_;
    const ClickRoad& road_;
};

// The keys a view's double click, its click and its titles' click are given,
// and their work: the view (or its header) emits the click's signal for the
// current cell.
class ClickRoads : public QObject {
  public:
    static constexpr const char* kName = "GridClickKeys";

    explicit ClickRoads(QAbstractItemView* view) : QObject(view), view_(view) {
        setObjectName(QLatin1String(kName));
        view->installEventFilter(this);
        view->viewport()->installEventFilter(this);
    }
    static ClickRoads* Of(const QAbstractItemView* view) {
        return dynamic_cast<ClickRoads*>(
            view->findChild<QObject*>(QLatin1String(kName), Qt::FindDirectChildrenOnly));
    }
    static ClickRoads* MadeFor(QAbstractItemView* view) {
        ClickRoads* roads = Of(view);
        return roads ? roads : new ClickRoads(view);
    }

    ClickRoad doubleClick;
    ClickRoad click;
    ClickRoad titleClick;

    void MarkTheColumn() {
        if (!mark_) mark_ = new ColumnMark(view_, titleClick);
    }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (mark_ && (event->type() == QEvent::Resize || event->type() == QEvent::FocusIn ||
                      event->type() == QEvent::FocusOut))
            mark_->Follow();
        if (watched != view_ || event->type() != QEvent::KeyPress) return false;
        const auto* key = static_cast<QKeyEvent*>(event);
        const QModelIndex cell = view_->currentIndex();
        if (!cell.isValid()) return false;
        if (doubleClick.Takes(key)) {
            emit view_->doubleClicked(cell);
            return true;
        }
        if (click.Takes(key)) {
            emit view_->clicked(cell);
            return true;
        }
        auto* table = qobject_cast<QTableView*>(view_);
        if (table && titleClick.Takes(key)) {
            emit table->horizontalHeader()->sectionClicked(cell.column());
            return true;
        }
        return false;
    }

  private:
    QAbstractItemView* view_;
    ColumnMark* mark_ = nullptr;
};

QList<QKeyCombination> keysOf(const QAbstractItemView* view, ClickRoad ClickRoads::*road) {
    const ClickRoads* roads = ClickRoads::Of(view);
    return roads ? (roads->*road).keys : QList<QKeyCombination>();
}

}  // namespace

namespace GridKeys {

void DoubleClickBy(QAbstractItemView* view, const QList<QKeyCombination>& keys,
                   std::function<bool()> when) {
    ClickRoads::MadeFor(view)->doubleClick = {keys, std::move(when)};
}

void ClickBy(QAbstractItemView* view, const QList<QKeyCombination>& keys,
             std::function<bool()> when) {
    ClickRoads::MadeFor(view)->click = {keys, std::move(when)};
}

void TitleClickBy(QTableView* view, const QList<QKeyCombination>& keys,
                  std::function<bool()> when) {
    ClickRoads* made = ClickRoads::MadeFor(view);
    made->titleClick = {keys, std::move(when)};
    made->MarkTheColumn();
}

QList<QKeyCombination> DoubleClickKeys(const QAbstractItemView* view) {
    return keysOf(view, &ClickRoads::doubleClick);
}

QList<QKeyCombination> ClickKeys(const QAbstractItemView* view) {
    return keysOf(view, &ClickRoads::click);
}

QList<QKeyCombination> TitleClickKeys(const QAbstractItemView* view) {
    return keysOf(view, &ClickRoads::titleClick);
}

}  // namespace GridKeys
