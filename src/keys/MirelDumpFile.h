#pragma once
// A memory dump of a door panel of the Мирель or Сорна models: 32-byte pages
// whose last byte is a page-end mark, the other 31 carrying data. Data
// addresses count the data bytes only. Address 4 holds the variant (low 4
// bits: 1 = 200 apartments, 2 = 100, 3 = 20, 4 = 300: N); from address 96 on,
// N + 1 records of 26 bytes, record a for apartment index a (record 0 has
// index 0): 5 bytes not interpreted, then seven 3-byte key slots, each key
// little-endian, "FFFFFF" an empty slot.

#include "foundation/TFDM.h"  // ProgressFn

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

struct MirelKeyRow {
    QString key;    // 6 hexadecimal digits
    int index = 0;  // the record's apartment index
};

struct MirelDump {
    int apartments = 0;       // N, 0 while the variant was not read
    QList<MirelKeyRow> rows;  // KeysCP
    QStringList console;
    bool badVariant = false;  // not a variant of the list: reading stopped there
};

// The apartment count of a variant; 0 for a value that is none.
int MirelVariantApartments(int variant);

// Parses the dump bytes; only whole slots give keys. With console set every
// data byte is echoed into the parse console.
MirelDump ReadMirelDump(const QByteArray& bytes, bool console = true,
                        const ProgressFn& progress = {});
