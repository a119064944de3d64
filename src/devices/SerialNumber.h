#pragma once
// Device serial numbers as the editors of switches, call panels and the
// console take them: typed in upper case, a first character that is a digit or
// a letter A..J and digits after it. Leaving the field turns a 9-character
// number into the 10-character form with "A" in front; only the forms a kind
// of device accepts are stored.

#include <QChar>
#include <QString>

namespace SerialNumber {

enum class Kind { Switch, CallPanel, Console };

// Longest number a field holds.
constexpr int kMaxLength = 10;

// Whether a typed character may go into a field that holds text. Backspace
// ('\b') and Enter ('\r') always pass; the switch editor also lets "." through,
// as its keyboard always has. Letters are judged in upper case.
bool TypedCharAllowed(Kind kind, const QString& text, QChar typed);

// The text as it is stored: trimmed, upper case, a 9-character number with
// "A" in front.
QString Normalised(const QString& typed);

// Whether a normalised text may be stored for the kind: empty; 10 characters
// beginning with A..J; for switches and call panels also 6 characters
// beginning with a digit. Every character after the first must be a digit.
bool Accepted(Kind kind, const QString& normalised);

}  // namespace SerialNumber
