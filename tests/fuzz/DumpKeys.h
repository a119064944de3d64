#pragma once
// The key dump targets' check of a listed key.

#include "keys/KeyNumber.h"

#include <QString>

namespace fuzz {

// Exactly size hexadecimal digits.
inline bool HexDigits(const QString& key, int size) {
    if (key.size() != size) return false;
    for (QChar c : key)
        if (!KeyNumber::IsHexDigit(c)) return false;
    return true;
}

}  // namespace fuzz
