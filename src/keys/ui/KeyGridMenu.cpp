#include "keys/ui/KeyGridMenu.h"

#include "platform/Dialogs.h"
#include "platform/TextClipboard.h"
#include "platform/ui/EnterKey.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QStyledItemDelegate>
#include <QTableWidget>

namespace {

bool isSection(KeyGrid grid) {
    return grid == KeyGrid::Keys5 || grid == KeyGrid::Keys6 || grid == KeyGrid::Keys7;
}

// What a typed cell keeps; null for a cell the operator does not type into.
using TypingRule = QString (*)(const QString&);
TypingRule typingRule(KeyGrid grid, int row, int column) {
    if (row < 1 || !isSection(grid)) return nullptr;
    if (column == KeyGridKeyColumn(grid)) return &TypedGridKey;
    if (grid == KeyGrid::Keys6 && column == 1) return &TypedGridIndex;
    return nullptr;
}

// The cell editor of a section grid: the typing rule runs at every change,
// as the operator types.
class KeyCellDelegate : public QStyledItemDelegate {
  public:
    KeyCellDelegate(KeyGrid grid, QObject* parent) : QStyledItemDelegate(parent), grid_(grid) {}

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem&,
                          const QModelIndex& index) const override {
        const TypingRule rule = typingRule(grid_, index.row(), index.column());
        if (!rule) return nullptr;
        auto* editor = new QLineEdit(parent);
        QObject::connect(editor, &QLineEdit::textEdited, editor, [editor, rule](const QString& t) {
            const QString kept = rule(t);
            if (kept != t) editor->setText(kept);
        });
        return editor;
    }

    void setModelData(QWidget* editor, QAbstractItemModel* model,
                      const QModelIndex& index) const override {
        const TypingRule rule = typingRule(grid_, index.row(), index.column());
        auto* line = qobject_cast<QLineEdit*>(editor);
        if (rule && line) model->setData(index, rule(line->text()));
    }

  private:
    KeyGrid grid_;
};

bool isMove(int key) {
    switch (key) {
        case Qt::Key_PageDown:
        case Qt::Key_End:
        case Qt::Key_Home:
        case Qt::Key_Left:
        case Qt::Key_Right:
        case Qt::Key_Up:
        case Qt::Key_Down:
            return true;
        default:
            return false;
    }
}

}  // namespace

KeyGridMenu::KeyGridMenu(const EditorKeyControls& editor, QTableWidget* keysBQ,
                         QTableWidget* keysCP, QLabel* lKeys, QWidget* parent)
    : QObject(parent), editor_(editor), keysBQ_(keysBQ), keysCP_(keysCP), lKeys_(lKeys) {
    PGrupp = new QMenu(parent);
    PGrupp->setObjectName(QStringLiteral("PGrupp"));
    auto action = [this](const char* name, const QString& text) {
        QAction* a = PGrupp->addAction(text);
        a->setObjectName(QLatin1String(name));
        return a;
    };
    NCopy = action("NCopy", QStringLiteral("Копировать"));
    NInsert = action("NInsert", QStringLiteral("Вставить"));
    NDelete = action("NDelete", QStringLiteral("Стереть"));
    N7 = PGrupp->addSeparator();
    N7->setObjectName(QStringLiteral("N7"));
    NSelAll = action("NSelAll", QStringLiteral("Выделить все"));
    NSelCan = action("NSelCan", QStringLiteral("Отменить выделение"));
    connect(NCopy, &QAction::triggered, this, &KeyGridMenu::NCopyClick);
    connect(NInsert, &QAction::triggered, this, &KeyGridMenu::NInsertClick);
    connect(NDelete, &QAction::triggered, this, &KeyGridMenu::NDeleteClick);
    connect(NSelAll, &QAction::triggered, this, &KeyGridMenu::NSelAllClick);
    connect(NSelCan, &QAction::triggered, this, &KeyGridMenu::NSelCanClick);

    attach(editor_.Keys5, KeyGrid::Keys5);
    attach(editor_.Keys6, KeyGrid::Keys6);
    attach(editor_.Keys7, KeyGrid::Keys7);
    attach(keysBQ_, KeyGrid::KeysBQ);
    attach(keysCP_, KeyGrid::KeysCP);
}

void KeyGridMenu::attach(QTableWidget* grid, KeyGrid kind) {
    if (!grid) return;
    grid->installEventFilter(this);
    grid->viewport()->installEventFilter(this);
    viewports_[int(kind)] = grid->viewport();
    grid->setSelectionMode(QAbstractItemView::ContiguousSelection);
    grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    if (isSection(kind)) grid->setItemDelegate(new KeyCellDelegate(kind, grid));
}

QTableWidget* KeyGridMenu::widget(KeyGrid grid) const {
    switch (grid) {
        case KeyGrid::Keys5:
            return editor_.Keys5;
        case KeyGrid::Keys6:
            return editor_.Keys6;
        case KeyGrid::Keys7:
            return editor_.Keys7;
        case KeyGrid::KeysBQ:
            return keysBQ_;
        case KeyGrid::KeysCP:
            return keysCP_;
        case KeyGrid::None:
            break;
    }
    return nullptr;
}

