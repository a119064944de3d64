#pragma once
// Sections 2, 4 and 6 of the security-post console file: every entrance of the
// object with its apartment count and the call panels wired to it (2), the
// per-apartment flag masks (4) and the switch and handset index of every
// console handset hanging on a switch (6).
//
// S is SepDevice (63 by default), the number of possible switch numbers.
// - Section 2: S bits entrance mask (switch n in bit n), the reserve bit
//   (lrez), then per switch of the mask, ascending: 16 bits apartment count and
//   an S + 1 bit call-panel mask (panel b, network number S + 1 + b, in bit b).
// - Section 4: the flag section of the call panel (FlagSection.h), one group
//   per apartment of section 3.
// - Section 6: NUM (8 bits), then per entry 10 bits handset index (the
//   apartment's 0-based place in its entrance) under 6 bits switch number.
//
// As elsewhere: EncodePoSectionN for the write screen (logs.detail gets the
// values, logs.result the size), DecodePoSectionN for the read screen's lines,
// and the editor's decoders and encoders. Decoders never read past the start
// of a section text.

#include "config/CallCodeSection.h"
#include "config/ConfigRecords.h"

#include <QList>
#include <QString>
#include <QStringList>

// ---- Section 2: entrances ---------------------------------------------------------

// A block for every switch, also one without apartments (count 0).
QString EncodePoSection2(const QList<ConsoleSwitchRow>& switches, bool lrez, int sepDevice,
                         ConfigLogs& logs);
// apartmentTotal gets the sum of the counts, which sections 3 to 5 announce.
QStringList DecodePoSection2(const QString& sectionText, int sepDevice,
                             int* apartmentTotal = nullptr);

// The editor's entrance grid: one column per switch number 0 .. S - 1.
struct PoEntranceGrid {
    QString switchMask;      // S characters, switch 0 first, '1' for a switch of the object
    bool reserve = false;    // the reserve bit
    QList<int> apartments;   // apartment count per switch
    QStringList panelMasks;  // per switch S + 1 characters, panel 0 first
    int apartmentTotal = 0;
    QStringList warnings;  // blocks the mask has no switch for, dropped
};
PoEntranceGrid DecodePoEntranceMask(const QString& sectionText, int sepDevice);
// A block for every switch of the mask, as the write screen writes them, so
// that the blocks stay with their switches when an entrance has no apartments.
QString EncodePoEntranceMask(const PoEntranceGrid& grid, int sepDevice, QStringList* log);

// ---- Section 4: apartment flags ---------------------------------------------------

// flpo: the object's console flag selection (data mask in characters 1-16,
// defaults in 17-32); callFlagText: the groups section 3's pass collected.
// The read screen and the editor decode it with the flag section's
// DecodeFlagMasks and DecodeFlagRecords.
QString EncodePoSection4(const QString& flpo, const QString& callFlagText, ConfigLogs& logs);

// ---- Section 6: console handsets on switches --------------------------------------

constexpr int kPoHandsetsMax = 255;  // NUM is a byte

// False, with the operator told, when the handsets do not fit: more than 255
// of them, or an index or switch number wider than its field. The console then
// gets no file.
bool EncodePoSection6(const QList<ConsoleSwitchRow>& switches, QString& section, ConfigLogs& logs);
QStringList DecodePoSection6(const QString& sectionText);

// One column of the editor's grid: the switch number and the handset index + 1.
struct PoHandsetCells {
    QString switchNo;
    QString handset;
};
struct PoHandsets {
    int count = 0;                  // NUM as the section gives it
    QList<PoHandsetCells> entries;  // count columns; blank where the section ends early
};
PoHandsets DecodePoSysAddr(const QString& sectionText);
// A cell that is not a whole number, a switch outside 0..63, a handset outside
// 1..1024 or more than 255 columns refuses the save with error set.
bool EncodePoSysAddr(const QList<PoHandsetCells>& entries, QString& section, QStringList* log,
                     QString* error);
