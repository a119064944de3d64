#pragma once
// The cells of the configuration-file editor's grids are texts; its encoders
// read numbers and keys out of them here, so that a blank cell and a cell the
// operator mistyped are told apart and nothing is ever written as garbage.

#include <QString>

enum class Cell { Blank, Number, Bad };

// A cell as a whole decimal number (surrounding blanks ignored).
Cell CellNumber(const QString& cell, qint64& value);
