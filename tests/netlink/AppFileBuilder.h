#pragma once
// Firmware files for the upload tests, built from their sections and frames.

#include "netlink/NetAppUpload.h"

#include <QByteArray>
#include <QList>

inline void PutLe16(QByteArray& out, int value) {
    out.append(char(value & 0xFF));
    out.append(char((value >> 8) & 0xFF));
}

// A firmware file: the Latin magic with format 1 and both bounds, or the
// Cyrillic one (format < 0) with BIOS and class word only.
inline QByteArray AppFile(int format, int bios, int classWord, const QList<AppSection>& sections,
                          int minBios = 0xFF, int minBds = 0xFF, int app = 0x0200,
                          bool endWord = true) {
    QByteArray out = QByteArray::fromHex(format < 0 ? "C4C0D0C2CE" : "C4C050C2CE");
    if (format >= 0) {
        out.append(char(format));
        PutLe16(out, app);
    }
    out.append(char(bios));
    PutLe16(out, classWord);
    if (format > 0) {
        out.append(char(minBios));
        out.append(char(minBds));
    }
    for (const AppSection& s : sections) {
        int size = 0;
        for (const QByteArray& f : s.frames) size += int(f.size());
        PutLe16(out, size);
        PutLe16(out, s.start);
        for (const QByteArray& f : s.frames) out.append(char(f.size())).append(f);
    }
    if (endWord) PutLe16(out, 0);
    return out;
}
