#include "keys/EditorKeyGrids.h"

#include "keys/KeyNumber.h"

namespace {

constexpr int kShortestText = 4;  // a paste needs more characters than this
constexpr int kLongestGridPaste = 65535;
constexpr int kKeyDigits = 6;
constexpr int kFullNumberDigits = 12;
const QString kGridLineEnd = QStringLiteral("\r\n");

bool isDecimal(QChar c) {
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

// The key cell of a row, for writing; null outside the list.
QString* keyCell(EditorKeyLists& lists, KeyGrid grid, int row) {
    const int i = row - 1;
    if (i < 0 || i >= lists.Rows(grid)) return nullptr;
    switch (grid) {
        case KeyGrid::Keys5:
            return &lists.keys5.rows[i].key;
        case KeyGrid::Keys6:
            return &lists.keys6.rows[i].key;
        case KeyGrid::Keys7:
            return &lists.keys7.keys[i];
        case KeyGrid::KeysBQ:
            return &lists.keysBQ[i];
        case KeyGrid::KeysCP:
            return &lists.keysCP[i].key;
        case KeyGrid::None:
            break;
    }
    return nullptr;
}

QString indexCell(const EditorKeyLists& lists, KeyGrid grid, int row) {
    const int i = row - 1;
    if (grid == KeyGrid::Keys5 && i >= 0 && i < lists.keys5.rows.size())
        return lists.keys5.rows[i].apartment;
    if (grid == KeyGrid::Keys6 && i >= 0 && i < lists.keys6.rows.size())
        return lists.keys6.rows[i].apartment;
    return QString();
}

// Keys6 and Keys7 grow to hold a row.
bool makeRow(EditorKeyLists& lists, KeyGrid grid, int row) {
    if (row < 1) return false;
    if (grid == KeyGrid::Keys6)
        while (lists.keys6.rows.size() < row) lists.keys6.rows << Keys6Row{};
    else if (grid == KeyGrid::Keys7)
        while (lists.keys7.keys.size() < row) lists.keys7.keys << QString();
    return row <= lists.Rows(grid);
}

// Every other cell of the three section lists holding the key is emptied.
void emptyOtherCells(EditorKeyLists& lists, const QString& key, KeyGrid placedGrid, int placedRow) {
    for (KeyGrid grid : {KeyGrid::Keys5, KeyGrid::Keys6, KeyGrid::Keys7})
        for (int row = 1; row <= lists.Rows(grid); ++row) {
            if (grid == placedGrid && row == placedRow) continue;
            QString* cell = keyCell(lists, grid, row);
            if (KeyNumber::CellPanelKey(*cell) == key) *cell = EmptyKeyText();
        }
}

}  // namespace

int EditorKeyLists::Rows(KeyGrid grid) const {
    switch (grid) {
        case KeyGrid::Keys5:
            return int(keys5.rows.size());
        case KeyGrid::Keys6:
            return int(keys6.rows.size());
        case KeyGrid::Keys7:
            return int(keys7.keys.size());
        case KeyGrid::KeysBQ:
            return int(keysBQ.size());
        case KeyGrid::KeysCP:
            return int(keysCP.size());
        case KeyGrid::None:
            break;
    }
    return 0;
}

QString EditorKeyLists::Key(KeyGrid grid, int row) const {
    QString* cell = keyCell(const_cast<EditorKeyLists&>(*this), grid, row);
    return cell ? *cell : QString();
}

QString TypedGridKey(const QString& typed) {
    QString key;
    for (QChar c : typed)
        if (KeyNumber::IsHexDigit(c)) key += c;
    return key.left(kKeyDigits);
}

QString TypedGridIndex(const QString& typed) {
    QString digits;
    for (QChar c : typed)
        if (isDecimal(c)) digits += c;
    return digits;
}

QString KeyGridClipboardText(const EditorKeyLists& lists, KeyGrid grid, int top, int bottom) {
    QString text;
    for (int row = qMax(top, 1); row <= bottom && row <= lists.Rows(grid); ++row)
        text += lists.Key(grid, row) + indexCell(lists, grid, row) + kGridLineEnd;
    return text;
}

QString GridPasteUnrecognisedText() {
    return QStringLiteral("В буфере обмена находятся данные, не опознанные как ключи!");
}

GridPasteTokens ParseGridPasteTokens(const QString& text) {
    GridPasteTokens result;
    const qsizetype size = text.size();
    if (size <= kShortestText || size >= kLongestGridPaste) return result;
    qsizetype pos = 0;
    while (size - pos > kShortestText) {
        qsizetype end = pos;
        while (end < size && KeyNumber::IsHexDigit(text[end])) ++end;
        const QString run = text.mid(pos, end - pos);
        GridPasteToken token;
        if (run.size() == kFullNumberDigits) {
            token.key = run.right(kKeyDigits);
        } else if (run.size() >= kKeyDigits && run.size() < kFullNumberDigits) {
            token.key = run.left(kKeyDigits);
            token.index = run.mid(kKeyDigits);
            token.hasIndex = !token.index.isEmpty();
            for (QChar c : token.index)
                if (!isDecimal(c)) token.key.clear();
        }
        if (token.key.isEmpty()) {
            result.unrecognised = true;
            return result;
        }
        result.tokens << token;
        while (end < size && !KeyNumber::IsHexDigit(text[end])) ++end;
        pos = end;
    }
    return result;
}

int GridPasteStartRow(KeyGrid grid, int currentRow, int currentColumn, int rowCount) {
    // From the title row a paste starts at the first data row, in every list.
    if (currentRow == 0) return 1;
    const bool noRow = currentRow < 0;
    switch (grid) {
        case KeyGrid::Keys6:
        case KeyGrid::KeysBQ:
        case KeyGrid::KeysCP:
            if (noRow || (currentRow == 1 && currentColumn == 1)) return rowCount + 1;
            return currentRow;
        case KeyGrid::Keys7:
            return noRow ? rowCount + 1 : currentRow;
        case KeyGrid::Keys5:
            return noRow ? 1 : currentRow;
        case KeyGrid::None:
            break;
    }
    return 1;
}

int PasteGridKeys(EditorKeyLists& lists, KeyGrid grid, int startRow, const GridPasteTokens& keys) {
    // The dump lists are read, not written: a paste leaves them and the
    // section lists alone.
    if (grid != KeyGrid::Keys5 && grid != KeyGrid::Keys6 && grid != KeyGrid::Keys7) return 0;
    int placed = 0;
    int row = qMax(startRow, 1);
    for (const GridPasteToken& token : keys.tokens) {
        // Keys5 never grows: a key that finds no row there stays where it was.
        if (!makeRow(lists, grid, row)) break;
        *keyCell(lists, grid, row) = token.key;
        if (grid == KeyGrid::Keys6 && token.hasIndex)
            lists.keys6.rows[row - 1].apartment = token.index;
        emptyOtherCells(lists, token.key, grid, row);
        ++placed;
        ++row;
    }
    return placed;
}

void FollowSlotCounts(EditorKeyLists& lists) {
    lists.keys5.kolSl5 = lists.keys5.rows.size();
    lists.keys6.kolSl6 = lists.keys6.rows.size();
    lists.keys7.kolSl7 = lists.keys7.keys.size();
}

int EraseGridKeys(EditorKeyLists& lists, KeyGrid grid, int top, int bottom) {
    int erased = 0;
    for (int row = qMax(top, 1); row <= bottom; ++row) {
        QString* cell = keyCell(lists, grid, row);
        if (!cell) break;
        *cell = EmptyKeyText();
        ++erased;
    }
    return erased;
}
