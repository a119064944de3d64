#pragma once
// Sections 2 to 7 of a switch file: the call panels of each audio tract (2),
// the callback mask (3), the call and ring-back melodies (4), the handset
// ranges, always written empty (5), the blocking parameters with the
// blocked-handset mask (6) and the video tract with the video mask (7).
//
// Each section has three kinds of routine here:
// - EncodePkSectionN: the write screen's encoder, from plain database records,
//   logging every value into logs.detail and the section size into logs.result;
// - DecodePkSectionN: the read screen's decoder, returning its log lines;
// - DecodePk<Name> / EncodePk<Name>: the editor's decoder into a record its
//   controls show, and its encoder from such a record.
// Decoders take the section text as TakeSection returns it (payload + version
// field) and never read past its start: a field that is not all there is not
// taken, and where a count promises more than the section holds, decoding
// stops with ConfigShortSectionText().
//
// Masks hold one bit per k_kvr row of the switch's entrance in p_nom order,
// apartment 1 in the lowest payload bit. In the records of this unit a mask is
// a text with apartment 1 first, where '1' is set and any other character not.

#include "config/ConfigRecords.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <array>
#include <optional>

// A decoder's line for a count that promises more bytes than the section holds.
QString ConfigShortSectionText();

// ---- Section 2: call panels by tract -------------------------------------------

constexpr int kPkTractCount = 15;       // tract lists in a section
constexpr int kPkTractGridColumns = 8;  // panels per tract the editor has room for
constexpr qint64 kTractEnd = 0xFF;      // the byte that closes a tract list

// tractPanels[t - 1]: network numbers of the panels wired on tract t, ascending.
// Fifteen lists are written, each closed by FF, whatever the input holds.
QString EncodePkSection2(const QList<QList<int>>& tractPanels, int sepDevice, ConfigLogs& logs);
QStringList DecodePkSection2(const QString& sectionText);

// The editor's tract grid: cells[t][c] is the shown number (network number
// − 64) of the c-th panel of tract t + 1, empty where there is none.
struct PkTractGrid {
    std::array<std::array<QString, kPkTractGridColumns>, kPkTractCount> cells;
    QStringList warnings;  // entries the grid has no room for, dropped
};
PkTractGrid DecodePkTract(const QString& sectionText);
// Cells that are blank are skipped; a cell that is not a whole number, or one
// whose network number (number + sepDevice + 1) is outside 0..255, refuses
// the save with error set.
bool EncodePkTract(const PkTractGrid& grid, int sepDevice, QString& section, QStringList* log,
                   QString* error);

// ---- Section 3: callback mask ----------------------------------------------------

// Also builds the video mask (payload bits from l_vid) that section 7 completes.
QString EncodePkSection3(const QList<SwitchApartmentRow>& rows, QString& videoMask,
                         ConfigLogs& logs);
QStringList DecodePkSection3(const QString& sectionText);
// The callback mask, apartment 1 first (the byte padding follows as '0').
QString DecodePkCallbackMask(const QString& sectionText);
// Section 3 from the callback mask; videoMask gets the payload bits of the
// video mask when videoOn, else it is emptied.
QString EncodePkCallbackMask(const QString& callback, bool videoOn, const QString& video,
                             QString& videoMask, QStringList* log);

// ---- Section 4: melodies ---------------------------------------------------------

// A melody with notes is its count byte and (duration, pitch) pairs; one not
// ending on a pause gets the pause (7, 0). A missing or empty call melody ahead
// of a ring-back melody is written as a zero count, so that devices do not
// take the ring-back for the call melody. A melody of 255 notes or more is
// left out with a line in logs.result. Without a call melody the section is
// empty; without a ring-back melody the call melody is written twice.
QString EncodePkSection4(const std::optional<MelodyRow>& call,
                         const std::optional<MelodyRow>& ringBack, ConfigLogs& logs);
QStringList DecodePkSection4(const QString& sectionText);

struct PkMelodies {
    int present = 0;  // count bytes found: 0, 1 or 2
    QList<MelodyNoteRow> call;
    QList<MelodyNoteRow> ringBack;
    QString error;  // ConfigShortSectionText() when notes were missing
};
PkMelodies DecodePkMelodies(const QString& sectionText);

// One note row of the editor's melody grids.
struct MelodyCells {
    QString leng;
    QString gerc;
};
// Rows with a blank cell are skipped. Both counts are always written, without
// a closing pause. A value that is not a number in 0..255, or more than
// kMaxMelodyNotes notes in one melody, refuses the save with error set.
constexpr int kMaxMelodyNotes = 254;
// The editor's rows of a melody that are notes (neither cell blank), as the
// save counts them; and why a melody of more than kMaxMelodyNotes is refused.
bool IsMelodyNoteRow(const MelodyCells& row);
QString MelodyTooLongText(const QString& title);
bool EncodePkMelodies(const QList<MelodyCells>& call, const QList<MelodyCells>& ringBack,
                      QString& section, QStringList* log, QString* error);

// ---- Section 5: handset ranges ---------------------------------------------------

// Always the empty section (bytes 00 00).
QString EncodePkSection5(ConfigLogs& logs);
QStringList DecodePkSection5(const QString& sectionText);

// One range entry; a field the section ended before is -1.
struct PkHandsetRange {
    qint64 count = -1;     // apartments
    qint64 terminal = -1;  // first terminal
    int mode = -1;         // 0 "лин", 1 "цикл"
    qint64 switchNo = -1;
};
struct PkHandsetRanges {
    bool enabled = false;  // only a section of version 2 carries ranges
    QList<PkHandsetRange> rows;
};
PkHandsetRanges DecodePkHandsetRanges(const QString& sectionText);
// The editor writes no ranges either: the empty section.
QString EncodePkHandsetRanges(QStringList* log);

// ---- Section 6: handset blocking -------------------------------------------------

// Without a parameter set the section is empty.
QString EncodePkSection6(const std::optional<PkParamSetRow>& set, const SwitchRow& sw,
                         const QList<SwitchApartmentRow>& rows, ConfigLogs& logs);
QStringList DecodePkSection6(const QString& sectionText);

// Values a short section did not hold are -1.
struct PkBlocking {
    qint64 pto = -1;
    qint64 edge = -1;
    qint64 reserve = -1;
    qint64 edt = -1;
    qint64 det = -1;
    QString mask;  // blocked handsets, apartment 1 first
};
PkBlocking DecodePkBlocking(const QString& sectionText);
QString EncodePkBlocking(const PkBlocking& values, QStringList* log);

// ---- Section 7: video ------------------------------------------------------------

// videoMask: the payload bits section 3's encoder built. n_vid NULL or below 1
// gives the empty section.
QString EncodePkSection7(const SwitchRow& sw, const QString& videoMask, ConfigLogs& logs);
QStringList DecodePkSection7(const QString& sectionText);

struct PkVideo {
    qint64 input = -1;  // video input number (byte + 1, 255 stays 255); -1 none
    QString mask;       // video handsets, apartment 1 first
};
PkVideo DecodePkVideo(const QString& sectionText);
// videoMask as EncodePkCallbackMask returned it; written only when it is not
// empty and videoInput is above 0, else the section is empty.
QString EncodePkVideo(const QString& videoMask, int videoInput, QStringList* log);
