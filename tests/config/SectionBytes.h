#pragma once
// Byte views of section texts for the section tests.

#include "config/ConfigFileReader.h"
#include "config/ConfigHeader.h"
#include "config/ConfigImage.h"
#include "config/ConfigRecords.h"
#include "support/QtPrinters.h"

#include <QByteArray>
#include <QString>

#include <gtest/gtest.h>

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

// The sections of a file the workstation wrote, as the file reader and the
// section walk give them back; the header must name deviceNumber and the
// producer lines must be messages.
inline QList<ConfigSection> ReadBackFile(const QByteArray& file, int deviceNumber,
                                         const QStringList& messages) {
    ConfigReadOutput out;
    QStringList shown, header;
    EXPECT_EQ(ReadConfigBytes(file, out, &shown, &header, 63), ConfigReadStatus::Ok);
    EXPECT_EQ(out.deviceNumber, deviceNumber);
    EXPECT_EQ(shown, messages);
    QString image = out.image, dateText;
    EXPECT_EQ(CheckConfigTrailer(image, dateText), kTrailerUnchanged);
    const QList<ConfigSection> sections = TakeAllSections(image);
    EXPECT_EQ(image, QString(16, QLatin1Char('1')));  // only the end mark is left
    return sections;
}

inline QString Ones(int n) {
    return QString(n, QLatin1Char('1'));
}
inline QString Zeros(int n) {
    return QString(n, QLatin1Char('0'));
}

// The header (or the bare date word of a file without one) and the sections of a file.
struct FileParts {
    QByteArray head;
    QStringList sections;
};

inline FileParts Split(const QByteArray& file, int headBytes = kConfigHeaderBytes) {
    QString image = ImageFromBytes(file.mid(headBytes));
    FileParts p{file.left(headBytes), {}};
    for (const ConfigSection& s : TakeAllSections(image)) {
        // Back to the file's form: payload, version byte and length word.
        QString text = s.text;
        p.sections << text + BitField(s.bits / 8, 16);
    }
    return p;
}

inline QByteArray Join(const FileParts& p) {
    QByteArray file = p.head;
    for (const QString& s : p.sections) file += BitStringToBytes(s);
    return file + Bytes({0xFF, 0xFF});
}

// A section in the file's form (payload, version byte, length word) with
// the payload bytes given in file order.
inline QString SectionOf(const QByteArray& payload, int version = 1) {
    QString bits = ImageFromBytes(payload);
    return WrapSection(bits, 0, version, nullptr);
}

// Section 4 of a switch file with melodies of so many notes, the call melody
// first. The program's own writer stops at 254; more come from elsewhere.
inline QString MelodySection(int callNotes, int ringBackNotes) {
    QByteArray payload;
    for (int notes : {callNotes, ringBackNotes}) {
        payload += char(notes);
        for (int i = 0; i < notes; ++i) payload += Bytes({10, i % 2 ? 0 : 60});
    }
    return SectionOf(payload);
}

}  // namespace cfgtest
