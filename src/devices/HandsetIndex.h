#pragma once
// The handset a call panel's security-call button rings: the console
// (k_bv.l_pok), an entrance handset serving as concierge (l_kns), or none.
// adrpk is the switch (id_pk) through which the handset is reached and adrcs
// its index, the p_nom of its row in that switch's entrance (-1: none). The
// console's handset of an entrance is the row with st_kvr "СПО".
//
// Each operation below sets these fields of one panel by one recount mode. A
// panel is written only when a value differs, and then its kf_pr advances as
// an edit does.

#include "foundation/HeldRows.h"

#include <QSqlDatabase>
#include <QString>

#include <functional>

enum class HandsetIndexMode {
    Individual = 0,     // keep each panel's own choice where it still holds
    SecurityPost = 1,   // every panel rings the console's handset
    Clear = 2,          // no panel rings anything
    KeepConcierge = 3,  // concierges stay, the others ring the console (or nothing)
};

struct HandsetIndexResult {
    bool ok = false;
    bool written = false;
    int adrcs = -1;       // the index the operation computed, for the editor to show
    qint64 switchId = 0;  // the wired switch it worked through (0: none)
    QString error;
};

// The switch an operation works through is switchHint when the panel is wired
// to it, else the panel's wired switch with the lowest network address; mode 3
// takes the panel's own adrpk first, mode 2 always the lowest address.
HandsetIndexResult DBkvEdit(QSqlDatabase db, qint64 idBv, qint64 switchHint = 0);
HandsetIndexResult IndexToSecurityPost(QSqlDatabase db, qint64 idBv, qint64 switchHint = 0);
// A panel without a wired switch gets "none" too (adrpk 0, adrcs -1).
HandsetIndexResult IndexClear(QSqlDatabase db, qint64 idBv);
HandsetIndexResult IndexKeepConcierge(QSqlDatabase db, qint64 idBv, qint64 switchHint = 0);
HandsetIndexResult ApplyHandsetIndex(QSqlDatabase db, qint64 idBv, HandsetIndexMode mode,
                                     qint64 switchHint = 0);

// The gauge of a long loop: value of maximum, or hidden.
using IndexProgressFn = std::function<void(int value, int maximum, bool visible)>;

struct RecountResult {
    bool ok = false;
    int written = 0;  // panels whose fields changed
    QString error;
};

// Applies one mode to every call panel of the object, in panel order (kind,
// then network number), in one transaction. Mode 1 leaves every panel alone
// when the object has no console.
RecountResult RecountIndices(QSqlDatabase db, qint64 idNet, HandsetIndexMode mode,
                             const IndexProgressFn& progress = {});

// ---- data-module operations --------------------------------------------------
// On the current panel of FDM->Q_bv through the switch Q_Bpo stands on, or on
// every panel of object idNet (the one the editor shows). Afterwards Q_bv is
// back on its panel and Q_Bpo on the switch the operation worked through.

HandsetIndexResult ApplyHandsetIndex(HandsetIndexMode mode);
// Nothing is written once a row of held (what the editor shows) is gone;
// that is told, and the result is not ok and has no error.
RecountResult RecountObjectIndices(qint64 idNet, HandsetIndexMode mode,
                                   const IndexProgressFn& progress = {},
                                   const HeldRows& held = HeldRows());
