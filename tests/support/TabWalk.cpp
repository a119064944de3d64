#include "support/TabWalk.h"

#include "platform/Dataset.h"
#include "platform/ui/GridKeys.h"
#include "site/ui/TRecordGrid.h"
#include "support/PopupMenus.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAbstractSlider>
#include <QAbstractSpinBox>
#include <QApplication>
#include <QButtonGroup>
#include <QComboBox>
#include <QHash>
#include <QHeaderView>
#include <QLayout>
#include <QLineEdit>
#include <QListWidget>
#include <QMetaMethod>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QScrollBar>
#include <QTabBar>
#include <QTableWidget>
#include <QTest>
#include <QTextEdit>
#include <QTreeWidget>

#include <algorithm>
#include <memory>

namespace {

// Presses enough to go round the largest window twice.
constexpr int kMostPresses = 400;
// Pixels two controls may stand out of line and still read in order.
constexpr int kTolerance = 4;

QRect rectIn(const QWidget* w, const QWidget* window) {
    return QRect(w->mapTo(window, QPoint(0, 0)), w->size());
}

void press(bool forward) {
    QWidget* to = QApplication::focusWidget();
    if (!to) return;
    QTest::keyClick(to, forward ? Qt::Key_Tab : Qt::Key_Backtab,
                    forward ? Qt::NoModifier : Qt::ShiftModifier);
    QCoreApplication::processEvents();
}

bool takesTab(const QWidget* w) {
    const QWidget* proxy = w->focusProxy();
    return w->isVisible() && w->isEnabled() && (w->focusPolicy() & Qt::TabFocus) &&
           (!proxy || w->isAncestorOf(proxy));
}

// The first control Tab could take beyond the group, along the focus chain.
QWidget* beyondTheGroup(QWidget* from, const TabInAGroup& group, bool forward) {
    for (QWidget* w = forward ? from->nextInFocusChain() : from->previousInFocusChain();
         w && w != from; w = forward ? w->nextInFocusChain() : w->previousInFocusChain())
        if (w->window() == from->window() && !group.holds(w) && takesTab(w)) return w;
    return nullptr;
}

const TabInAGroup* groupOf(const QWidget* w, const QList<TabInAGroup>& groups) {
    for (const TabInAGroup& g : groups)
        if (g.holds(w)) return &g;
    return nullptr;
}

// A part of another control: a spin box's field, a tab bar's arrows, a grid's header.
bool partOfAControl(const QWidget* w, const QWidget* window) {
    for (const QWidget* p = w->parentWidget(); p && p != window; p = p->parentWidget())
        if (qobject_cast<const QAbstractSpinBox*>(p) || qobject_cast<const QComboBox*>(p) ||
            qobject_cast<const QTabBar*>(p) || qobject_cast<const QAbstractItemView*>(p))
            return true;
    return false;
}

bool takesInput(const QWidget* w) {
    if (qobject_cast<const QHeaderView*>(w) || qobject_cast<const QScrollBar*>(w)) return false;
    // A read-only text is an input where it takes the focus, for copying.
    const bool focusable = w->focusPolicy() != Qt::NoFocus;
    if (auto* e = qobject_cast<const QLineEdit*>(w)) return !e->isReadOnly() || focusable;
    if (auto* s = qobject_cast<const QAbstractSpinBox*>(w)) return !s->isReadOnly() || focusable;
    if (auto* t = qobject_cast<const QPlainTextEdit*>(w)) return !t->isReadOnly() || focusable;
    if (auto* t = qobject_cast<const QTextEdit*>(w)) return !t->isReadOnly() || focusable;
    if (auto* bar = qobject_cast<const QTabBar*>(w)) return bar->count() > 1;
    return qobject_cast<const QAbstractButton*>(w) || qobject_cast<const QComboBox*>(w) ||
           qobject_cast<const QAbstractItemView*>(w) || qobject_cast<const QAbstractSlider*>(w);
}

// A radio button of a group where another one is checked.
bool uncheckedInAChosenGroup(const QRadioButton* radio) {
    if (radio->isChecked() || !radio->parentWidget()) return false;
    for (const QRadioButton* other :
         radio->parentWidget()->findChildren<QRadioButton*>(Qt::FindDirectChildrenOnly))
        if (other->isChecked() && other->autoExclusive() && radio->autoExclusive()) return true;
    return radio->group() && radio->group()->checkedButton();
}

// Where a stop shows the focus: an input control; a grid stands on a cell;
// a group of radio buttons on its checked one.
QString showsNoFocus(const QWidget* w) {
    if (auto* radio = qobject_cast<const QRadioButton*>(w))
        return uncheckedInAChosenGroup(radio) ? QStringLiteral("not the checked one of its group")
                                              : QString();
    if (auto* grid = qobject_cast<const TRecordGrid*>(w))
        return grid->RowCount() > 0 && grid->CurrentRow() < 0 ? QStringLiteral("no current panel")
                                                              : QString();
    if (!takesInput(w)) return QStringLiteral("shows no focus");
    if (auto* view = qobject_cast<const QAbstractItemView*>(w))
        if (view->model() && view->model()->rowCount(view->rootIndex()) > 0 &&
            !view->currentIndex().isValid())
            return QStringLiteral("no current cell");
    return QString();
}

// The groups a control reads in: the widgets and layouts that hold it, from
// the window down to the control.
class Groups {
  public:
    explicit Groups(QWidget* window) : window_(window) {
        for (QLayout* layout : window->findChildren<QLayout*>())
            for (int i = 0; i < layout->count(); ++i)
                if (QWidget* w = layout->itemAt(i)->widget()) layoutOf_[w] = layout;
    }
    QList<QObject*> PathTo(QWidget* w) const {
        QList<QObject*> path;
        for (QObject* at = w; at && at != window_; at = holder(at)) path.prepend(at);
        return path;
    }
    QRect Rect(QObject* node) const {
        if (auto* w = qobject_cast<QWidget*>(node)) return rectIn(w, window_);
        auto* layout = static_cast<QLayout*>(node);
        const QRect g = layout->geometry();
        return QRect(layout->parentWidget()->mapTo(window_, g.topLeft()), g.size());
    }

