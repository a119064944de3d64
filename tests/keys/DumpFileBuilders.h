#pragma once
// Key dumps made byte by byte from their layouts, for the tests of the dump
// readers, the pours and the dump tabs.

#include <QByteArray>
#include <QList>
#include <QString>

namespace DumpBuild {

// The bytes of a key text, little-endian (the text's last two digits first).
inline QByteArray SlotBytes(const QString& key) {
    QByteArray bytes;
    for (int i = int(key.size()) - 2; i >= 0; i -= 2)
        bytes += char(key.mid(i, 2).toInt(nullptr, 16));
    return bytes;
}

// A БЭКУ dump: the header page (byte 24 tells the width), then one page per
// entry of pages, each seven slotBytes; a slot that is empty text is masked and
// filled with filler bytes.
inline QByteArray Beku(int width, const QList<QList<QString>>& pages, char filler = char(0x77)) {
    QByteArray dump(32, char(0x11));
    dump[24] = width == 3 ? char(0x10 | 0x01) : char(0xEF);
    for (const QList<QString>& page : pages) {
        quint8 mask = 0x80;  // bit 7 is not read
        QByteArray slotBytes;
        for (int j = 0; j < 7; ++j) {
            const QString key = j < page.size() ? page[j] : QString();
            if (key.isEmpty()) {
                mask |= quint8(1 << j);
                slotBytes += QByteArray(width, filler);
            } else {
                slotBytes += SlotBytes(key);
            }
        }
        dump += char(mask);
        dump += char(0x22);
        dump += slotBytes;
        dump += QByteArray(2, char(0x33));
    }
    return dump;
}

// A Мирель dump: address 4 the variant, the records from address 96 (each 5
// head bytes and seven 3-byte slotBytes; a missing key is FFFFFF), then the data
// cut into pages of 31 bytes, each closed by the page-end byte.
inline QByteArray Mirel(int variant, const QList<QList<QString>>& records,
                        char pageEnd = char(0x5A)) {
    QByteArray data(96, char(0x00));
    data[4] = char(0xA0 | variant);
    for (const QList<QString>& record : records) {
        data += QByteArray(5, char(0x44));
        for (int k = 0; k < 7; ++k)
            data += SlotBytes(k < record.size() && !record[k].isEmpty() ? record[k] : "FFFFFF");
    }
    QByteArray file;
    for (int i = 0; i < data.size(); ++i) {
        file += data[i];
        if (i % 31 == 30) file += pageEnd;
    }
    return file;
}

}  // namespace DumpBuild
