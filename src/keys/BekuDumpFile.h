#pragma once
// A memory dump of a БЭКУ device: a 32-byte header page, then pages of seven
// key slots. Byte 24 of the header gives the key width W (bit 0x10 set: 3
// bytes, clear: 4). A page is P = 2 + 7·W + 2 bytes: a slot mask (bit j−1 set
// = slot j empty; bit 7 unused), one byte not interpreted, the seven slots of
// W bytes each (the key little-endian), two bytes not interpreted. Its keys
// all become common keys of one entrance.

#include "foundation/TFDM.h"  // ProgressFn

#include <QByteArray>
#include <QStringList>

struct BekuDump {
    int keyBytes = 4;  // KolByte
    QStringList keys;  // KeysBQ: 6 or 8 hexadecimal digits each
    QStringList console;
    bool complete = false;  // the file ended at a page boundary
};

// Parses the dump bytes. Only whole slots give keys: a file that ends inside a
// slot keeps the keys before it. With console set every byte is echoed into
// the parse console.
BekuDump ReadBekuDump(const QByteArray& bytes, bool console = true,
                      const ProgressFn& progress = {});