  private:
    QObject* holder(QObject* node) const {
        if (auto* w = qobject_cast<QWidget*>(node))
            return layoutOf_.contains(w) ? static_cast<QObject*>(layoutOf_[w]) : w->parentWidget();
        auto* layout = static_cast<QLayout*>(node);
        if (auto* outer = qobject_cast<QLayout*>(layout->parent())) return outer;
        return layout->parentWidget();
    }

    QWidget* window_;
    QHash<QWidget*, QLayout*> layoutOf_;
};

// Whether the eye reads a before b: a stands above b in the same columns, or
// to the left of b on the same lines.
bool readBefore(const QRect& a, const QRect& b) {
    const int rows = qMin(a.bottom(), b.bottom()) - qMax(a.top(), b.top());
    const int columns = qMin(a.right(), b.right()) - qMax(a.left(), b.left());
    return (a.bottom() <= b.top() + kTolerance && columns > kTolerance) ||
           (a.right() <= b.left() + kTolerance && rows > kTolerance);
}

// The blocks of a group as the eye reads them: of the blocks nothing must
// precede, the topmost (then leftmost) first, again and again.
QList<int> eyeOrder(const QList<QRect>& blocks) {
    QList<int> left, order;
    for (int i = 0; i < blocks.size(); ++i) left << i;
    while (!left.isEmpty()) {
        int next = -1;
        for (int i : left) {
            const bool free = std::none_of(left.begin(), left.end(), [&](int o) {
                return o != i && readBefore(blocks[o], blocks[i]);
            });
            const auto key = [&](int k) { return std::pair(blocks[k].top(), blocks[k].left()); };
            if (free && (next < 0 || key(i) < key(next))) next = i;
        }
        if (next < 0) next = left.first();
        order << next;
        left.removeOne(next);
    }
    return order;
}

QList<QWidget*> fromTheChainStart(QWidget* origin, const QList<QWidget*>& stops) {
    for (QWidget* w = origin->nextInFocusChain(); w && w != origin; w = w->nextInFocusChain()) {
        const int at = int(stops.indexOf(w));
        if (at >= 0) return stops.mid(at) + stops.mid(0, at);
    }
    return stops;
}

// How many connections an object's signals of these names have: QObject
// tells it to the object's own class only, and this class is one.
struct Connections : QObject {
    using QObject::receivers;
};

int connectionsTo(const QObject* object, const QList<QByteArray>& signalNames) {
    int count = 0;
    const QMetaObject* meta = object->metaObject();
    for (int i = 0; i < meta->methodCount(); ++i) {
        const QMetaMethod method = meta->method(i);
        if (method.methodType() != QMetaMethod::Signal || !signalNames.contains(method.name()))
            continue;
        const QByteArray signal = QByteArray::number(QSIGNAL_CODE) + method.methodSignature();
        count += (object->*&Connections::receivers)(signal.constData());
    }
    return count;
}

// A fresh view of the Qt class the view is made of: the connections its class
// makes itself (an item widget's own signals fed by the view's).
std::unique_ptr<QAbstractItemView> plainViewLike(const QAbstractItemView* view) {
    if (qobject_cast<const QTableWidget*>(view)) return std::make_unique<QTableWidget>();
    if (qobject_cast<const QTableView*>(view)) return std::make_unique<QTableView>();
    if (qobject_cast<const QListWidget*>(view)) return std::make_unique<QListWidget>();
    if (qobject_cast<const QTreeWidget*>(view)) return std::make_unique<QTreeWidget>();
    if (qobject_cast<const QTreeView*>(view)) return std::make_unique<QTreeView>();
    return std::make_unique<QListView>();
}

// The headers of a table, a tree's one.
QList<const QHeaderView*> headersOf(const QAbstractItemView* view) {
    if (auto* table = qobject_cast<const QTableView*>(view))
        return {table->horizontalHeader(), table->verticalHeader()};
    if (auto* tree = qobject_cast<const QTreeView*>(view)) return {tree->header()};
    return {};
}

// "DatasetGrid FMainVesk/FrKeys1/DBGrid2": the control by the names of its
// window and what holds it there (Qt's own parts left out), the same however
// it is laid out.
QString namedInItsWindow(const QWidget* w) {
    QStringList names;
    for (const QWidget* at = w; at; at = at->parentWidget())
        if (!at->objectName().isEmpty() && !at->objectName().startsWith(QLatin1String("qt_")))
            names.prepend(at->objectName());
    return QString::fromLatin1(w->metaObject()->className()) + QLatin1Char(' ') +
           names.join(QLatin1Char('/'));
}

// A grid's click: the signals that carry it, on the view or its headers, the
// keys given to it, and what no key for it is called.
struct ClickSignals {
    GridClick click;
    QList<QByteArray> names;
    bool onTheHeaders;
    QList<QKeyCombination> (*keys)(const QAbstractItemView*);
    const char* unkeyed;
};

const ClickSignals kClickSignals[] = {
    {GridClick::Cell,
     {"clicked", "pressed", "itemClicked", "itemPressed", "cellClicked", "cellPressed"},
     false,
     GridKeys::ClickKeys,
     "a click on a cell"},
    {GridClick::DoubleCell,
     {"doubleClicked", "itemDoubleClicked", "cellDoubleClicked"},
     false,
     GridKeys::DoubleClickKeys,
     "a double click on a cell"},
    {GridClick::Title,
     {"sectionClicked", "sectionPressed", "sectionDoubleClicked"},
     true,
     GridKeys::TitleClickKeys,
     "a click on a column's title"},
};

int clickConnections(const QAbstractItemView* view, const ClickSignals& click) {
    if (!click.onTheHeaders) return connectionsTo(view, click.names);
    int count = 0;
    for (const QHeaderView* header : headersOf(view)) count += connectionsTo(header, click.names);
    return count;
}

}  // namespace

