#pragma once
// Section 5 of the console file: for each entry of the console's call-code
// list (section 3), whether it switches between day and night mode at times
// of its own, and at which. Most entries have none and many share a pair of
// times, so the section is compressed.
//
// Payload, from bit 0: the layout FM0 (4 bits: 0 list, 1 mask, 2..15 runs of
// that width), the table's unit flag, the explicit values' unit flag (1: a
// value is 8 bits in tens of minutes, 0: 11 bits in minutes), VSZ (10 bits,
// pairs in the table), BPI (4 bits, the width of an entry number), BPV (4 bits,
// the width of a table index), the table (day, night of each pair), then the
// body. An entry's times: with a table, a PFX bit (0: a BPV-bit table index,
// 1: explicit day and night), without one the two explicit values. Bodies:
// - list: per entry with times its BPI-bit position and times, closed by BPI
//   one-bits;
// - mask: per entry a bit, 1 followed by its times;
// - runs: run lengths, alternately of entries with times (each followed by
//   its times) and without, the first with times; the runs may end in zero
//   runs (two in a row ending on a run without times), after which the other
//   entries follow as a list.
// The writer picks the layout that takes the fewest bits.

#include "config/CallCodeSection.h"
#include "config/ConfigRecords.h"

#include <QList>
#include <QString>
#include <QStringList>

// From this many entries on no section 5 is built.
constexpr int kPoTimesMaxEntries = 32767;

// The write screen's section 5 from the time mask and words the console's
// call-code pass collected (PoTimeMask, PoTimeWords).
QString EncodePoSection5(const QString& poTimeMask, const QList<qint64>& poTimeWords,
                         ConfigLogs& logs);
// The editor's twin on the mask and words PackCallCodes filled; only the size line is logged.
QString EncodePoCodeTimes(const QString& poTimeMask, const QList<qint64>& poTimeWords,
                          QStringList* log);

// The read screen's lines. entries is the number of call-code entries the
// file announces (section 2), 0 when unknown; an entry number beyond it is
// rejected with a line, and so is a table index beyond the table; past the
// first 20 rejections one line at the end gives the number of the others.
QStringList DecodePoSection5(const QString& sectionText, int entries);
// The editor's decoder: writes each entry's day and night time ("hh:mm") into
// its record. Entry numbers beyond the records and table indexes beyond the
// table are left out; the returned lines say which (the first 20, then how
// many more).
QStringList DecodePoCodeTimes(const QString& sectionText, QList<CallCodeRecord>& records);
