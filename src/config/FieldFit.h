#pragma once
// A stored value on its way into a field of a device file. The field keeps
// what the file format gives it: its low bits, or, where the program caps a
// value rather than wrap it, the nearest end of its range. When that is not
// the stored value, one line in the write log names the device, the column,
// the stored value and the value written, in the same words for the switch,
// call-panel and console files:
//     "КМ01: значение n_xl = 65536 больше 65535, записано 0."
// and, outside a write pass (no device named),
//     "Значение busy = 65536 больше 65535, записано 65535."
// Each line also goes into ConfigLogs::narrowed, so a pass can list them.

#include "config/ConfigRecords.h"

#include <QString>

// How a field takes a value outside the range it holds as it is.
enum class FieldFit {
    LowBits,        // its low bits; a negative value by its two's complement
    LowBitsOrZero,  // its low bits; a negative value as 0
    Capped,         // the nearest end of the range
};

// The value a field of width bits (1..62) holds for stored − offset: the
// door-open time, for one, is held less one second, so its field holds the
// stored values offset .. offset + 2^width − 1 as they are. Any other stored
// value is told in logs.
qint64 FitField(ConfigLogs& logs, const QString& field, qint64 stored, int width, FieldFit fit,
                qint64 offset = 0);

// Tells in logs that stored, outside lowest .. highest, went into the file as
// written (a value a rule of the format sets, such as a default for a
// negative one); nothing when stored is inside. Returns written.
qint64 TellWritten(ConfigLogs& logs, const QString& field, qint64 stored, qint64 lowest,
                   qint64 highest, qint64 written);

// The line that tells one value.
QString NarrowedValueLine(const NarrowedValue& n);

// A text on its way into a field of chars characters of a device file in
// Windows-1251: its first chars characters (a surrogate pair is one), each a
// byte, right-padded with spaces; '?' stands for each character the file
// cannot carry (no byte of its own, a NUL, a tab, a newline or another control
// character). A cut and a stand-in are each told in one line, and the text
// goes into ConfigLogs::narrowedTexts:
//     "ППО: текст sobj2 длиннее 16 символов (26), записаны первые 16: "Очень длинный те"."
//     "ППО: в тексте sobj1 символ "é" нельзя записать в файл, вместо него записан "?"."
QByteArray FitText(ConfigLogs& logs, const QString& field, const QString& text, int chars);

// A mask of '0'/'1' characters on its way into a field of width bits. One
// that keeps its last characters (its last character the lowest bit) is
// left-padded with '0'; one that keeps its first characters (camera 1 or
// flag 1 first) is right-padded. A character other than '0' and '1' is
// written as '0', as the screens read it. A cut and such a character are
// told as FitText tells them:
//     "ППО00: текст mcam длиннее 16 символов (20), записаны последние 16: "…"."
enum class MaskKeeps { Last, First };
QString FitMask(ConfigLogs& logs, const QString& field, const QString& mask, int width,
                MaskKeeps keeps = MaskKeeps::Last);

// The lines that tell one text: its cut, then its stand-ins.
QStringList NarrowedTextLines(const NarrowedText& n);

// A line about the device of logs: "БВ01: " and the sentence with its first
// letter in lower case, or the sentence as it is when no device is named.
QString DeviceLine(const ConfigLogs& logs, const QString& sentence);
