#include "keys/ui/EditorKeyControls.h"

#include <QSpinBox>
#include <QTableWidget>

#include <limits>

int KeyGridKeyColumn(KeyGrid grid) {
    return grid == KeyGrid::Keys5 || grid == KeyGrid::Keys6 ? 2 : 1;
}

int KeyGridIndexColumn(KeyGrid grid) {
    switch (grid) {
        case KeyGrid::Keys5:
        case KeyGrid::Keys6:
            return 1;
        case KeyGrid::KeysCP:
            return 2;
        default:
            return -1;
    }
}

QString GridCell(const QTableWidget* grid, int row, int column) {
    const QTableWidgetItem* item = grid ? grid->item(row, column) : nullptr;
    return item ? item->text() : QString();
}

void SetGridCell(QTableWidget* grid, int row, int column, const QString& text) {
    QTableWidgetItem* item = grid->item(row, column);
    if (item)
        item->setText(text);
    else
        grid->setItem(row, column, new QTableWidgetItem(text));
}

namespace {

int dataRows(const QTableWidget* grid) {
    return grid ? qMax(0, grid->rowCount() - 1) : 0;
}

}  // namespace

void ReadSectionKeyGrids(const EditorKeyControls& c, EditorKeyLists& lists) {
    if (c.readSections) {
        c.readSections(lists);
        return;
    }
    lists.keys5.rows.clear();
    for (int r = 1; r <= dataRows(c.Keys5); ++r)
        lists.keys5.rows << Keys5Row{GridCell(c.Keys5, r, 1), GridCell(c.Keys5, r, 2),
                                     GridCell(c.Keys5, r, 3)};
    lists.keys6.rows.clear();
    for (int r = 1; r <= dataRows(c.Keys6); ++r)
        lists.keys6.rows << Keys6Row{GridCell(c.Keys6, r, 1), GridCell(c.Keys6, r, 2)};
    lists.keys7.keys.clear();
    for (int r = 1; r <= dataRows(c.Keys7); ++r) lists.keys7.keys << GridCell(c.Keys7, r, 1);
    if (c.KolSl5) lists.keys5.kolSl5 = c.KolSl5->value();
    if (c.KolSl6) lists.keys6.kolSl6 = c.KolSl6->value();
    if (c.KolSl7) lists.keys7.kolSl7 = c.KolSl7->value();
}

void ShowSectionKeyGrids(const EditorKeyControls& c, const EditorKeyLists& lists) {
    if (c.showSections) {
        c.showSections(lists);
        return;
    }
    ShowKeyGrid(c.Keys5, KeyGrid::Keys5, lists);
    ShowKeyGrid(c.Keys6, KeyGrid::Keys6, lists);
    ShowKeyGrid(c.Keys7, KeyGrid::Keys7, lists);
    const std::pair<QSpinBox*, qint64> counts[] = {{c.KolSl5, lists.keys5.kolSl5},
                                                   {c.KolSl6, lists.keys6.kolSl6},
                                                   {c.KolSl7, lists.keys7.kolSl7}};
    for (const auto& [box, value] : counts) {
        if (!box) continue;
        const int v = int(qMin<qint64>(value, std::numeric_limits<int>::max()));
        if (v > box->maximum()) box->setMaximum(v);
        box->setValue(v);
    }
}

void ReadDumpKeyGrid(const QTableWidget* grid, KeyGrid kind, EditorKeyLists& lists) {
    int rows = dataRows(grid);
    const int key = KeyGridKeyColumn(kind);
    const int index = KeyGridIndexColumn(kind);
    auto blank = [&](int r) {
        return GridCell(grid, r, key).isEmpty() &&
               (index < 0 || GridCell(grid, r, index).isEmpty());
    };
    if (rows > 0 && blank(rows)) --rows;
    if (kind == KeyGrid::KeysBQ) {
        lists.keysBQ.clear();
        for (int r = 1; r <= rows; ++r) lists.keysBQ << GridCell(grid, r, key);
    } else if (kind == KeyGrid::KeysCP) {
        lists.keysCP.clear();
        for (int r = 1; r <= rows; ++r)
            lists.keysCP << MirelKeyRow{GridCell(grid, r, key), GridCell(grid, r, index).toInt()};
    }
}

void ShowKeyGrid(QTableWidget* grid, KeyGrid kind, const EditorKeyLists& lists) {
    if (!grid) return;
    const bool dump = kind == KeyGrid::KeysBQ || kind == KeyGrid::KeysCP;
    const int rows = lists.Rows(kind);
    grid->setRowCount(1 + rows + (dump ? 1 : 0));
    const int keyColumn = KeyGridKeyColumn(kind);
    for (int r = 1; r < grid->rowCount(); ++r) {
        SetGridCell(grid, r, 0, QString::number(r));
        SetGridCell(grid, r, keyColumn, lists.Key(kind, r));
    }
    for (int r = 1; r <= rows; ++r) {
        switch (kind) {
            case KeyGrid::Keys5:
                SetGridCell(grid, r, 1, lists.keys5.rows[r - 1].apartment);
                SetGridCell(grid, r, 3, lists.keys5.rows[r - 1].kind);
                break;
            case KeyGrid::Keys6:
                SetGridCell(grid, r, 1, lists.keys6.rows[r - 1].apartment);
                break;
            case KeyGrid::KeysCP:
                SetGridCell(grid, r, 2, QString::number(lists.keysCP[r - 1].index));
                break;
            default:
                break;
        }
    }
    if (dump)
        for (int c = 1; c < grid->columnCount(); ++c) SetGridCell(grid, rows + 1, c, QString());
}
