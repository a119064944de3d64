#pragma once
// Section 0 of a call-panel file: the panel's main parameters (sound level,
// door-open time, eight switches, key filter, a timeout, the ordinal of its
// handset at the security-post console and ten door-open codes), held in one
// record of fixed-width bit texts that the write screen, the read screen and
// the editor share.
//
// Payload, from its first byte: sl in the low and ot (door-open seconds − 1)
// in the high nibble; the switches bell (bit 0), auto, nrcs, dsoc, ph_0, ph_1,
// scud, lrez (bit 7); kfilt; blato; adrcs (2 bytes, low first); ten door-open
// codes of 17 bits each; then Tail. Built from the database: 218 bits, 28
// payload bytes, length word 29.

#include "config/ConfigRecords.h"
#include "config/EditorCell.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <array>

// Every field but Tail is a bit text of its width, most significant bit first;
// the codes are their 17-bit fields. A field a short section could not fill
// holds blanks (a switch: the empty text).
struct TBvParams {
    QString sl;     // 4 bits: sound level
    QString ot;     // 4 bits: door-open time in seconds − 1
    QString bell;   // 1 bit each: ring-back allowed
    QString auto_;  // (auto) keys may be added at the panel
    QString nrcs;   // redirect on a wrongly dialled code
    QString dsoc;   // 1: the door-open codes are shown, not hidden
    QString ph_0;   // automatic backlight control off
    QString ph_1;   // backlight on
    QString scud;   // journal on
    QString lrez;   // reserve bit
    QString kfilt;  // 8 bits: key filter mask
    QString blato;  // 8 bits: timeout on the extreme levels
    QString adrcs;  // 16 bits: the console's ordinal of the panel's handset, 65535 none
    std::array<QString, 10> ocode;  // door-open codes 0..9
    QString Tail;                   // payload bits after the known fields, kept for writing back
};

constexpr int kBvParamsFixedBits = 218;
constexpr int kBvOpenCodes = 10;
constexpr qint64 kBvNoHandset = 65535;

// Every fixed-width field blank, every switch empty, Tail empty.
void InitBvParams(TBvParams& p);

// The ordinal the console uses for the panel's handset: the adrcs-th
// apartment of the entrance whose switch is adrpk, counted from 0 across the
// panel's entrances in matrix-column order and their apartments in p_nom
// order. kBvNoHandset when adrpk or adrcs is not set. When adrpk names none of
// the entrances the value is the count of all their apartments (the devices
// rely on that) and matched is false.
qint64 BvConsoleHandsetOrdinal(const PanelRow& panel, const QList<PanelEntranceRow>& entrances,
                               bool* matched = nullptr);

// The 17-bit field of a door-open code text: empty is 111111 (so is "111111",
// the empty code), a code beginning with '0' is left-padded with '1' to six
// digits, any other code is its value. False for a text that is not at most
// six decimal digits, or whose value would fill all 17 bits or more: a field
// of all ones is an empty slot to the panel.
bool BvOpenCodeField(const QString& code, QString& field);
// The code text of a field; the empty text for a blank or empty-code field.
QString BvOpenCodeText(const QString& field);
// The message for a door-open code that cannot be written.
QString BvOpenCodeErrorText(int index, const QString& code);

// The record of a panel (entrances as the write screen's panel list gives
// them). False with error set when a door-open code cannot be written. A
// value wider than its field keeps its low bits (a negative blato is 31) and
// is told in logs when given.
bool BvParamsFromDB(TBvParams& p, const PanelRow& panel, const QList<PanelEntranceRow>& entrances,
                    QString* error = nullptr, ConfigLogs* logs = nullptr);
// The payload text: Tail, then the codes from 9 back to 0, then the fields
// from adrcs back to sl.
QString BvParamsToBits(const TBvParams& p);
// Decodes a section text (payload + version field); fields that do not fit
// stay blank, and bits after the known fields go to Tail.
void BvParamsFromBits(const QString& sectionText, TBvParams& p);

// The write screen's section 0. consoleHandsetOrdinal gets the adrcs value,
// which section 3 compares with its apartments. A door-open code that cannot
// be written is told to the operator and gives false: the panel gets no file.
bool EncodeBvSection0(const PanelRow& panel, const QList<PanelEntranceRow>& entrances,
                      int sepDevice, QString& section, qint64& consoleHandsetOrdinal,
                      ConfigLogs& logs);
// The read screen's lines for a section 0 text.
QStringList DecodeBvSection0(const QString& sectionText);

// The controls of the editor's call-panel tab, by their names.
struct BvParamsValues {
    qint64 SL = 0;
    qint64 OT = 1;  // door-open time in seconds
    bool Bell = false;
    bool Auto = false;
    bool Nrcs = false;
    bool DSoc = false;  // "secret display of the codes": checked when the dsoc bit is 0
    bool PH_0 = false;
    bool PH_1 = false;
    bool Scud = false;
    bool ReservBv = false;  // lrez
    qint64 KFilt = 0;
    qint64 BlatoBv = 0;
    qint64 ADRCS = -1;  // -1: no handset
    // Grid Ocode (5 columns x 2 rows): code i in column i mod 5, row i div 5.
    std::array<QString, kBvOpenCodes> Ocode;
    // The codes as the file held them: a code left as shown goes back with
    // the file's bits, whatever value its text would give.
    std::array<FieldAsRead, kBvOpenCodes> OcodeAsRead;
    QString MBv0;  // hidden memo: the Tail, written back unchanged
};
BvParamsValues DecodeBvParams(const QString& sectionText);
// False with error set, and no section, when an edited door-open code cell is
// not a number of at most five digits.
bool EncodeBvParams(const BvParamsValues& values, QString& section, QStringList* log,
                    QString* error);
