#pragma once
// The apartments of a call panel in the order its configuration file numbers
// them: the entrances wired to the panel (plus 1 or 3) by the network number
// of their switch, and within each entrance its rows by p_nom, handsets
// included. Sections 5 and 6 of the panel's file name an apartment by its
// 1-based position in this walk, counted across entrances; section 2 describes
// the same entrances.

#include <QList>
#include <QVariant>

class TFDM;

struct WalkEntrance {
    QVariant idPod;
    int switchNet = 0;  // k.n_net of the entrance's switch
    qint64 pFc = 0;     // the switch's first terminal
    qint64 ah = 0;
    QList<qint64> apartments;  // id_kvr, in order of p_nom
};

struct WalkApartment {
    int entrance = -1;  // index into PanelKeyWalk::entrances
    int position = -1;  // 0-based row of the entrance's apartments
};

struct PanelKeyWalk {
    QList<WalkEntrance> entrances;

    int ApartmentCount() const;
    // The apartment at 1-based walk position n; entrance -1 when there is none.
    WalkApartment At(qint64 n) const;
};

// The walk of the call panel the data module's Q_bv stands on, read through
// Q_Bpo and its apartments Q_Kvr1 (opened for the walk when closed, and
// closed again). Q_Bpo is left on its last entrance.
PanelKeyWalk ReadPanelKeyWalk(TFDM& dm);
