#pragma once
// Section 4 of call-panel and console files: which per-apartment flags the
// file carries, their default values, and the flags of every apartment.
//
// Payload: bits 0-15 the data mask (bit j − 1 set when flag j is carried),
// bits 16-31 the default mask (bit 15 + j the default of flag j), then one
// group of w bits per apartment, apartment 1 lowest, where w is the number of
// carried flags; a group holds the carried flags in ascending flag number
// from its lowest bit.
//
// The object keeps its choice as a 32-character flag selection (k_net.flbv
// for call panels, flpo for the console): characters 1-16 the data mask, 17-32
// the defaults. The groups come from the call-code pass of section 3, which
// walks the same apartments (CallCodeResult::callFlagText).
//
// The routines here serve both kinds; the write screen's wrappers of each
// kind (EncodeBvSection4, EncodePoSection4) carry its headings and names.

#include "config/CallCodeSection.h"
#include "config/ConfigRecords.h"

#include <QList>
#include <QString>
#include <QStringList>

constexpr int kFlagCount = 16;

// The data mask and the defaults of a flag selection, item 1 first.
QString FlagSelectionDataMask(const QString& selection);
QString FlagSelectionDefaults(const QString& selection);

// The payload from the two masks (item 1 first; a short mask is filled with
// '0', so flag 1 always lands in bit 0) and the apartment groups.
QString FlagSectionPayload(const QString& dataMask, const QString& defaultMask,
                           const QString& groups);

// The write screen's section 4 from the object's flag selection and the
// groups; logs the two masks, the caller's line on the groups' length and the
// payload length. The caller logs its headings first. A selection longer
// than the two masks, or with characters other than '0' and '1', is told
// under field, the column it comes from.
QString EncodeFlagSection(const QString& field, const QString& selection, const QString& groups,
                          const QString& groupsLengthLine, ConfigLogs& logs);

// The read screen's lines of a call-panel or console section 4; announced is
// the apartment count of section 2.
QStringList DecodeFlagMasks(const QString& sectionText, int announced);

// What the editor shows of a section 4.
struct FlagSectionValues {
    QString dataMask;     // item 1 first; empty when the section ends before it
    QString defaultMask;  // likewise
    // The apartment groups, apartment 1 first, each as it stands in the
    // section (its highest carried flag first). A short last byte may add
    // groups of padding after the real ones.
    QStringList groups;
};
FlagSectionValues DecodeFlagSection(const QString& sectionText);
// The editor's decoder: the masks, and the groups given as flag texts to the
// call-code records 1 .. records.size() in the order section 3's pass
// collected them (whole groups, however many flags), as stored, so that
// saving gives them back.
FlagSectionValues DecodeFlagRecords(const QString& sectionText, QList<CallCodeRecord>& records);
// The flag text of an apartment that has only the defaults: the default of
// every carried flag, in the form DecodeFlagRecords gives a group.
QString DefaultFlagGroup(const QString& dataMask, const QString& defaultMask);

// ---- The call panel ------------------------------------------------------------

// The write screen's section 4 of a panel; callFlagText as section 3 collected it.
QString EncodeBvSection4(const ConfigObjectRow& object, const PanelRow& panel,
                         const QString& callFlagText, int sepDevice, ConfigLogs& logs);
