#pragma once
// The keys of an opened call-panel file taken into the key register: the
// keys of sections 5 and 6 into the apartments of the panel's walk, those of
// section 7 into the common keys of its entrance or, for a gate panel, into
// the gate's keys. A key already registered in its place is confirmed (its
// status marked), any other is entered with a mark of its origin.
//
// The whole entry is written in one transaction, each key behind a savepoint
// of its own: a key that cannot be written is left out and the entry goes
// on; an interrupted entry leaves the register as it was. The call panels
// that carry the changed keys are marked for new configuration files, as the
// key screen marks them, but only where a key was entered: confirmations
// change no file.

#include "config/PanelKeySections.h"
#include "foundation/TFDM.h"  // ProgressFn
#include "keys/ConfigPanelSearch.h"
#include "keys/PanelKeyWalk.h"

#include <QList>
#include <QString>

// Status marks of the keys taken from a file.
namespace ConfigKeyMarks {
QString Section5();     // "CNF "
QString Confirmed();    // "АРМ+CNF ": an existing key entered on the key screen
QString Section6();     // "CNF 6c " (Latin c)
QString NoApartment();  // "CNF несущ.кв. "
QString Common7();      // "CNF 7с o " (Cyrillic с, Latin o)
QString Gate7();        // "CNF 7с k " (Cyrillic с, Latin k)
// The mark an existing key gets on confirmation: "АРМ+CNF " when its status
// begins with "АРМ", else "CNF ".
QString ForExisting(const QString& oldStatus);
}  // namespace ConfigKeyMarks

// "Ключи с БВ по квартирам" (sections 5 and 6) and "Общие ключи" (section 7,
// and the section-5 rows left after the apartment walk).
struct ConfigKeyEntryOptions {
    bool apartments = true;  // CB_Kv
    bool common = true;      // CB_Ob
};

enum class ImportedKeyKind {
    Section5,     // a key of an apartment, written by the workstation
    Section6,     // a key of an apartment, enrolled at the panel
    NoApartment,  // a section-6 key whose apartment is not in the walk
    Common,       // section 7 of an entrance panel
    Gate,         // section 7 of a gate panel
};

struct ImportedKey {
    ImportedKeyKind kind = ImportedKeyKind::Section5;
    QString key;           // 6 upper-case hexadecimal digits, never FFFFFF
    qint64 apartment = 0;  // 1-based walk position (sections 5 and 6)
    int entrance = -1;     // walk entrance of a common key
    int section = 5;       // where it was read...
    int row = 0;           // ...and its 1-based grid row
};

struct ConfigKeyPlan {
    QList<ImportedKey> keys;
    QString error;  // an index cell that is not a whole number: nothing is entered
};

// The keys the lists hold and where each goes, without touching the
// database. apartmentCounts: the apartments of each walk entrance. Section 7
// goes to the last entrance of the walk (a panel for which "Общие ключи" may
// be checked serves one).
ConfigKeyPlan PlanConfigKeyEntry(const QList<int>& apartmentCounts, const Keys5List& keys5,
                                 const Keys6List& keys6, const Keys7List& keys7,
                                 const ConfigKeyEntryOptions& options, bool gatePanel);

struct ConfigKeyEntryResult {
    int entered = 0;
    int confirmed = 0;
    bool failed = false;  // a cell or the database refused: nothing was written
    QString error;

    QString FoundText() const;  // L_Found: "Внесено ключей: N." or empty
    QString KeysText() const;   // L_Keys: "Подтверждено ключей: N." or empty
};

// Enters the keys into the panel ident.idBv of the current object (nothing
// for a panel that is not there). ident.typeBv tells a gate file from an
// entrance panel's. The gauge runs over the slots of the three sections; a
// cell or database failure is told to the operator. Leaves Q_key1 and Q_Kvr1
// closed and the key datasets reopened.
ConfigKeyEntryResult EnterConfigKeys(TFDM& dm, const ConfigFileIdent& ident, const Keys5List& keys5,
                                     const Keys6List& keys6, const Keys7List& keys7,
                                     const ConfigKeyEntryOptions& options, int sepDevice,
                                     const ProgressFn& progress = {});