QString Describe(const QWidget* w) {
    if (!w) return QStringLiteral("<nothing>");
    const QRect r = rectIn(w, w->window());
    const auto* button = qobject_cast<const QAbstractButton*>(w);
    return QStringLiteral("%1 %2 '%3' at (%4,%5)")
        .arg(QString::fromLatin1(w->metaObject()->className()), w->objectName(),
             button ? button->text() : QString())
        .arg(r.x())
        .arg(r.y());
}

TabWalk WalkWithTab(QWidget* window, bool forward, const QList<TabInAGroup>& groups) {
    TabWalk walk;
    QWidget* start = QApplication::focusWidget();
    if (!start || start->window() != window) {
        walk.faults << QStringLiteral("nothing in the window has the focus");
        return walk;
    }
    const QString key = forward ? QStringLiteral("Tab") : QStringLiteral("Shift+Tab");
    const auto reach = [&walk](QWidget* w) {
        walk.stops << w;
        if (const QString why = showsNoFocus(w); !why.isEmpty())
            walk.faults << Describe(w) + QStringLiteral(": ") + why;
    };
    reach(start);
    QWidget* at = start;
    for (int i = 0; i < kMostPresses; ++i) {
        press(forward);
        QWidget* next = QApplication::focusWidget();
        if (!next || next->window() != window) {
            walk.faults << key + QStringLiteral(" left the window from ") + Describe(at);
            return walk;
        }
        if (next == at) {
            walk.faults << QStringLiteral("trap: ") + Describe(at) +
                               QStringLiteral(" keeps the focus");
            return walk;
        }
        if (const TabInAGroup* group = groupOf(next, groups)) {
            reach(next);
            press(forward);
            if (!group->holds(QApplication::focusWidget()))
                walk.faults << group->rule + QStringLiteral(": ") + key +
                                   QStringLiteral(" left the group for ") +
                                   Describe(QApplication::focusWidget());
            next = beyondTheGroup(next, *group, forward);
            if (!next) return walk;
            next->setFocus(forward ? Qt::TabFocusReason : Qt::BacktabFocusReason);
            next = QApplication::focusWidget();
        }
        if (next == start) return walk;
        if (walk.stops.contains(next)) {
            walk.faults << QStringLiteral("the walk runs round at ") + Describe(next) +
                               QStringLiteral(" and never comes back to ") + Describe(start);
            return walk;
        }
        reach(next);
        at = next;
    }
    walk.faults << QStringLiteral("no way back to ") + Describe(start);
    return walk;
}

