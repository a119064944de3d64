#pragma once
// Byte views of section texts for the section tests.

#include "config/ConfigImage.h"
#include "config/ConfigRecords.h"
#include "support/QtPrinters.h"

#include <QByteArray>
#include <QString>

#include <initializer_list>

namespace cfgtest {

inline QByteArray Bytes(std::initializer_list<int> values) {
    QByteArray out;
    for (int v : values) out.append(char(v));
    return out;
}

// A section as it stands in the file: length word, version byte, payload.
inline QByteArray FileBytes(const QString& section) {
    return BitStringToBytes(section);
}

// The 16-bit length word of a section text.
inline int LengthWord(const QString& section) {
    const QByteArray b = FileBytes(section);
    return b.size() < 2 ? -1 : quint8(b[0]) | quint8(b[1]) << 8;
}

// The payload bytes of a section that has a version byte.
inline QByteArray Payload(const QString& section) {
    return FileBytes(section).mid(3);
}

// The section text as TakeSection gives it back after writing and reading.
inline QString Taken(const QString& section) {
    QString image = ImageFromBytes(FileBytes(section));
    QString text;
    TakeSection(image, text);
    return text;
}

inline QString Ones(int n) {
    return QString(n, QLatin1Char('1'));
}
inline QString Zeros(int n) {
    return QString(n, QLatin1Char('0'));
}

}  // namespace cfgtest
