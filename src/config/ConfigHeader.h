#pragma once
// The 31-byte header of a configuration file, its 16-bit date word, the
// identification section (section 1) and the ways a reader tells the device
// kind and the producer of a file.

#include "config/ConfigImage.h"
#include "config/ConfigRecords.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QDate>
#include <QString>
#include <QStringList>

constexpr int kConfigHeaderBytes = 31;
constexpr int kConfigHeaderBits = kConfigHeaderBytes * 8;
// Where the sections' part of a recognised file is read from: the date word on.
constexpr int kConfigDateWordOffset = 29;

// File kind codes in header bytes 12-13.
constexpr int kFileCodeCallPanel = 1;
constexpr int kFileCodeSwitch = 2;
constexpr int kFileCodeConsole = 4;

// Producer lines of a recognised header.
QString ProducerTextKiro1();       // "Файл создан в АРМ Kiro-1"
QString ProducerTextKiro2();       // "Файл создан в АРМ Kiro-2"
QString ProducerTextFromDevice();  // "Файл считан с устройства в АРМ Kiro-2"
QString ProducerTextScreenDevice();  // the read screen's wording of the last one
QString TrailerTooShortText();       // "Не хватает длины заголовка."

// ---- Header and date word ------------------------------------------------------

// The header bytes for device number deviceNo: the class signature and the file
// kind follow from comparing deviceNo with sepDevice; idNom keeps its low 24 bits
// (0 when the object is not known, a negative value counts as 0).
QByteArray BuildConfigHeaderBytes(int deviceNo, qint64 idNom, int sepDevice);
// The same header as a 248-character bit text, ready for the byte writer.
QString BuildConfigHeader(int deviceNo, qint64 idNom, int sepDevice);
// Uses the program's SepDevice.
QString BuildConfigHeader(int deviceNo, qint64 idNom);

// The date word as the workstation writes it: not changed, no date (bytes 80 00).
QString BuildConfigTrailer();

// Results of CheckConfigTrailer.
enum ConfigTrailerResult : int {
    kTrailerTooShort = 0,  // fewer than 16 characters; image untouched
    kTrailerNone = 1,      // all ones: no date word
    kTrailerUnchanged = 2,
    kTrailerChanged = 3,
};
// Reads and removes the date word at the end of a read image. text gets the
// date (" от dd.MM.yyyy") when one is stored, then "  Файл не изменен." or
// "  Файл изменен!"; or the too-short text; or nothing for an absent word.
int CheckConfigTrailer(QString& image, QString& text);
// The date a day count of the date word stands for (0 has no date).
QDate ConfigDateFromDays(qint64 days);

// ---- Identification section -----------------------------------------------------

struct ConfigIdent {
    qint64 nNet = -1;      // network number, 12 bits
    qint64 type = -1;      // call-panel type, 0 for switches and the console, 4 bits
    qint64 idNet = -1;     // object id, 32 bits
    qint64 recordId = -1;  // id of the device row, 32 bits
    qint64 idNom = -1;     // object's network identifier, 32 bits
};

// The payload of section 1 (112 bits) from its five fields.
QString IdentPayload(const ConfigIdent& ident);
// Builds section 1 of a device of the given kind, logging the heading and the
// payload length into detailLog and the size line into resultLog. panelName is
// the call panel's name, shown after its device name.
QString EncodeIdentSection(int kind, const ConfigIdent& ident, const QString& panelName,
                           QStringList* detailLog, QStringList* resultLog);
// Section 1 of a switch, a call panel and the console file from their records
// (the object gives id_nom, and id_net for the switch and the console; a
// panel carries its own id_net and type).
QString EncodePkSection1(const ConfigObjectRow& object, const SwitchRow& sw, ConfigLogs& logs);
QString EncodeBvSection1(const ConfigObjectRow& object, const PanelRow& panel, ConfigLogs& logs);
QString EncodePoSection1(const ConfigObjectRow& object, const ConsoleRow& console,
                         ConfigLogs& logs);
// Decodes a section 1 text as TakeSection returns it. Every field that the text
// is too short for stays -1; the 32-bit fields are never negative otherwise.
ConfigIdent DecodeIdentSection(const QString& sectionText);

// ---- Device kind -----------------------------------------------------------------

// Section-0 sizes of the three kinds in bits (APP_pk, APP_bv, APP_po of t_global).
struct ConfigSection0Sizes {
    qint64 pk = 0;
    qint64 bv = 0;
    qint64 po = 0;
};
// The kind guessed from the length of section 0 (payload + version byte, in bits).
int ConfigKindByLength(qint64 section0Bits, const ConfigSection0Sizes& sizes);
int ConfigKindByLength(const QString& section0, const ConfigSection0Sizes& sizes);
// The kind of a known device number; unknown for a number between the switch
// bound and the console, and for a negative number.
int ConfigKindByDeviceNumber(int deviceNo, int maxDevice, int sepDevice);

// "СКМ05" gives 5, "СБВ03" 67, "СПО" and two characters sepDevice; -1 otherwise.
int DesignationToAddress(const QString& designation, int sepDevice);
int DesignationToAddress(const QString& designation);

// ---- Header recognition ----------------------------------------------------------

struct ConfigHeaderMark {
    bool recognised = false;   // the sections are read from the date word on
    int deviceNumber = -1;     // byte 0 without its top bit, -1 without a header
    bool namesDevice = false;  // the header carries the 0x80 mark: name the device
    QString producer;          // empty when the producer is not known
};
// The rules of the file reader on the first 31 bytes (missing bytes count as 0).
ConfigHeaderMark RecogniseConfigHeader(QByteArrayView head);
// The read screen's own rules on the first 30 bytes.
ConfigHeaderMark RecogniseScreenHeader(QByteArrayView head);
