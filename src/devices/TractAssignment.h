#pragma once
// Tracts (audio inputs) of a switch for the call panels wired to it in the
// access matrix, with their two camera masks: mk_bv (the camera counts among
// the switch's cameras) and mk_po (shown on the console in panorama mode).
// Only panels without a tract (m_bv.tract 0) receive one: entrance panels
// first, from tract 1, then gate panels after them; a switch with more panels
// than tracts puts the remaining gates on shared tracts without masks.

#include <QList>
#include <QSqlDatabase>
#include <QString>

// One wired panel of the switch's matrix column (an m_bv row).
struct TractPanel {
    qint64 rowid = 0;
    int nNt0 = 0;
    int tract = 0;
    int mkBv = 0;
    int mkPo = 0;
};

// A panel of the switch as it stood before the assignment: its kind
// (0 entrance, 1 gate) and tract.
struct WiredTract {
    int bvType = 0;
    int tract = 0;
};

struct TractPlan {
    // More than 7 entrance panels with a gate: nothing is assigned.
    bool refused = false;
    QString caption;
    QString text;
    // The panels with their tracts and masks after the assignment.
    QList<TractPanel> entrances;
    QList<TractPanel> gates;
};

// The assignment for entrance panels E and gate panels G (each in n_bv order)
// of a switch whose wired panels held the tracts in wired, with kolTractPK
// tracts. No tract is ever above kolTractPK nor above 8.
TractPlan PlanTracts(const QList<TractPanel>& entrances, const QList<TractPanel>& gates,
                     const QList<WiredTract>& wired, int kolTractPK);

// A switch as the switch screens see it: its record and its matrix column.
struct SwitchColumn {
    qint64 idPk = 0;
    qint64 idNet = 0;
    int nPk = 0;
};

// The switches of an object with their matrix columns (paired by network
// number), in house and entrance order.
QList<SwitchColumn> ObjectSwitchColumns(QSqlDatabase db, qint64 idNet, QString* error = nullptr);
// The column of one switch; nPk 0 when it has none.
SwitchColumn SwitchColumnOf(QSqlDatabase db, qint64 idPk, QString* error = nullptr);

struct TractResult {
    bool ok = false;
    bool refused = false;
    QString error;
};

// Assigns tracts on one switch with KolTractPK from t_global and writes every
// assigned m_bv row in one transaction. A refusal is shown as a message
// (caption "Для БВ" + the first entrance panel's number + ".") and changes
// nothing.
TractResult AssignTracts(QSqlDatabase db, const SwitchColumn& sw);
// The same for every switch of the object, in one transaction; a refused
// switch keeps its tracts and the others go on.
TractResult AssignTractsForObject(QSqlDatabase db, qint64 idNet);

// The tract count of the installation (t_global.KolTractPK; 8 when unset).
int TractCount(QSqlDatabase db);

// ---- data-module operations --------------------------------------------------
// On the current switch of FDM->Q_MNpk, or every switch of the current object;
// afterwards Q_MNbv and the call-panel group show the tracts.

// The current switch of Q_MNpk with its matrix column (idPk 0 when none).
SwitchColumn CurrentSwitchColumn();
TractResult AssignTracts();
TractResult AssignTractsForObject();
