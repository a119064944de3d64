#pragma once
// The five key lists of the configuration-file editor as its popup menu and
// cell editing change them: the three key sections of a call-panel file
// (Keys5, Keys6, Keys7) and the two dump lists (KeysBQ, KeysCP). Keys are
// copied as text, pasted from text (moving a key that stands elsewhere in the
// three section lists), erased to the empty-slot value "FFFFFF", and typed
// into cells under the lists' typing rules.
//
// Rows are numbered as the grids number them: the first data row is row 1.

#include "config/PanelKeySections.h"
#include "keys/MirelDumpFile.h"

#include <QList>
#include <QString>
#include <QStringList>

enum class KeyGrid { None, Keys5, Keys6, Keys7, KeysBQ, KeysCP };

struct EditorKeyLists {
    Keys5List keys5;
    Keys6List keys6;
    Keys7List keys7;
    QStringList keysBQ;
    QList<MirelKeyRow> keysCP;

    // Data rows of a list.
    int Rows(KeyGrid grid) const;
    // The key cell of row (from 1) of a list; empty outside it.
    QString Key(KeyGrid grid, int row) const;
};

// A key typed into a section list's key cell: only "0".."9" and "A".."F"
// remain (lower-case letters are dropped), at most the first 6.
QString TypedGridKey(const QString& typed);
// An apartment index typed into Keys6: only its digits remain.
QString TypedGridIndex(const QString& typed);

// KeyGridClipboardText of rows top..bottom: a line per row, the key
// immediately followed, in Keys5 and Keys6, by the apartment index, each line
// ended by CR LF.
QString KeyGridClipboardText(const EditorKeyLists& lists, KeyGrid grid, int top, int bottom);

// A key found in pasted text; a token of 7 to 11 characters carries an
// apartment index after its 6 key digits.
struct GridPasteToken {
    QString key;
    QString index;
    bool hasIndex = false;
};

struct GridPasteTokens {
    QList<GridPasteToken> tokens;
    bool unrecognised = false;  // reading stopped at text that is not a key
};

// The keys of a pasted text, front to back, while more than 4 characters
// remain: each a run of "0".."9", "A".."F" of 6 to 12 characters followed by
// any other characters; 12 characters are a full key number whose last 6 are
// the key, 7 to 11 a key and a decimal index. A text of 4 characters or less,
// or of 65535 or more, holds nothing.
GridPasteTokens ParseGridPasteTokens(const QString& text);

// "В буфере обмена находятся данные, не опознанные как ключи!"
QString GridPasteUnrecognisedText();

// The row a paste starts at in the focused grid: its current row (-1 for
// none); row 1 when the title row (0) is current; in Keys6 and the dump lists
// the row after the last when the current cell is column 1 of row 1 or there
// is none, in Keys7 when there is none. rowCount: the grid's data rows.
int GridPasteStartRow(KeyGrid grid, int currentRow, int currentColumn, int rowCount);

// Places the tokens in the focused list from startRow on: Keys5 only into
// rows it has (the paste ends where they run out), Keys6 and Keys7 appended
// to as needed, the dump lists never. Once a key is placed, every other cell
// of the three section lists that holds it becomes "FFFFFF". The number
// placed.
int PasteGridKeys(EditorKeyLists& lists, KeyGrid grid, int startRow, const GridPasteTokens& keys);

// The slot counts the section encoders write follow the lists' rows.
void FollowSlotCounts(EditorKeyLists& lists);

// The key cells of rows top..bottom become "FFFFFF"; the number erased.
int EraseGridKeys(EditorKeyLists& lists, KeyGrid grid, int top, int bottom);