QList<QWidget*> ControlsForTheKeyboard(QWidget* window, const QList<LeftOut>& leftOut) {
    QList<QWidget*> controls;
    for (QWidget* w : window->findChildren<QWidget*>()) {
        if (!w->isVisible() || !w->isEnabled() || w->isWindow() || !takesInput(w) ||
            partOfAControl(w, window))
            continue;
        const bool out = std::any_of(leftOut.begin(), leftOut.end(),
                                     [w](const LeftOut& l) { return l.matches(w); });
        if (!out) controls << w;
    }
    return controls;
}

bool Reached(const QList<QWidget*>& stops, const QWidget* w) {
    if (stops.contains(w)) return true;
    auto* radio = qobject_cast<const QRadioButton*>(w);
    if (!radio || !radio->parentWidget()) return false;
    for (const QWidget* stop : stops)
        if (auto* other = qobject_cast<const QRadioButton*>(stop))
            if ((radio->group() && radio->group() == other->group()) ||
                (radio->autoExclusive() && other->parentWidget() == radio->parentWidget()))
                return true;
    return false;
}

QStringList MenusOnlyAClickOpens(const QList<QWidget*>& stops) {
    const struct {
        const char* name;
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
    } keys[] = {{"Shift+F10", Qt::Key_F10, Qt::ShiftModifier}, {"the Menu key", Qt::Key_Menu, {}}};
    QStringList faults;
    for (QWidget* stop : stops) {
        auto* grid = qobject_cast<QAbstractItemView*>(stop);
        if (!grid || !grid->isVisible() || !grid->isEnabled()) continue;
        if (!GiveTheFocusBack(grid)) continue;
        if (!MenuShownBy([grid] { RightClickTheCurrentCell(grid); })) continue;
        for (const auto& key : keys) {
            if (!GiveTheFocusBack(grid)) {
                faults << Describe(grid) + QStringLiteral(": the focus does not come back");
                break;
            }
            const bool shown =
                MenuShownBy([&key] {
                    QTest::keyClick(QApplication::focusWidget(), key.key, key.modifiers);
                }).has_value();
            if (!shown)
                faults << Describe(grid) + QStringLiteral(": a right click opens its menu, ") +
                              QLatin1String(key.name) + QStringLiteral(" does not");
        }
        GiveTheFocusBack(grid);
    }
    return faults;
}

