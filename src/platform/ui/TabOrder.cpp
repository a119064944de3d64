#include "platform/ui/TabOrder.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAbstractSlider>
#include <QAbstractSpinBox>
#include <QBoxLayout>
#include <QButtonGroup>
#include <QComboBox>
#include <QEvent>
#include <QFocusEvent>
#include <QFormLayout>
#include <QGridLayout>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QScrollArea>
#include <QSet>
#include <QStackedWidget>
#include <QTabBar>
#include <QTabWidget>
#include <QTextEdit>
#include <QWidget>

#include <algorithm>

namespace {

// A control whose inner widgets are its own business: its order is its own.
bool isWholeControl(const QWidget* w) {
    return qobject_cast<const QAbstractButton*>(w) || qobject_cast<const QLineEdit*>(w) ||
           qobject_cast<const QAbstractSpinBox*>(w) || qobject_cast<const QComboBox*>(w) ||
           qobject_cast<const QAbstractItemView*>(w) || qobject_cast<const QTextEdit*>(w) ||
           qobject_cast<const QPlainTextEdit*>(w) || qobject_cast<const QTabBar*>(w) ||
           qobject_cast<const QAbstractSlider*>(w);
}

// Where an item of a layout stands: its cells in a grid (a form's row and
// role), its place in a box.
struct Placed {
    int row = 0;
    int column = 0;
    int rows = 1;
    int columns = 1;
    int index = 0;
    QLayoutItem* item = nullptr;

    bool operator<(const Placed& o) const {
        return std::tie(row, column, index) < std::tie(o.row, o.column, o.index);
    }
    // An item above in the same columns, or to the left in the same rows,
    // is read first: a pane spanning two rows comes after both panes at its left.
    bool ReadBefore(const Placed& o) const {
        const bool sameRows = row < o.row + o.rows && o.row < row + rows;
        const bool sameColumns = column < o.column + o.columns && o.column < column + columns;
        return (row + rows <= o.row && sameColumns) || (column + columns <= o.column && sameRows);
    }
};

QList<Placed> placedItems(QLayout* layout) {
    auto* grid = qobject_cast<QGridLayout*>(layout);
    auto* form = qobject_cast<QFormLayout*>(layout);
    auto* box = qobject_cast<QBoxLayout*>(layout);
    const bool reversed = box && (box->direction() == QBoxLayout::RightToLeft ||
                                  box->direction() == QBoxLayout::BottomToTop);
    QList<Placed> placed;
    for (int i = 0; i < layout->count(); ++i) {
        Placed p;
        p.index = reversed ? -i : i;
        p.item = layout->itemAt(i);
        if (grid) grid->getItemPosition(i, &p.row, &p.column, &p.rows, &p.columns);
        if (form) {
            QFormLayout::ItemRole role;
            form->getItemPosition(i, &p.row, &role);
            p.column = int(role);
        }
        placed << p;
    }
    return placed;
}

// The items of a layout in reading order: of the items no other must
// precede, the first by row and column, again and again.
QList<QLayoutItem*> itemsInReadingOrder(QLayout* layout) {
    QList<Placed> left = placedItems(layout);
    QList<QLayoutItem*> items;
    while (!left.isEmpty()) {
        int next = -1;
        for (int i = 0; i < left.size(); ++i) {
            const bool free = std::none_of(left.begin(), left.end(),
                                           [&](const Placed& o) { return o.ReadBefore(left[i]); });
            if (free && (next < 0 || left[i] < left[next])) next = i;
        }
        items << left.takeAt(qMax(next, 0)).item;
    }
    return items;
}

void addLaidOut(QLayout* layout, QList<QWidget*>* children) {
    for (QLayoutItem* item : itemsInReadingOrder(layout)) {
        if (QWidget* w = item->widget())
            children->append(w);
        else if (QLayout* inner = item->layout())
            addLaidOut(inner, children);
    }
}

// A widget whose focus goes to a part of another (a spin box's field) is
// ordered with that one. One that hands its focus to a part of its own (a tab
// widget to its tab bar) is a stop where it stands, as Tab takes it.
bool isStop(const QWidget* w) {
    if (w->focusPolicy() == Qt::NoFocus) return false;
    const QWidget* proxy = w->focusProxy();
    return !proxy || w->isAncestorOf(proxy);
}

// The controls of a window in reading order. A control goes where a layout
// puts it, even one whose parent is another widget than the layout's.
class ReadingOrder {
  public:
    explicit ReadingOrder(QWidget* root) {
        for (QLayout* layout : root->findChildren<QLayout*>())
            for (int i = 0; i < layout->count(); ++i)
                if (QWidget* w = layout->itemAt(i)->widget()) laidOut_.insert(w);
        collect(root);
    }
    const QList<QWidget*>& Stops() const { return stops_; }

