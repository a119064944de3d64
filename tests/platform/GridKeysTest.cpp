// The keyboard every grid and list keeps, over each kind of view the forms
// make: Tab leaves it, from a cell being edited too, and a grid reached by
// Tab stands on a cell.

#include "platform/ui/GridKeys.h"
#include "support/PopupMenus.h"

#include <gtest/gtest.h>
#include <QApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QStandardItemModel>
#include <QTableView>
#include <QTableWidget>
#include <QTest>

#include <functional>
#include <memory>
#include <optional>

namespace GridKeysTestUnit {
namespace {

// A view between two buttons; its first row is a fixed title row, as the
// editor's grids have.
struct GridWindow {
    explicit GridWindow(QAbstractItemView* grid) : view(grid) {
        auto* layout = new QHBoxLayout(&window);
        // Made in the order of the focus chain.
        before = new QPushButton(QStringLiteral("до"), &window);
        view->setParent(&window);
        after = new QPushButton(QStringLiteral("после"), &window);
        layout->addWidget(before);
        layout->addWidget(view);
        layout->addWidget(after);
        window.show();
        window.activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&window));
    }
    static void Press(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QTest::keyClick(QApplication::focusWidget(), key, modifiers);
    }

    QWidget window;
    QAbstractItemView* view;
    QPushButton* before = nullptr;
    QPushButton* after = nullptr;
};

Qt::ItemFlags titleFlags() {
    return Qt::ItemIsEnabled;
}

QAbstractItemView* tableWidget() {
    auto* grid = new KeyboardGrid<QTableWidget>(3, 3);
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 3; ++c) grid->setItem(r, c, new QTableWidgetItem);
    for (int c = 0; c < 3; ++c) grid->item(0, c)->setFlags(titleFlags());
    return grid;
}

QAbstractItemView* tableView() {
    auto* grid = new KeyboardGrid<QTableView>;
    auto* model = new QStandardItemModel(3, 3, grid);
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 3; ++c) model->setItem(r, c, new QStandardItem);
    for (int c = 0; c < 3; ++c) model->item(0, c)->setFlags(titleFlags());
    grid->setModel(model);
    return grid;
}

QAbstractItemView* listWidget() {
    auto* list = new KeyboardGrid<QListWidget>;
    list->addItems({QStringLiteral("заголовок"), QStringLiteral("1"), QStringLiteral("2")});
    list->item(0)->setFlags(titleFlags());
    return list;
}

struct ViewKind {
    const char* name;
    std::function<QAbstractItemView*()> make;
    bool editable;
};

const ViewKind kViews[] = {
    {"table widget", tableWidget, true},
    {"table view", tableView, true},
    {"list widget", listWidget, false},
};

TEST(GridKeys, TabLeavesEveryKindOfGridAndTheArrowsMoveWithin) {
    for (const ViewKind& kind : kViews) {
        SCOPED_TRACE(kind.name);
        GridWindow w(kind.make());
        w.before->setFocus(Qt::TabFocusReason);
        GridWindow::Press(Qt::Key_Tab);
        ASSERT_EQ(w.view, QApplication::focusWidget());
        // Reached by Tab, it stands on its first cell the operator can work in.
        EXPECT_EQ(1, w.view->currentIndex().row());
        EXPECT_EQ(0, w.view->currentIndex().column());
        GridWindow::Press(Qt::Key_Down);
        EXPECT_EQ(2, w.view->currentIndex().row());
        GridWindow::Press(Qt::Key_Tab);
        EXPECT_EQ(w.after, QApplication::focusWidget());
        GridWindow::Press(Qt::Key_Backtab, Qt::ShiftModifier);
        EXPECT_EQ(w.view, QApplication::focusWidget());
        EXPECT_EQ(2, w.view->currentIndex().row()) << "the grid keeps its cell";
        GridWindow::Press(Qt::Key_Backtab, Qt::ShiftModifier);
        EXPECT_EQ(w.before, QApplication::focusWidget());
    }
}

