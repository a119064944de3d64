#include "config/EditorCell.h"

Cell CellNumber(const QString& cell, qint64& value) {
    const QString t = cell.trimmed();
    if (t.isEmpty()) return Cell::Blank;
    bool ok = false;
    value = t.toLongLong(&ok);
    return ok ? Cell::Number : Cell::Bad;
}