  private:
    void collect(QWidget* w) {
        if (seen_.contains(w)) return;
        seen_.insert(w);
        if (isStop(w)) stops_.append(w);
        if (isWholeControl(w)) return;
        for (QWidget* child : childrenInOrder(w)) collect(child);
    }

    // What a container holds, in reading order.
    QList<QWidget*> childrenInOrder(QWidget* w) const {
        QList<QWidget*> children;
        if (auto* tabs = qobject_cast<QTabWidget*>(w)) {
            children << tabs->tabBar();
            for (int i = 0; i < tabs->count(); ++i) children << tabs->widget(i);
            return children;
        }
        if (auto* stack = qobject_cast<QStackedWidget*>(w)) {
            for (int i = 0; i < stack->count(); ++i) children << stack->widget(i);
            return children;
        }
        if (auto* area = qobject_cast<QScrollArea*>(w)) {
            if (area->widget()) children << area->widget();
            return children;
        }
        if (w->layout()) addLaidOut(w->layout(), &children);
        return children + placedByHand(w);
    }

    QList<QWidget*> placedByHand(QWidget* w) const {
        QList<QWidget*> placed;
        for (QObject* o : w->children()) {
            auto* child = qobject_cast<QWidget*>(o);
            if (child && !child->isWindow() && !laidOut_.contains(child)) placed << child;
        }
        std::stable_sort(placed.begin(), placed.end(), [](QWidget* a, QWidget* b) {
            return std::pair(a->y(), a->x()) < std::pair(b->y(), b->x());
        });
        return placed;
    }

    QSet<QWidget*> laidOut_;
    QSet<QWidget*> seen_;
    QList<QWidget*> stops_;
};

// The checked button of an exclusive group when radio is not the one, else nullptr.
QRadioButton* checkedInGroup(QRadioButton* radio) {
    if (!radio || radio->isChecked() || !radio->parentWidget()) return nullptr;
    QList<QRadioButton*> group;
    if (radio->group() && radio->group()->exclusive()) {
        for (QAbstractButton* b : radio->group()->buttons())
            if (auto* r = qobject_cast<QRadioButton*>(b)) group << r;
    } else if (radio->autoExclusive()) {
        group = radio->parentWidget()->findChildren<QRadioButton*>(Qt::FindDirectChildrenOnly);
    }
    for (QRadioButton* r : group)
        if (r->isChecked() && r->autoExclusive() == radio->autoExclusive() && r->isVisible() &&
            r->isEnabled())
            return r;
    return nullptr;
}

}  // namespace

namespace TabOrder {

void FollowLayouts(QWidget* root) {
    const QList<QWidget*> stops = ReadingOrder(root).Stops();
    // The stops follow the root itself, so that a window shown gives the focus
    // to its first one. Qt chains no widget that takes no focus: the root
    // takes it for the moment.
    const Qt::FocusPolicy own = root->focusPolicy();
    if (own == Qt::NoFocus) root->setFocusPolicy(Qt::TabFocus);
    QWidget* previous = root;
    for (QWidget* stop : stops) {
        if (stop != root) QWidget::setTabOrder(previous, stop);
        previous = stop;
    }
    root->setFocusPolicy(own);
}

bool Keeper::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Show) {
        auto* window = qobject_cast<QWidget*>(watched);
        if (window && window->isWindow() && window->metaObject()->className()[0] != 'Q')
            FollowLayouts(window);
    } else if (event->type() == QEvent::FocusIn) {
        const auto reason = static_cast<QFocusEvent*>(event)->reason();
        if (reason == Qt::TabFocusReason || reason == Qt::BacktabFocusReason)
            if (QRadioButton* checked = checkedInGroup(qobject_cast<QRadioButton*>(watched))) {
                checked->setFocus(reason);
                return true;  // the button passed over does not become the group's stop
            }
    }
    return false;
}

}  // namespace TabOrder
