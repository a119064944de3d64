#pragma once
// Section 3 of call-panel and console files: the call code of every apartment
// and handset the device serves, in the device's apartment order, closed by an
// end marker; optionally delta-coded ("packed"). The same pass collects each
// apartment's flag group for section 4 and, for the console, the day/night
// time list for section 5.
//
// Payload: one byte (bit 0 packed, bit 1 the increment flag of a packed
// stream), then the code stream, '0'-padded to whole bytes.
// - Unpacked: one 17-bit code value per apartment, then 17 one-bits.
// - Packed: the start mark 111, the first value in 17 bits, then per
//   apartment one entry: 0 (previous + 1); 1 00 b (previous + 2 + b);
//   1 01 kk (round up to the next 10^k, plus the increment flag);
//   1 10 www r (previous + 2^(w+2) + r, r of w + 2 bits); 1 11 and 17 bits
//   (the value itself). The end marker is the last form with 17 one-bits.
//   Bits are listed in payload order, each field least significant bit first.

#include "config/ConfigRecords.h"
#include "config/EditorCell.h"

#include <QList>
#include <QString>
#include <QStringList>

constexpr qint64 kCallCodeEndMarker = 131071;  // 17 one-bits, never a code
constexpr int kCallCodeBits = 17;

// Which list a pass walks and which flags it collects.
enum CallCodeKind : int {
    kCallCodesConsole = 0,
    kCallCodesPanel = 1,
};

// ---- Code values ------------------------------------------------------------

// The value of a code text: empty is 111111, a code beginning with '0' is
// left-padded with '1' to 6 digits ("0" is 111110, "0123" 110123), any other
// code is its decimal value. False for a text that is not all decimal digits,
// is longer than 6 characters or whose value does not fit below the end marker.
bool CallCodeValue(const QString& code, qint64& value);
// The code text of a value: its decimal digits with the leading '1' padding
// removed once they are more than five (111111 is empty, 111110 is "0").
QString CallCodeText(qint64 value);

// ---- The write screen's pass -------------------------------------------------

struct CallCodePass {
    int kind = kCallCodesPanel;
    bool packed = false;
    bool withPrefix = false;  // gate panels and the console: house prefix in front
    int prefixWidth = 0;      // digits a prefixed code is padded to (CallCodePrefixWidth)
    QString flagSelection;    // flbv for a panel, flpo for the console
    int incr = 0;             // k_net.incr, clamped to 0 or 1
    qint64 consoleHandsetOrdinal = 65535;  // the panel's adrcs of its section 0
    QList<CallCodeApartmentRow> apartments;
};

struct CallCodeResult {
    bool ok = false;            // false: a code could not be written, no file
    QString payload;            // the section's payload
    QString section;            // the payload closed as section 3 (section wrappers only)
    QString callFlagText;       // apartment flag groups, apartment 1 last
    QString poTimeMask;         // console: '1' per apartment with both times
    QList<qint64> poTimeWords;  // console: day, night, ordinal per '1' of the mask
};

// The width a prefixed code is padded to: the longest trimmed code of the
// object's rows that are not console handsets, not blank and not beginning with '0'.
int CallCodePrefixWidth(const QList<CallCodeApartmentRow>& objectRows);

// Builds the payload from the apartments. A code longer than 5 characters with
// its house prefix, or one that is not a number, is told to the operator
// ("ОШИБКА!!!") and gives ok false.
CallCodeResult EncodeCallCodes(const CallCodePass& pass, ConfigLogs& logs);

// The write screen's section 3 of a call panel and of the console.
CallCodeResult EncodeBvSection3(const ConfigObjectRow& object, const PanelRow& panel,
                                const QList<CallCodeApartmentRow>& apartments, int prefixWidth,
                                qint64 consoleHandsetOrdinal, int sepDevice, ConfigLogs& logs);
CallCodeResult EncodePoSection3(const ConfigObjectRow& object,
                                const QList<CallCodeApartmentRow>& apartments, int prefixWidth,
                                ConfigLogs& logs);

// ---- The editor's records ----------------------------------------------------

// One call-code record of the editor: a panel uses code and flags, the
// console all four (times as "hh:mm" texts).
struct CallCodeRecord {
    QString code;
    QString flags;
    QString dayTime;
    QString nightTime;
    // The code's 17 bits as the file held them: a code left as shown goes
    // back with the file's value, whatever value its text would give.
    FieldAsRead codeAsRead = {};
};

// The editor's console times: minutes after midnight as "hh:mm" and back, so
// that a time shown and saved again keeps its value. A text that is not a
// time of day (hours 0..23, minutes 0..59) gives false.
QString PoTimeText(qint64 minutes);
bool PoTimeMinutes(const QString& text, qint64& minutes);

struct CallCodePack {
    QString payload;
    QString flagText;
    QString poTimeMask;
    QList<qint64> poTimeWords;
    QString error;  // set when a code is not a number; nothing is built then
};
// The editor's save: the payload from the records in list order; no house
// prefix and no log. False with out.error set for an edited code that is not
// a number or a console time that is not a time of day.
bool PackCallCodes(bool packed, int kind, const QList<CallCodeRecord>& records, int incr,
                   CallCodePack& out);

struct CallCodeUnpack {
    QList<CallCodeRecord> records;  // count records, code field filled
    int decoded = 0;                // how many of them the section gave a code
    QString incrementChar;          // bit 1 of the first byte, empty when absent
    bool packed = false;
    // "Ошибка упаковки кодов вызова " + mark for a wrong start mark,
    // "Ошибка в количестве:= " + missing for fewer codes than announced
    // (it wins), else " ".
    QString error;
};
// Decodes a section 3 text (payload + version field) that should hold count codes.
CallCodeUnpack UnpackCallCodes(int count, const QString& sectionText);

// The read screen's lines; announced is the apartment count of section 2.
QStringList DecodeCallCodes(const QString& sectionText, int announced);

// The editor's sections 3 and 4 from its records: section 4 holds the data mask
// (dataMask, item 1 first, in bits 0-15), the default mask (bits 16-31) and the
// records' flag texts. False with error set when a code is not a number.
struct CallCodeSections {
    QString section3;
    QString section4;
    QString poTimeMask;
    QList<qint64> poTimeWords;
    QString error;
};
bool EncodeCallCodeSections(int kind, bool packed, int incr, const QList<CallCodeRecord>& records,
                            const QString& dataMask, const QString& defaultMask,
                            CallCodeSections& out, QStringList* log);
