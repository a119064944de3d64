#pragma once
// Loading a configuration file into an image: the header is recognised, its
// producer reported and the rest of the file read with the byte reader, so the
// image ends with the date word and then holds section 0, section 1, ... from
// its end toward its start.

#include <QByteArrayView>
#include <QString>
#include <QStringList>

// Files of this size or more are not configuration files.
constexpr qint64 kConfigFileSizeLimit = 18432;
// The read screen gives up once it has read this many bytes.
constexpr qint64 kScreenReadLimit = 32768;

enum class ConfigReadStatus {
    Ok,
    TooLarge,    // refused: the operator was told
    OpenFailed,  // the file could not be opened
    ReadFailed,  // reading stopped with an error
};

// A clear text for a failed read (empty for Ok and TooLarge, which are told already).
QString ConfigReadErrorText(ConfigReadStatus status, const QString& fileName);

struct ConfigReadOutput {
    QString image;          // from byte 29 of a recognised header, else from byte 0
    QString deviceByte;     // byte 0 as an 8-character field
    int deviceNumber = -1;  // byte 0 without its top bit when a header was recognised
    void Clear() { *this = ConfigReadOutput(); }
};

// Reads a file. The producer lines (the device name first for a marked header)
// go to messages and the listed header bytes, one two-digit hexadecimal text a
// line, to headerLines. A file of kConfigFileSizeLimit bytes or more is refused
// with a message box. Whenever the status is not Ok, out is cleared, so a
// caller never takes the previous file's image for this one.
ConfigReadStatus ReadConfigFile(const QString& fileName, ConfigReadOutput& out,
                                QStringList* messages, QStringList* headerLines, int sepDevice);
ConfigReadStatus ReadConfigFile(const QString& fileName, ConfigReadOutput& out,
                                QStringList* messages, QStringList* headerLines);
// The same rules on the bytes of a file already in memory.
ConfigReadStatus ReadConfigBytes(QByteArrayView data, ConfigReadOutput& out, QStringList* messages,
                                 QStringList* headerLines, int sepDevice);

// ---- The read screen's reader --------------------------------------------------

struct ScreenReadOutput {
    QString image;          // without its date word
    int jDev = -1;          // device number of a recognised header, else -1
    int trailerResult = 0;  // CheckConfigTrailer's result
    void Clear() { *this = ScreenReadOutput(); }
};

// The read screen's variant: it peeks at 30 header bytes, keeps no header list,
// words a device-read file differently, names no producer for an earlier header
// without the 0x80 mark, and instead of refusing large files stops once it has
// read kScreenReadLimit bytes ("Превышение допустимой длины КФ." into steps,
// status TooLarge, out cleared). On success the date word is already taken off
// the image and its text logged, ready for the section walk. detail and steps
// are the screen's two logs.
ConfigReadStatus ReadConfigForScreen(const QString& fileName, ScreenReadOutput& out,
                                     QStringList* detail, QStringList* steps, int sepDevice);
ConfigReadStatus ReadConfigBytesForScreen(QByteArrayView data, const QString& fileName,
                                          ScreenReadOutput& out, QStringList* detail,
                                          QStringList* steps, int sepDevice);
