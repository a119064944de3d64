#pragma once
// Enter is two keys: the main keyboard's Return and the keypad's Enter.

#include <Qt>

inline bool IsEnterKey(int key) {
    return key == Qt::Key_Return || key == Qt::Key_Enter;
}
