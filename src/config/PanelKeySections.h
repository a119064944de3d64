#pragma once
// The key sections 5, 6 and 7 of a call-panel file: the keys the panel opens
// the door for. A key slot is 24 bits, the key's six hexadecimal digits (the
// bv_key of the key register); all ones ("FFFFFF") is an empty slot.
//
// Section 5, keys per apartment: bits 0-15 RSum (slots in the section), bits
// 16-31 RMin (main slots of every apartment that has slots), then one record
// per apartment of the panel, the first apartment lowest. An apartment without
// slots is a single 1 bit; one with slots is a 0 bit, RMin main slots, any
// number of extra slots each behind a 0 bit, and a closing 1 bit. A section
// without slots has no payload.
//
// Section 6, slots for keys enrolled at the panel: bits 0-15 RSum, bits 16-23
// LBit, then RSum slots of LBit bits apartment index (all ones: none) and the
// 24-bit key each, the first lowest.
//
// Section 7, common and gate keys: bits 0-15 ASum, bits 16-23 a reserve byte,
// then ASum slots, the first lowest. A section without slots has no payload.
//
// Apartments are numbered from 1 in the panel's order: its entrances by switch
// number, each entrance's rows by p_nom (the order of the call codes).
//
// Besides the write screen's encoders and the read screen's decoders, the
// configuration-file editor gets its three key lists Keys5, Keys6 and Keys7
// here and writes them back. The key import takes keys out of the same lists.

#include "config/ConfigRecords.h"

#include <QList>
#include <QString>
#include <QStringList>

constexpr int kKeySlotBits = 24;

// Texts of the key lists.
QString EmptyKeyText();   // "FFFFFF": an empty slot
QString MainSlotMark();   // "осн.": a main slot of section 5
QString ExtraSlotMark();  // "доп.": an extra slot of section 5
QString Section5SlotsLabel();  // "Cлотов ключей в 5 секции " (its first letter is a Latin C)

// The slot value of a key text: one to six hexadecimal digits, either case,
// surrounding blanks ignored. False for anything else, which is never written.
bool KeySlotValue(const QString& key, qint64& value);
// The six upper-case hexadecimal digits of a slot value.
QString KeySlotText(qint64 value);

// ---- The write screen ----------------------------------------------------------

// Spare slots are written when the panel adds keys by itself (auto) or the
// write screen asks for them.
bool PanelWantsSpareSlots(const PanelFileInput& in);

// Section 5 from the apartments' keys and quotas (x_key with spare slots,
// else y_key, never fewer slots than keys), RMin the object's v_key; the
// apartments of an entrance wired with plus 3 get no slots.
QString EncodeBvSection5(const PanelFileInput& in, ConfigLogs& logs);
// Section 6: with spare slots, d_key empty slots per entrance wired with plus
// 1; without, an empty section.
QString EncodeBvSection6(const PanelFileInput& in, ConfigLogs& logs);
// Section 7: the common keys of the plus-1 entrances, every key of the plus-2
// entrances and a gate panel's own keys (without the apartment keys of its
// plus-1 entrances), then with spare slots empty slots up to the entrances'
// common-key quotas.
QString EncodeBvSection7(const PanelFileInput& in, ConfigLogs& logs);

// ---- The read screen ---------------------------------------------------------

QStringList DecodeBvSection5(const QString& sectionText);
QStringList DecodeBvSection6(const QString& sectionText);
QStringList DecodeBvSection7(const QString& sectionText);

// ---- The editor's key lists ----------------------------------------------------
//
// Each list holds the cells of one grid of the editor's key tab as texts, data
// row r (grid row r, from 1) being rows[r − 1]; the grid's title row and its
// row-number column are not held. The texts are what the grid shows and what
// the key import reads: a key as six upper-case hexadecimal digits, "FFFFFF"
// for an empty slot, an apartment index in decimal. A decoded list holds the
// slots its section holds, in slot order, then blankRows: the blank rows
// its grid shows for the slots the count announces but the section did not
// hold (no more than a whole file could hold), counted rather than built. A
// list read back from a grid holds every row itself. The encoders pass blank
// rows over. The numbers beside each grid (its spin edits) are held with it.

// Keys5: the keys written by the workstation, per apartment (section 5).
struct Keys5Row {
    QString apartment;  // column 1: the apartment's index in section 5, from 1
    QString key;        // column 2
    QString kind;       // column 3: MainSlotMark() or ExtraSlotMark()
};
struct Keys5List {
    qint64 kolSl5 = 0;  // KolSl5: RSum as read
    qint64 minSl = 0;   // MinSl: RMin, the main slots of an apartment with slots
    QList<Keys5Row> rows;
    qint64 blankRows = 0;  // after rows
    QString unplaced;  // L_Err: "осталось слотов RSum: " + the slots RSum announced but the
                       // section did not hold, or empty
};

// Keys6: the slots for keys enrolled at the panel (section 6).
struct Keys6Row {
    QString apartment;  // column 1: the apartment index, from 1; "0" for none
    QString key;        // column 2
};
struct Keys6List {
    qint64 kolSl6 = 0;  // KolSl6: RSum
    qint64 bitSl = 0;   // BitSl: LBit, the width of the apartment index
    QList<Keys6Row> rows;
    qint64 blankRows = 0;  // after rows
};

// Keys7: the common and gate keys (section 7), one key a row.
struct Keys7List {
    qint64 kolSl7 = 0;     // KolSl7: ASum
    qint64 reservKey = 0;  // ReservKey: the reserve byte
    QStringList keys;
    qint64 blankRows = 0;  // after keys
};

Keys5List DecodeBvKeys5(const QString& sectionText);
Keys6List DecodeBvKeys6(const QString& sectionText);
Keys7List DecodeBvKeys7(const QString& sectionText);

// The editor's save writes the three sections in this order.
//
// Section 5 from Keys5 and the Keys6 keys of apartments from 1 up to the
// last apartment that has a row: each apartment keeps as many slots as it has
// Keys5 rows (at least MinSl when it has any), its keys first, then the keys
// enrolled for it at the panel, then empty slots. Rows are taken by their
// apartment index, blank rows passed over. Sizes go to logs.result, the slot
// count and length to logs.detail.
QString EncodeBvKeys5(const Keys5List& keys5, const Keys6List& keys6, ConfigLogs& logs);
// Section 6 written back empty (max of its last used row and KolSl6 slots,
// its count and BitSl even without a slot): its keys moved into section 5,
// those without an apartment (index 0) go into leftoverKeys for section 7.
QString EncodeBvKeys6(const Keys6List& keys6, ConfigLogs& logs, QStringList& leftoverKeys);
// Section 7 from the leftover keys (lowest), the Keys7 keys and the empty
// slots of Keys7, KolSl7 slots at least.
QString EncodeBvKeys7(const Keys7List& keys7, const QStringList& leftoverKeys, ConfigLogs& logs);