QStringList ClicksNoKeyGives(QWidget* window, const QList<ClickLeftOut>& leftOut) {
    QStringList faults;
    for (const QAbstractItemView* view : window->findChildren<QAbstractItemView*>()) {
        if (qobject_cast<const QHeaderView*>(view)) continue;
        const std::unique_ptr<QAbstractItemView> plain = plainViewLike(view);
        for (const ClickSignals& click : kClickSignals) {
            const bool unkeyed =
                clickConnections(view, click) > clickConnections(plain.get(), click) &&
                                 click.keys(view).isEmpty();
            const bool onPurpose =
                std::any_of(leftOut.begin(), leftOut.end(), [&](const ClickLeftOut& l) {
                    return l.click == click.click && l.control.matches(view);
                });
            if (unkeyed && !onPurpose)
                faults << namedInItsWindow(view) + QStringLiteral(": ") +
                              QLatin1String(click.unkeyed) +
                              QStringLiteral(" runs a command no key runs");
        }
    }
    return faults;
}

QStringList OutOfReadingOrder(QWidget* window, QWidget* origin, const QList<QWidget*>& stops) {
    const Groups groups(window);
    // Each group's blocks in the order Tab enters them, with the stop it enters by.
    QHash<QObject*, QList<QObject*>> entered;
    QHash<QObject*, QWidget*> entry;
    QStringList faults;
    QHash<QObject*, QObject*> lastBlock;
    for (QWidget* stop : fromTheChainStart(origin, stops)) {
        const QList<QObject*> path = groups.PathTo(stop);
        QObject* group = window;
        for (QObject* block : path) {
            QList<QObject*>& blocks = entered[group];
            if (lastBlock.value(group) != block) {
                if (blocks.contains(block))
                    faults << QStringLiteral("Tab comes back into the group of ") +
                                  Describe(entry[block]) + QStringLiteral(" at ") + Describe(stop);
                else
                    blocks << block;
                lastBlock[group] = block;
            }
            if (!entry.contains(block)) entry[block] = stop;
            group = block;
        }
    }
    for (auto it = entered.cbegin(); it != entered.cend(); ++it) {
        const QList<QObject*>& blocks = it.value();
        QList<QRect> rects;
        for (QObject* b : blocks) rects << groups.Rect(b);
        const QList<int> eye = eyeOrder(rects);
        for (int i = 0; i < eye.size(); ++i)
            if (eye[i] != i) {
                faults << QStringLiteral("Tab reads ") + Describe(entry[blocks[i]]) +
                              QStringLiteral(" where the eye reads ") +
                              Describe(entry[blocks[eye[i]]]);
                break;
            }
    }
    return faults;
}
