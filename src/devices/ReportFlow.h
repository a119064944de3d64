#pragma once
// How the blocks of a report's body (switch bands, row labels, rows) flow
// over columns and pages: down the first column, then the next, then onto a
// new page. A block is never split. A block kept with the next one (a switch's
// band with its first row) moves to the next column with it when both do not
// fit where it stands, so that no band is left alone at a column's foot.
// Heights are in any one unit; the renderer measures them.

#include <QList>

struct FlowBlock {
    double height = 0;
    bool keepWithNext = false;
};

struct FlowPlace {
    int page = 0;    // 0-based
    int column = 0;  // 0-based
    double top = 0;  // from the top of the column's body
};

struct FlowArea {
    int columns = 1;
    double firstPageHeight = 0;  // a column's body on the first page
    double pageHeight = 0;       // on every later page
};

struct Flow {
    QList<FlowPlace> places;  // one per block, in order
    int pages = 1;
};

Flow FlowBlocks(const QList<FlowBlock>& blocks, const FlowArea& area);

// Widths of the cells of a row that share total: each cell whose widest text
// (desired) fits in its share by weight gets what it needs, the others share
// what is left by their weights and wrap; room to spare goes to all by weight.
QList<double> FitCellWidths(const QList<double>& weights, const QList<double>& desired,
                            double total);
