#pragma once
// A string grid of the configuration-file editor: cells addressed as
// (column, row), with fixed title rows and columns that are cells of their
// own (grey, not editable), and the typing rules of the editor's grids.

#include <QHash>
#include <QTableWidget>

#include "platform/ui/GridKeys.h"

class EditorGrid : public KeyboardGrid<QTableWidget> {
    Q_OBJECT
  public:
    enum class Input {
        Any,       // any text
        Mask,      // "0" and "1" only (the 0/1 grids)
        LastChar,  // "0"/"1", a cell keeps the last character typed; a click toggles it
        Number,    // digits and "."
        Code5,     // at most five characters; a sixth goes on into the next cell
        ReadOnly,
    };

    EditorGrid(const char* name, int columns, int rows, int fixedColumns, int fixedRows,
               QWidget* parent = nullptr);

    int ColCount() const { return columnCount(); }
    int RowCount() const { return rowCount(); }
    // Fixed cells keep their look when the grid grows.
    void SetColCount(int columns);
    void SetRowCount(int rows);

    QString Cell(int column, int row) const;
    // Sets a cell from code; no typing rule runs.
    void SetCell(int column, int row, const QString& text);
    // Titles of the fixed column (rows from 0) or of the fixed row (columns from 0).
    void SetColumnTitles(const QStringList& titles);
    void SetRowTitles(const QStringList& titles);
    // Empties every data cell.
    void ClearData();
    // Numbers the data columns from 1 in the fixed row 0.
    void NumberColumns();
    void NumberRows();

    void SetInput(Input input);
    // A rule of its own for one row (the grids that mix masks, numbers and codes).
    void SetRowInput(int row, Input input);
    Input InputAt(int row) const { return rowInput_.value(row, input_); }
    // Selects the cell and gives the grid the focus.
    void FocusCell(int column, int row);
    // Sizes the columns to their texts, at least minWidth each.
    void FitColumns(int minWidth = 24);
    // A fixed height that shows rows rows and the horizontal scroll bar.
    void FitHeight(int rows);

  signals:
    // A cell the operator typed into, after the typing rule was applied.
    void cellTyped(int column, int row);

  protected:
    void mousePressEvent(QMouseEvent* event) override;

  private:
    void applyFixedLook(int column, int row);
    void onItemChanged(QTableWidgetItem* item);
    void continueInNextCell(const QString& text);

    int fixedColumns_;
    int fixedRows_;
    Input input_ = Input::Any;
    QHash<int, Input> rowInput_;
    bool settingFromCode_ = false;
    friend class EditorCellDelegate;
};
