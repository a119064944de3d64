#pragma once
// Section 2 of a call-panel file: the entrances the panel serves.
//
// Payload: bits 0 .. S−1 the entrance mask (bit n set when the switch with
// network number n serves one of the panel's entrances; S is SepDevice), bit
// S the reserve bit (the panel's lrez), then one 32-bit block per served
// entrance that has apartments, in ascending switch number, the first lowest:
// 16 bits apartment count, 8 bits AI (the switch's first terminal − 1, 99 when
// that is −1), 8 bits AH.
//
// An entrance without apartments keeps its mask bit but has no block; the
// devices receive the sections that way. The decoders hand the blocks to the
// set mask bits in ascending order, as the blocks were written.

#include "config/ConfigRecords.h"

#include <QList>
#include <QString>
#include <QStringList>

constexpr qint64 kBvNoFirstTerminal = 99;  // AI of a switch whose first terminal is 0

// The increment of the number of the entrance's first apartment (k_pk.p_fc)
// as the switch's FC and the panels' AI carry it: modulo 100, its range, so
// that the two files of an entrance agree whatever number the file holds.
constexpr qint64 kFirstApartmentIncrements = 100;
qint64 FirstApartmentIncrement(qint64 pFc);

// The AI of an entrance block from its switch's first terminal p_fc.
qint64 BvEntranceAi(qint64 pFc);

// The write screen's section 2 of a panel.
QString EncodeBvSection2(const PanelRow& panel, const QList<PanelEntranceRow>& entrances,
                         int sepDevice, ConfigLogs& logs);

// The read screen's lines; apartmentTotal gets the sum of the blocks' counts,
// which the call-code and flag decoders are told.
QStringList DecodeBvSection2(const QString& sectionText, int sepDevice, int* apartmentTotal);

// One column of the editor's entrance grid MsPod (column c for switch c − 1):
// the texts of its rows 1 to 4.
struct BvEntranceColumn {
    QString served;  // "1" or "0"; blank when the section holds no mask
    QString count;   // apartments; blank when the entrance got no block
    QString ai;
    QString ah;
};

struct BvEntranceGrid {
    QList<BvEntranceColumn> columns;  // SepDevice columns, switch 0 first
    bool hasReserveBit = false;       // the section carried the reserve bit...
    bool reserveBit = false;          // ...and this is ReservBv
    QString mpd;                      // the entrance mask, switch 0 first (hidden Mpd)
    QString mpp;                      // the rest of the section as it stands (hidden Mpp)
    int apartmentTotal = 0;           // sum of the counts: the call-code record count
    int servedEntrances = 0;          // set mask bits
    QString warning;                  // blocks the mask has no entrance left for
};

// The editor's decoder.
BvEntranceGrid DecodeBvEntranceMask(const QString& sectionText, int sepDevice);
// The editor's encoder from its grid: a column marked "1" sets its mask bit
// and, when its count is above 0, writes its block. False with error set,
// and no section, when a count, AI or AH cell is not a whole number or a
// count does not fit its 16 bits.
bool EncodeBvEntranceMask(const BvEntranceGrid& grid, bool reserveBit, int sepDevice,
                          QString& section, QStringList* log, QString* error);
