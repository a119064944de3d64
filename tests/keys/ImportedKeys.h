#pragma once
// Many keys for the bulk import tests: the 6-digit codes a dump holds, and
// section 5 of a call-panel file spreading them over an entrance's apartments.

#include "config/PanelKeySections.h"

#include <QStringList>

// count keys numbered from first, each 6 hexadecimal digits.
inline QStringList ImportedKeys(int count, int first) {
    QStringList keys;
    for (int i = 0; i < count; ++i)
        keys << QStringLiteral("%1").arg(first + i, 6, 16, QLatin1Char('0')).toUpper();
    return keys;
}

// The keys as section 5 rows, in order over apartments 1 .. apartments.
inline Keys5List Section5Keys(const QStringList& keys, int apartments) {
    Keys5List list;
    for (qsizetype i = 0; i < keys.size(); ++i)
        list.rows << Keys5Row{QString::number(1 + i * apartments / keys.size()), keys[i],
                              MainSlotMark()};
    list.kolSl5 = int(keys.size());
    return list;
}
