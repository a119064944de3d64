#pragma once
// Key numbers, labels and the key list's sort order: the text rules of the key
// register, free of any dataset.

#include <QDate>
#include <QString>

namespace KeyNumber {

constexpr int kFullDigits = 12;  // un_key
constexpr int kPanelDigits = 6;  // bv_key, what a call panel stores
constexpr int kMinDigits = 6;    // a shorter number is refused

// What the number field accepts: hexadecimal digits, upper-cased, at most 12;
// every other character is dropped. Typed and pasted text alike.
QString FilterDigits(const QString& text);
// The stored number of a typed one: trimmed and left-padded with '0' to 12
// digits; empty when fewer than 6 characters remain.
QString FullNumber(const QString& typed);
// The call panel's code: the last 6 characters of the full number.
QString PanelCode(const QString& fullNumber);
// A number ending in FFFFFF: files, grids and dumps mark an empty key slot
// with it, so it is never stored as a key.
bool IsEmptySlot(QStringView number);
// The readers' log line for such a number, read but not entered.
QString EmptySlotNote(const QString& number);
// Hexadecimal digit as a key number holds it: 0-9, A-F (upper case).
bool IsHexDigit(QChar c);
// A call panel's key as a grid or a file holds it: exactly 6 hexadecimal
// digits once trimmed and upper-cased. The key so written, or an empty text
// for any other cell (blank included).
QString CellPanelKey(const QString& cell);

}  // namespace KeyNumber

namespace KeyLabel {

// A key's status: its origin mark followed by the date.
QString Dated(const QString& mark, const QDate& date);
// Status of a key entered on the key screen: the origin mark and the date.
QString ArmStatus(const QDate& date);
// The automatic label of the next key of a list holding keysInList keys.
QString Automatic(int keysInList, int digits);
// A label brought to at least digits characters: an empty one becomes "0",
// a shorter one is left-padded with '0', a longer one stays.
QString Widened(const QString& label, int digits);

}  // namespace KeyLabel

namespace KeySort {

// The key list's sort state: 1 number ascending, 2 descending, 3 label
// ascending, 4 descending, 5 status ascending, 6 descending.
constexpr int kInitial = 3;

// The state after a click on the title of column 0 (number), 1 (label) or 2
// (status): ascending, unless that column is already sorted ascending.
int AfterTitleClick(int current, int column);
// "ORDER BY un_key", "ORDER BY un_key DESC", ...; empty for an unknown state.
QString OrderClause(int state);

}  // namespace KeySort
