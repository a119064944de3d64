#pragma once
// What the key dump targets share: the check of a listed key, and how often
// they build the parse console, a line a byte, which is where most of their
// time goes.

#include "keys/KeyNumber.h"

#include <QString>

namespace fuzz {

constexpr unsigned kDumpConsoleEvery = 16;

// Exactly size hexadecimal digits.
inline bool HexDigits(const QString& key, int size) {
    if (key.size() != size) return false;
    for (QChar c : key)
        if (!KeyNumber::IsHexDigit(c)) return false;
    return true;
}

}  // namespace fuzz