KeyGrid KeyGridMenu::kindOf(const QObject* object) const {
    for (KeyGrid grid :
         {KeyGrid::Keys5, KeyGrid::Keys6, KeyGrid::Keys7, KeyGrid::KeysBQ, KeyGrid::KeysCP}) {
        // Addresses only: while the frame is torn down the grids die one by
        // one and still send events, so none of them may be called here.
        const QObject* table = widget(grid);
        if (table && (object == table || object == viewports_[int(grid)])) return grid;
    }
    return KeyGrid::None;
}

bool KeyGridMenu::Editing(KeyGrid grid) const {
    return editing_[int(grid)];
}

void KeyGridMenu::setEditing(KeyGrid grid, bool on) {
    QTableWidget* table = widget(grid);
    if (!table || !isSection(grid)) return;
    editing_[int(grid)] = on;
    table->setEditTriggers(on ? QAbstractItemView::AnyKeyPressed | QAbstractItemView::EditKeyPressed
                              : QAbstractItemView::NoEditTriggers);
    if (on && table->currentIndex().isValid()) table->edit(table->currentIndex());
}

// ---------------------------------------------------------------- selection

bool KeyGridMenu::selectedRows(QTableWidget* grid, int& top, int& bottom) const {
    const QList<QTableWidgetSelectionRange> ranges = grid->selectedRanges();
    if (ranges.isEmpty()) return false;
    top = ranges.first().topRow();
    bottom = ranges.first().bottomRow();
    for (const QTableWidgetSelectionRange& r : ranges) {
        top = qMin(top, r.topRow());
        bottom = qMax(bottom, r.bottomRow());
    }
    return true;
}

void KeyGridMenu::clearSelection(QTableWidget* grid) {
    grid->clearSelection();
}

void KeyGridMenu::NSelAllClick() {
    QTableWidget* grid = widget(focused_);
    if (!grid) return;
    const int rows = grid->rowCount() - 1;
    const int column = KeyGridKeyColumn(focused_);
    grid->clearSelection();
    if (rows > 0) grid->setRangeSelected(QTableWidgetSelectionRange(1, column, rows, column), true);
    if (rows > 0) lKeys_->setText(QStringLiteral("Выделено ") + QString::number(rows));
}

void KeyGridMenu::NSelCanClick() {
    QTableWidget* grid = widget(focused_);
    if (!grid) return;
    lKeys_->clear();
    clearSelection(grid);
}

void KeyGridMenu::CountSelectedKeys(QTableWidget* grid) {
    lKeys_->clear();
    int top = 0, bottom = 0;
    if (selectedRows(grid, top, bottom) && bottom > top)
        lKeys_->setText(QStringLiteral("Выдел ") + QString::number(bottom - top + 1));
}

// ---------------------------------------------------------------- the lists

void KeyGridMenu::readLists(EditorKeyLists& lists) const {
    ReadSectionKeyGrids(editor_, lists);
    ReadDumpKeyGrid(keysBQ_, KeyGrid::KeysBQ, lists);
    ReadDumpKeyGrid(keysCP_, KeyGrid::KeysCP, lists);
}

void KeyGridMenu::NCopyClick() {
    lKeys_->clear();
    buffer_.clear();
    QTableWidget* grid = widget(focused_);
    int top = 0, bottom = 0;
    if (!grid || !selectedRows(grid, top, bottom) || top < 1) return;
    EditorKeyLists lists;
    readLists(lists);
    buffer_ = KeyGridClipboardText(lists, focused_, top, bottom);
    if (!buffer_.isEmpty()) Clipboard::SetText(buffer_);
    const int count = bottom - top + 1;
    // The count stays in view; only the selection goes.
    if (count > 0) lKeys_->setText(QStringLiteral("Копир ") + QString::number(count));
    clearSelection(grid);
}

void KeyGridMenu::NInsertClick() {
    if (buffer_.isEmpty()) buffer_ = Clipboard::Text();
    const QString text = buffer_;
    const GridPasteTokens probe = ParseGridPasteTokens(text);
    if (probe.tokens.isEmpty() && !probe.unrecognised) {  // too short or too long: ignored
        buffer_.clear();
        return;
    }
    QTableWidget* grid = widget(focused_);
    const int start = grid ? GridPasteStartRow(focused_, grid->currentRow(), grid->currentColumn(),
                                               grid->rowCount() - 1)
                           : 1;
    EditorKeyLists lists;
    readLists(lists);
    int placed = 0;
    if (Dialogs::AskYesNo(QStringLiteral("Добавление записей"),
                          QStringLiteral("Вставить ключи с ") + QString::number(start) +
                              QStringLiteral("-й строки с перекрытием существующих?"))) {
        lKeys_->clear();
        placed = PasteGridKeys(lists, focused_, start, probe);
        if (probe.unrecognised)
            Dialogs::Message(QStringLiteral("Ошибка"), GridPasteUnrecognisedText(), DlgButtons::Ok,
                             DlgIcon::Error);
    }
    buffer_.clear();
    // The slot counts the section encoders write follow the rows, answered
    // Yes or No.
    FollowSlotCounts(lists);
    ShowSectionKeyGrids(editor_, lists);
    if (placed > 0) lKeys_->setText(QStringLiteral("Вставл ") + QString::number(placed));
}

