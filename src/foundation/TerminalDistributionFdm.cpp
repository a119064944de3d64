// The terminal operations as the data module runs them: on the switch that is
// current in Q_MNpk, refreshing the datasets that show what was written.

#include "foundation/TFDM.h"
#include "foundation/TerminalDistribution.h"

namespace {

qint64 CurrentSwitchOfList() {
    if (!FDM || FDM->Q_MNpk->IsEmpty()) return 0;
    return FDM->Q_MNpk->FieldByName(QStringLiteral("k.id_pk")).AsLargeInt();
}

qint64 CurrentObjectOfList() {
    if (!FDM || FDM->Q_Net->IsEmpty()) return 0;
    return FDM->Q_Net->FieldByName(QStringLiteral("id_net")).AsLargeInt();
}

// The switch row, its apartments and ranges as written; Q_MNpk stays put.
void RefreshAfterTerminals() {
    const int recNo = FDM->Q_MNpk->RecNo();
    FDM->ReopenSwitches();
    FDM->ReopenApartments();
    if (recNo > 0) FDM->Q_MNpk->SetRecNo(recNo);
    if (FDM->Q_Diap->IsOpen()) FDM->Q_Diap->Reopen();
}

template <typename Op>
TerminalResult OnCurrentSwitch(Op op) {
    const qint64 idPk = CurrentSwitchOfList();
    if (idPk == 0) return {false, QStringLiteral("Коммутатор не выбран")};
    const TerminalResult r = op(FDM->ConnectionDB(), idPk);
    if (r.ok) RefreshAfterTerminals();
    return r;
}

}  // namespace

TerminalResult AssignTerminals(int mode, int first) {
    return OnCurrentSwitch(
        [&](QSqlDatabase db, qint64 idPk) { return AssignTerminals(db, idPk, mode, first); });
}

TerminalResult RecountTerminals(int callKind, int mode) {
    return OnCurrentSwitch(
        [&](QSqlDatabase db, qint64 idPk) { return RecountTerminals(db, idPk, callKind, mode); });
}

// Without an object there are no entrances to find fault with.
bool CheckApartmentNumbering() {
    const qint64 idNet = CurrentObjectOfList();
    return idNet == 0 || CheckApartmentNumbering(FDM->ConnectionDB(), idNet);
}

bool CheckApartmentCounts(int countKind, bool fix) {
    const qint64 idNet = CurrentObjectOfList();
    if (idNet == 0) return true;
    const bool ok = CheckApartmentCounts(FDM->ConnectionDB(), idNet, countKind, fix);
    if (fix && FDM->Q_Pod->IsOpen()) FDM->Q_Pod->Reopen();
    return ok;
}
