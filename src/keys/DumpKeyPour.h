#pragma once
// Keys read from a dump file poured into the key register of one entrance of
// the current object: a БЭКУ dump into its common keys, a Мирель dump into
// its common keys or, index by index, into its apartments.
//
// A pour is written in one transaction, each key behind a savepoint of its
// own: a key that cannot be written is left out ("повтор") and the pour goes
// on; an interrupted pour leaves the register as it was. A key already in
// its place is not entered again, so a second pour of the same dump enters
// nothing. Where keys were entered, the call panels that carry the entrance's
// keys are marked for new configuration files, as the key screen marks them.

#include "foundation/TFDM.h"  // ProgressFn
#include "keys/MirelDumpFile.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>

// One line of the entrance lists, with the entrance it stands for: lines of
// two entrances may read alike.
struct DumpEntrance {
    QString line;  // "дом " + house name (or prefix) + " пд.№ " + number in 2 digits
    QVariant idPod;
    QVariant idDom;
};

// The entrances of the object, houses in the order they were made, entrances
// by number. False when the database fails (error says why).
bool ReadDumpEntrances(TFDM& dm, qint64 idNet, QList<DumpEntrance>& entrances, QString* error);

struct DumpPourResult {
    int entered = 0;  // InBQKey / InCpKey
    QStringList console;
    bool failed = false;  // nothing was written (error says why)
    QString error;
};

// Every key of a БЭКУ dump (6 or 8 digits; the last 6 are the panel's) into
// the entrance's common keys, labelled by the count entered, "0001" on; a key
// already among the entrance's apartment or common keys is not entered.
DumpPourResult PourBekuKeys(TFDM& dm, const QVariant& idPod, const QStringList& keys,
                            const ProgressFn& progress = {});

// What the pour-conditions dialog is told of a Мирель dump.
struct MirelPourSource {
    int indexCount = 0;  // KolIndIsx: the last key row's index + 1
    int keyCount = 0;    // KolKeys
    int firstIndex = 0;  // Ind_1: the first key row's index
};
MirelPourSource MirelPourSourceOf(const QList<MirelKeyRow>& rows);

// The operator's choice in the dialog.
struct MirelPourChoice {
    bool common = false;  // CBOb
    int ind1 = 0;         // Ind_1
    int indPo = 0;        // Ind_po
    int kvN1 = 1;         // Kv_n1
};

// Puts the data module's Q_Dom and Q_DPd on the entrance, as the dialog
// reads it; false when either is missing.
bool PositionDumpEntrance(TFDM& dm, const DumpEntrance& entrance);

// A Мирель dump into the entrance: "В общие", rows Ind_1 .. Ind_po (row
// numbers, within the rows there are) as common keys labelled by their row
// number; else source index Ind_1 + t into the apartment of order number
// Kv_n1 + t, labelled by the count entered into that apartment, a key the
// apartment holds already not entered again. The rows of an index without
// an apartment are passed over and logged.
DumpPourResult PourMirelKeys(TFDM& dm, const DumpEntrance& entrance, const QList<MirelKeyRow>& rows,
                             const MirelPourChoice& choice, const ProgressFn& progress = {});
