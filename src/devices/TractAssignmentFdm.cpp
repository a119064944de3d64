// Tract assignment as the switch editor and the synchronisation run it: on the
// switch that is current in Q_MNpk, or on every switch of the current object.

#include "devices/DeviceChange.h"
#include "devices/TractAssignment.h"
#include "foundation/TFDM.h"

namespace {

// The wired panels of the switch and the matrix links as written.
TractResult ShownAssignment(const TractResult& r) {
    if (!r.ok) ReportFailure(r.error);
    for (Dataset* ds : {FDM->Q_MNbv, FDM->Q_mbv})
        if (ds->IsOpen()) ds->Reopen();
    return r;
}

}  // namespace

SwitchColumn CurrentSwitchColumn() {
    if (!FDM || !HasCurrentRow(FDM->Q_MNpk)) return {};
    Dataset* sw = FDM->Q_MNpk;
    return {sw->FieldByName(QStringLiteral("k.id_pk")).AsLargeInt(),
            sw->FieldByName(QStringLiteral("m.id_net")).AsLargeInt(),
            sw->FieldByName(QStringLiteral("n_pk")).AsInt()};
}

TractResult AssignTracts() {
    const SwitchColumn column = CurrentSwitchColumn();
    if (column.idPk == 0) return {};
    return ShownAssignment(AssignTracts(FDM->ConnectionDB(), column));
}

TractResult AssignTractsForObject() {
    if (!FDM || !HasCurrentRow(FDM->Q_Net)) return {};
    const qint64 idNet = FDM->Q_Net->FieldByName(QStringLiteral("id_net")).AsLargeInt();
    return ShownAssignment(AssignTractsForObject(FDM->ConnectionDB(), idNet));
}
