// A grid whose columns fit their contents, with a text from the file of
// 10,000 characters in a cell: the column stops at an ordinary long name's
// width, and the cell's tool tip is its whole text; a cell that fits has no
// tool tip of the grid's.

#include "platform/ui/GridCells.h"
#include "platform/ui/GridKeys.h"

#include <gtest/gtest.h>
#include <QHeaderView>
#include <QStandardItemModel>
#include <QTableView>

namespace GridCellsTestUnit {

namespace {

TEST(GridCells, ALongTextStopsItsColumnAndIsItsCellsToolTip) {
    const QString longText(10000, QChar(0x0416));
    const QString shortText = QStringLiteral("Дом 1");
    QStandardItemModel model(2, 2);
    model.setItem(0, 0, new QStandardItem(longText));
    model.setItem(1, 0, new QStandardItem(shortText));
    model.setItem(0, 1, new QStandardItem(shortText));
    KeyboardGrid<QTableView> grid;
    grid.setModel(&model);
    grid.horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    grid.resize(1000, 300);
    grid.show();
    grid.resizeColumnsToContents();

    // An ordinary long name has 60 characters: the column stops at their
    // room, and is not cut narrower than 50 of them.
    const int room = grid.fontMetrics().averageCharWidth() * 60;
    EXPECT_LE(grid.columnWidth(0), room);
    EXPECT_LE(grid.sizeHintForColumn(0), room);
    EXPECT_GE(grid.columnWidth(0), grid.fontMetrics().averageCharWidth() * 50);
    EXPECT_TRUE(GridCells::ToolTip(&grid, model.index(0, 0)) == longText);
    EXPECT_TRUE(GridCells::ToolTip(&grid, model.index(1, 0)).isEmpty());
    EXPECT_TRUE(GridCells::ToolTip(&grid, model.index(0, 1)).isEmpty());
}

}  // namespace
}  // namespace GridCellsTestUnit
