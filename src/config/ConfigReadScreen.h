#pragma once
// The read screen's work without its window: a configuration file read from
// disk is recognised (by the device number of its header, or by the length
// of its section 0), walked section by section and printed as text lines by
// the section decoders of its kind; or, on request, dumped bit by bit.

#include "config/ConfigFileReader.h"
#include "config/ConfigHeader.h"
#include "config/ConfigScreenSettings.h"

#include <QByteArrayView>
#include <QString>
#include <QStringList>

// The kind of a file: from the header's device number jDev, or, without a
// header (jDev below 0), from the length of section 0 in bits.
int ReadScreenKind(int jDev, qint64 section0Bits, const ConfigScreenSettings& settings);

struct ReadScreenParse {
    int kind = kKindUnknown;  // unknown: the rest of the image was dumped instead
    QStringList detail;       // the detail window (Memo1)
    QStringList steps;        // the steps window (Memo2)
};

// Walks an image without its date word. previousKind is the kind of the file
// shown before (an empty line separates files of different kinds). An unknown
// kind is told to the operator and the rest of the image dumped a byte a line.
ReadScreenParse ParseConfigFile(QString image, int jDev, int previousKind,
                                const ConfigScreenSettings& settings);

// The bytes of an image as 8-character fields, the first byte read first
// (the image's last 8 characters); characters short of a byte are left out.
QStringList ImageByteFields(const QString& image);
// The dump of an image of unknown kind, its first byte read first.
QStringList UnknownFormatDump(const QString& image);
// The "Без анализа" dump of a file's bytes in file order, a separator with
// the block number before every 32 bytes after the first.
QStringList RawDumpLines(QByteArrayView bytes);

struct ReadScreenResult {
    ConfigReadStatus status = ConfigReadStatus::Ok;
    int kind = kKindUnknown;  // the kind parsed; previousKind when nothing was parsed
    int jDev = -1;
    QStringList detail;
    QStringList steps;
};

// Reads and shows one file: decoded, or dumped raw when raw is set. A file
// that cannot be opened or read is told to the operator ("Ошибка").
ReadScreenResult ReadScreenFile(const QString& fileName, bool raw, int previousKind,
                                const ConfigScreenSettings& settings);
