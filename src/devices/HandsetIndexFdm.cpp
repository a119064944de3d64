// The handset-index operations as the call-panel editor and the
// synchronisation run them: on the panel that is current in Q_bv.

#include "devices/DeviceChange.h"
#include "devices/HandsetIndex.h"
#include "foundation/TFDM.h"

namespace {

// Q_bv back on its panel with its details, Q_Bpo on the switch worked through.
void ShowPanel(int recNo, qint64 switchId) {
    FDM->Q_bv->Reopen();
    if (recNo > 0) FDM->Q_bv->SetRecNo(recNo);
    if (switchId > 0) FDM->Q_Bpo->Locate(QStringLiteral("k.id_pk"), switchId);
}

}  // namespace

HandsetIndexResult ApplyHandsetIndex(HandsetIndexMode mode) {
    if (!FDM || !HasCurrentRow(FDM->Q_bv)) return {};
    const qint64 idBv = FDM->Q_bv->FieldByName(QStringLiteral("id_bv")).AsLargeInt();
    const qint64 hint = HasCurrentRow(FDM->Q_Bpo)
                            ? FDM->Q_Bpo->FieldByName(QStringLiteral("k.id_pk")).AsLargeInt()
                            : 0;
    const int recNo = FDM->Q_bv->RecNo();
    const HandsetIndexResult r = ApplyHandsetIndex(FDM->ConnectionDB(), idBv, mode, hint);
    if (!r.ok) ReportFailure(r.error);
    ShowPanel(recNo, r.switchId);
    return r;
}

RecountResult RecountObjectIndices(qint64 idNet, HandsetIndexMode mode,
                                   const IndexProgressFn& progress, const HeldRows& held) {
    if (!FDM || idNet == 0) return {};
    const int recNo = FDM->Q_bv->IsOpen() ? FDM->Q_bv->RecNo() : 0;
    const RecountResult r = WriteHeld<RecountResult>(
        held, [&] { return RecountIndices(FDM->ConnectionDB(), idNet, mode, progress); });
    if (!r.ok && r.error.isEmpty()) return r;  // a row shown is gone: told, nothing to read anew
    if (!r.ok) ReportFailure(r.error);
    FDM->ReopenCallBlocks();
    if (recNo > 0) FDM->Q_bv->SetRecNo(recNo);
    return r;
}