TEST(GridKeys, TabInACellBeingEditedStoresItAndLeavesTheGrid) {
    for (const ViewKind& kind : kViews) {
        if (!kind.editable) continue;
        for (const auto& [key, modifiers, expected] : {std::tuple{Qt::Key_Tab, Qt::NoModifier, 1},
                                                       {Qt::Key_Backtab, Qt::ShiftModifier, -1}}) {
            SCOPED_TRACE(std::string(kind.name) + (expected > 0 ? " Tab" : " Shift+Tab"));
            GridWindow w(kind.make());
            w.view->setFocus(Qt::TabFocusReason);
            const QModelIndex cell = w.view->currentIndex();
            GridWindow::Press(Qt::Key_7);
            ASSERT_NE(w.view, QApplication::focusWidget()) << "typing opens the cell's editor";
            GridWindow::Press(key, modifiers);
            EXPECT_EQ(expected > 0 ? w.after : w.before, QApplication::focusWidget());
            EXPECT_EQ(QStringLiteral("7"), cell.data().toString());
            EXPECT_EQ(cell, w.view->currentIndex());
        }
    }
}

// Shift+F10 and the Menu key open a grid's popup menu at its current cell,
// a menu of the grid's own actions and one the form shows itself alike, also
// from a cell being edited.
TEST(GridKeys, ShiftF10AndTheMenuKeyOpenTheGridsMenuAtItsCell) {
    const struct {
        const char* key;
        Qt::Key code;
        Qt::KeyboardModifiers modifiers;
    } keys[] = {{"Shift+F10", Qt::Key_F10, Qt::ShiftModifier}, {"Menu", Qt::Key_Menu, {}}};
    for (const ViewKind& kind : kViews)
        for (const Qt::ContextMenuPolicy policy : {Qt::ActionsContextMenu, Qt::CustomContextMenu})
            for (const auto& key : keys)
                for (const bool editing : {false, true}) {
                    if (editing && !kind.editable) continue;
                    SCOPED_TRACE(std::string(kind.name) + ", " + key.key +
                                 (policy == Qt::ActionsContextMenu ? ", actions" : ", own menu") +
                                 (editing ? ", editing" : ""));
                    GridWindow w(kind.make());
                    QMenu own;
                    own.addAction(QStringLiteral("Команда"));
                    w.view->addAction(new QAction(QStringLiteral("Команда"), w.view));
                    w.view->setContextMenuPolicy(policy);
                    QObject::connect(
                        w.view, &QWidget::customContextMenuRequested, &own,
                        [&](const QPoint& at) { own.popup(w.view->viewport()->mapToGlobal(at)); });
                    w.view->setFocus(Qt::TabFocusReason);
                    GridWindow::Press(Qt::Key_Down);
                    if (editing) GridWindow::Press(Qt::Key_7);
                    const QPoint cell = w.view->viewport()->mapToGlobal(
                        w.view->visualRect(w.view->currentIndex()).center());
                    const std::optional<QPoint> shown =
                        MenuShownBy([&] { GridWindow::Press(key.code, key.modifiers); });
                    ASSERT_TRUE(shown.has_value());
                    EXPECT_EQ(cell, *shown);
                }
}

