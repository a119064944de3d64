#pragma once
// Numbers in the section logs and the editor's messages: decimal, every
// value taken as a 64-bit integer whatever type the caller holds it in.

#include <QString>

inline QString num(qint64 v) {
    return QString::number(v);
}
