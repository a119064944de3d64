#include "config/ui/EditorGrid.h"

#include <QApplication>
#include <QHeaderView>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPalette>
#include <QRegularExpressionValidator>
#include <QScrollBar>
#include <QStyledItemDelegate>
#include <QTimer>

namespace {
constexpr int kCodeLength = 5;
}  // namespace

// The cell editor of a grid: its typing rule.
class EditorCellDelegate : public QStyledItemDelegate {
  public:
    explicit EditorCellDelegate(EditorGrid* grid) : QStyledItemDelegate(grid), grid_(grid) {}

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem&,
                          const QModelIndex& index) const override {
        auto* edit = new QLineEdit(parent);
        switch (grid_->InputAt(index.row())) {
            case EditorGrid::Input::Mask:
            case EditorGrid::Input::LastChar:
                edit->setValidator(validator(QStringLiteral("[01]*"), edit));
                break;
            case EditorGrid::Input::Number:
                edit->setValidator(validator(QStringLiteral("[0-9.]*"), edit));
                break;
            case EditorGrid::Input::Code5:
                connect(edit, &QLineEdit::textEdited, edit, [this, edit](const QString& text) {
                    if (text.size() <= kCodeLength) return;
                    const QString rest = text.mid(kCodeLength);
                    edit->setText(text.left(kCodeLength));
                    QTimer::singleShot(0, grid_,
                                       [grid = grid_, rest] { grid->continueInNextCell(rest); });
                });
                break;
            default:
                break;
        }
        return edit;
    }

    void setModelData(QWidget* editor, QAbstractItemModel* model,
                      const QModelIndex& index) const override {
        QString text = static_cast<QLineEdit*>(editor)->text();
        if (grid_->InputAt(index.row()) == EditorGrid::Input::LastChar) text = text.right(1);
        model->setData(index, text, Qt::EditRole);
    }

  private:
    static QValidator* validator(const QString& pattern, QObject* parent) {
        return new QRegularExpressionValidator(QRegularExpression(pattern), parent);
    }

    EditorGrid* grid_;
};

EditorGrid::EditorGrid(const char* name, int columns, int rows, int fixedColumns, int fixedRows,
                       QWidget* parent)
    : KeyboardGrid<QTableWidget>(parent), fixedColumns_(fixedColumns), fixedRows_(fixedRows) {
    setObjectName(QLatin1String(name));
    horizontalHeader()->hide();
    verticalHeader()->hide();
    horizontalHeader()->setMinimumSectionSize(16);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    setItemDelegate(new EditorCellDelegate(this));
    setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                    QAbstractItemView::AnyKeyPressed);
    SetColCount(columns);
    SetRowCount(rows);
    connect(this, &QTableWidget::itemChanged, this, &EditorGrid::onItemChanged);
}

void EditorGrid::applyFixedLook(int column, int row) {
    QTableWidgetItem* it = item(row, column);
    if (!it) {
        it = new QTableWidgetItem;
        setItem(row, column, it);
    }
    const bool fixed = column < fixedColumns_ || row < fixedRows_;
    if (fixed) {
        it->setFlags(Qt::ItemIsEnabled);
        it->setBackground(palette().brush(QPalette::Button));
    } else {
        Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
        if (InputAt(row) != Input::ReadOnly) flags |= Qt::ItemIsEditable;
        it->setFlags(flags);
    }
}

void EditorGrid::SetColCount(int columns) {
    const QSignalBlocker quiet(this);
    const int before = columnCount();
    setColumnCount(qMax(columns, 0));
    for (int c = before; c < columnCount(); ++c)
        for (int r = 0; r < rowCount(); ++r) applyFixedLook(c, r);
}

void EditorGrid::SetRowCount(int rows) {
    const QSignalBlocker quiet(this);
    const int before = rowCount();
    setRowCount(qMax(rows, 0));
    for (int r = before; r < rowCount(); ++r)
        for (int c = 0; c < columnCount(); ++c) applyFixedLook(c, r);
}

QString EditorGrid::Cell(int column, int row) const {
    const QTableWidgetItem* it = item(row, column);
    return it ? it->text() : QString();
}

void EditorGrid::SetCell(int column, int row, const QString& text) {
    if (column < 0 || row < 0 || column >= columnCount() || row >= rowCount()) return;
    const QSignalBlocker quiet(this);
    applyFixedLook(column, row);
    item(row, column)->setText(text);
}

void EditorGrid::SetColumnTitles(const QStringList& titles) {
    for (int r = 0; r < titles.size(); ++r) SetCell(0, r, titles[r]);
}

void EditorGrid::SetRowTitles(const QStringList& titles) {
    for (int c = 0; c < titles.size(); ++c) SetCell(c, 0, titles[c]);
}

void EditorGrid::ClearData() {
    for (int r = fixedRows_; r < rowCount(); ++r)
        for (int c = fixedColumns_; c < columnCount(); ++c) SetCell(c, r, QString());
}

void EditorGrid::NumberColumns() {
    for (int c = fixedColumns_; c < columnCount(); ++c) SetCell(c, 0, QString::number(c));
}

void EditorGrid::NumberRows() {
    for (int r = fixedRows_; r < rowCount(); ++r) SetCell(0, r, QString::number(r));
}

void EditorGrid::SetInput(Input input) {
    input_ = input;
    for (int r = fixedRows_; r < rowCount(); ++r)
        for (int c = fixedColumns_; c < columnCount(); ++c) applyFixedLook(c, r);
}

void EditorGrid::SetRowInput(int row, Input input) {
    rowInput_[row] = input;
    for (int c = fixedColumns_; c < columnCount(); ++c)
        if (row >= fixedRows_ && row < rowCount()) applyFixedLook(c, row);
}

void EditorGrid::FocusCell(int column, int row) {
    setCurrentCell(row, column);
    scrollToItem(item(row, column));
    setFocus(Qt::OtherFocusReason);
}

void EditorGrid::FitColumns(int minWidth) {
    resizeColumnsToContents();
    for (int c = 0; c < columnCount(); ++c)
        if (columnWidth(c) < minWidth) setColumnWidth(c, minWidth);
}

void EditorGrid::FitHeight(int rows) {
    setFixedHeight(rows * verticalHeader()->defaultSectionSize() +
                   horizontalScrollBar()->sizeHint().height() + 2 * frameWidth() + 2);
}

void EditorGrid::onItemChanged(QTableWidgetItem* it) {
    if (it->column() < fixedColumns_ || it->row() < fixedRows_) return;
    emit cellTyped(it->column(), it->row());
}

void EditorGrid::continueInNextCell(const QString& text) {
    int column = currentColumn() + 1, row = currentRow();
    if (column >= columnCount()) {
        column = fixedColumns_;
        ++row;
    }
    if (row >= rowCount()) return;
    setCurrentCell(row, column);
    editItem(item(row, column));
    if (auto* edit = qobject_cast<QLineEdit*>(QApplication::focusWidget())) edit->setText(text);
}

void EditorGrid::mousePressEvent(QMouseEvent* event) {
    QTableWidget::mousePressEvent(event);
    if (event->button() != Qt::LeftButton) return;
    QTableWidgetItem* it = itemAt(event->position().toPoint());
    if (!it || !(it->flags() & Qt::ItemIsEditable) || InputAt(it->row()) != Input::LastChar) return;
    // A click flips the cell and confirms it at once.
    it->setText(it->text() == QLatin1String("1") ? QStringLiteral("0") : QStringLiteral("1"));
}