// Keys given to a click or a double click make the view emit it for its
// current cell, so that every command on it runs, an item widget's own
// signal's too; only while `when` holds, and other keys stay the view's.
// A view given keys for both keeps each click to its own keys.
TEST(GridKeys, KeysGivenToAClickGiveItOnTheCurrentCell) {
    using Keys = QList<QKeyCombination>;
    const struct {
        const char* name;
        void (*give)(QAbstractItemView*, const Keys&, std::function<bool()>);
        Keys (*given)(const QAbstractItemView*);
        void (QAbstractItemView::*viewSignal)(const QModelIndex&);
        void (QListWidget::*listSignal)(QListWidgetItem*);
        void (QTableWidget::*tableSignal)(int, int);
    } clicks[] = {
        {"double click", GridKeys::DoubleClickBy, GridKeys::DoubleClickKeys,
         &QAbstractItemView::doubleClicked, &QListWidget::itemDoubleClicked,
         &QTableWidget::cellDoubleClicked},
        {"click", GridKeys::ClickBy, GridKeys::ClickKeys, &QAbstractItemView::clicked,
         &QListWidget::itemClicked, &QTableWidget::cellClicked},
    };
    for (const ViewKind& kind : kViews)
        for (const auto& click : clicks) {
            SCOPED_TRACE(std::string(kind.name) + ", " + click.name);
            GridWindow w(kind.make());
            bool allowed = true;
            click.give(w.view, GridKeys::kEnter, [&allowed] { return allowed; });
            // The other click's key stays its own.
            const auto& other = click.give == GridKeys::ClickBy ? clicks[0] : clicks[1];
            other.give(w.view, {Qt::Key_F9}, {});
            QList<QModelIndex> clicked;
            int itemClicks = 0;
            QObject::connect(w.view, click.viewSignal,
                             [&clicked](const QModelIndex& cell) { clicked << cell; });
            if (auto* list = qobject_cast<QListWidget*>(w.view))
                QObject::connect(list, click.listSignal, [&itemClicks] { ++itemClicks; });
            if (auto* table = qobject_cast<QTableWidget*>(w.view))
                QObject::connect(table, click.tableSignal, [&itemClicks] { ++itemClicks; });
            w.view->setFocus(Qt::TabFocusReason);
            GridWindow::Press(Qt::Key_Down);
            const QModelIndex cell = w.view->currentIndex();
            GridWindow::Press(Qt::Key_Return);
            GridWindow::Press(Qt::Key_Enter, Qt::KeypadModifier);
            GridWindow::Press(Qt::Key_F9);
            EXPECT_EQ((QList<QModelIndex>{cell, cell}), clicked);
            EXPECT_EQ(std::string(kind.name) == "table view" ? 0 : 2, itemClicks);
            GridWindow::Press(Qt::Key_Return, Qt::ControlModifier);
            allowed = false;
            GridWindow::Press(Qt::Key_Return);
            EXPECT_EQ(2, clicked.size());
            EXPECT_EQ(GridKeys::kEnter, click.given(w.view));
            EXPECT_TRUE(GridKeys::TitleClickKeys(w.view).isEmpty());
        }
}

namespace {

// Whether a line in the text colour runs along the top of the cell.
bool Framed(QAbstractItemView* view, const QModelIndex& cell) {
    const QImage shot = view->grab().toImage();
    const QRect place = view->visualRect(cell).translated(view->viewport()->pos());
    const QColor text = view->palette().color(QPalette::Text);
    for (int x = place.left() + 2; x < place.right() - 2; ++x)
        if (shot.pixelColor(int(x * shot.devicePixelRatio()),
                            int(place.top() * shot.devicePixelRatio())) != text)
            return false;
    return true;
}

}  // namespace

// A key given to a title click clicks the title of the current cell's column.
// Where whole rows are marked, a frame shows the cell it stands on while the
// grid has the focus.
TEST(GridKeys, AKeyGivenToATitleClickClicksTheCurrentColumnsTitle) {
    auto* table = static_cast<QTableView*>(tableView());
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    GridWindow w(table);
    // Room for every column: no cell scrolls out of sight.
    w.window.resize(w.window.sizeHint() + QSize(table->horizontalHeader()->length(), 0));
    QCoreApplication::processEvents();
    EXPECT_TRUE(GridKeys::TitleClickKeys(table).isEmpty());
    GridKeys::TitleClickBy(table, {Qt::Key_F3});
    QList<int> titles;
    QObject::connect(table->horizontalHeader(), &QHeaderView::sectionClicked,
                     [&titles](int column) { titles << column; });
    table->setFocus(Qt::TabFocusReason);
    const QModelIndex first = table->currentIndex();
    EXPECT_TRUE(Framed(table, first));
    GridWindow::Press(Qt::Key_F3);
    GridWindow::Press(Qt::Key_Right);
    GridWindow::Press(Qt::Key_Right);
    EXPECT_FALSE(Framed(table, first));
    EXPECT_TRUE(Framed(table, table->currentIndex()));
    GridWindow::Press(Qt::Key_F3);
    GridWindow::Press(Qt::Key_F3, Qt::ShiftModifier);
    EXPECT_EQ((QList<int>{0, 2}), titles);
    GridWindow::Press(Qt::Key_Tab);
    EXPECT_FALSE(Framed(table, table->currentIndex())) << "without the focus";
    EXPECT_EQ(QList<QKeyCombination>{Qt::Key_F3}, GridKeys::TitleClickKeys(table));
    EXPECT_TRUE(GridKeys::DoubleClickKeys(table).isEmpty());
}
}  // namespace
}  // namespace GridKeysTestUnit
