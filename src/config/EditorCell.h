#pragma once
// The cells of the configuration-file editor's grids are texts; its encoders
// read numbers and keys out of them here, so that a blank cell and a cell the
// operator mistyped are told apart and nothing is ever written as garbage.

#include <QString>

enum class Cell { Blank, Number, Bad };

// A cell as a whole decimal number (surrounding blanks ignored).
Cell CellNumber(const QString& cell, qint64& value);

// A field of an opened file that the editor shows as text, as the open found
// it: the field's bits and the text shown for them. A text cannot always say
// what its bits were (a byte a slide cannot show, a code value its digits do
// not give back), so a save writes a field whose text the engineer left as
// shown with its bits, and the file keeps the bytes he did not edit.
struct FieldAsRead {
    QString bits;  // empty when the value did not come whole from a file
    QString text;

    bool Unedited(const QString& now) const { return !bits.isEmpty() && now == text; }
};