void KeyGridMenu::NDeleteClick() {
    QTableWidget* grid = widget(focused_);
    if (!grid) return;
    if (!Dialogs::AskYesNo(QStringLiteral("Удаление записей"),
                           QStringLiteral("Стереть выделенные ключи ?")))
        return;
    lKeys_->clear();
    int top = 0, bottom = 0;
    if (!selectedRows(grid, top, bottom)) return;
    EditorKeyLists lists;
    readLists(lists);
    const int erased = EraseGridKeys(lists, focused_, top, bottom);
    if (isSection(focused_))
        ShowSectionKeyGrids(editor_, lists);
    else
        ShowKeyGrid(grid, focused_, lists);
    if (!buffer_.isEmpty()) Clipboard::SetText(buffer_);
    lKeys_->setText(QStringLiteral("Удал ") + QString::number(erased));
}

// ---------------------------------------------------------------- events

bool KeyGridMenu::keyDown(KeyGrid grid, QTableWidget* table, int key,
                          Qt::KeyboardModifiers modifiers) {
    if (modifiers & Qt::ControlModifier) return false;
    // Tab and Shift+Tab leave the grid, and Shift+F10 and the Menu key open
    // its popup menu, as in every grid.
    if (key == Qt::Key_Tab || key == Qt::Key_Backtab || key == Qt::Key_Menu) return false;
    if (key == Qt::Key_F10 && modifiers == Qt::ShiftModifier) return false;
    switch (grid) {
        case KeyGrid::Keys5: {
            const QList<QTableWidgetSelectionRange> ranges = table->selectedRanges();
            const int right =
                ranges.isEmpty() ? table->currentColumn() : ranges.last().rightColumn();
            // Only the key column is typed into; elsewhere the keys only move.
            if (right != KeyGridKeyColumn(grid)) return !isMove(key);
            if (IsEnterKey(key)) setEditing(grid, true);
            if (key == Qt::Key_Escape) setEditing(grid, false);
            return IsEnterKey(key) || key == Qt::Key_Escape;
        }
        case KeyGrid::Keys6:
            if (IsEnterKey(key)) setEditing(grid, true);
            if (key == Qt::Key_Escape) setEditing(grid, false);
            return IsEnterKey(key) || key == Qt::Key_Escape;
        case KeyGrid::Keys7:
            if (!IsEnterKey(key)) return false;
            setEditing(grid, !Editing(grid));
            return true;
        default:
            return false;
    }
}

void KeyGridMenu::contextPopup(QTableWidget* table, KeyGrid grid, const QPoint& at) {
    int top = 0, bottom = 0;
    const bool many = selectedRows(table, top, bottom) && bottom > top;
    if (isSection(grid) && !many) {
        const QModelIndex clicked = table->indexAt(at);
        int row = table->currentRow();
        int column = table->currentColumn();
        if (clicked.isValid() && clicked.row() >= 1) row = clicked.row();
        if (clicked.isValid() && clicked.column() >= 1) column = clicked.column();
        if (row >= 1 && column >= 1) table->setCurrentCell(row, column);
    }
    table->setFocus(Qt::PopupFocusReason);
    focused_ = grid;
    PGrupp->popup(table->viewport()->mapToGlobal(at));
}

bool KeyGridMenu::eventFilter(QObject* watched, QEvent* event) {
    const KeyGrid grid = kindOf(watched);
    QTableWidget* table = widget(grid);
    if (!table) return QObject::eventFilter(watched, event);
    switch (event->type()) {
        case QEvent::FocusIn:
            focused_ = grid;
            break;
        case QEvent::FocusOut: {
            // The menu and the grid's own cell editor keep the grid the one acted on.
            const QWidget* now = QApplication::focusWidget();
            const bool kept = !now || qobject_cast<const QMenu*>(now) || table->isAncestorOf(now);
            if (!kept && focused_ == grid) focused_ = KeyGrid::None;
            break;
        }
        case QEvent::KeyPress: {
            auto* key = static_cast<QKeyEvent*>(event);
            // Keys the cell editor passes on are the editor's business.
            const bool ownKey = watched == table && QApplication::focusWidget() == table;
            if (ownKey && keyDown(grid, table, key->key(), key->modifiers())) return true;
            break;
        }
        case QEvent::MouseButtonPress:
            if (isSection(grid)) setEditing(grid, false);
            break;
        case QEvent::MouseButtonRelease:
            if (isSection(grid)) CountSelectedKeys(table);
            break;
        case QEvent::MouseButtonDblClick:
            if (isSection(grid)) {
                focused_ = grid;
                NSelCanClick();
                return true;
            }
            break;
        case QEvent::ContextMenu:
            contextPopup(table, grid, static_cast<QContextMenuEvent*>(event)->pos());
            return true;
        default:
            break;
    }
    return QObject::eventFilter(watched, event);
}
