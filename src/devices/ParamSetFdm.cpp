// The parameter-set operations on the data module's Q_ke, as the switch editor
// and the picker run them.

#include "devices/ParamSet.h"
#include "foundation/TFDM.h"

namespace {

qint64 CurrentSetId() {
    return HasCurrentRow(FDM->Q_ke) ? FDM->Q_ke->FieldByName(QStringLiteral("id_ke")).AsLargeInt()
                                    : 0;
}

// Q_ke shows what was written, standing on idKe when it is still there and
// otherwise on the row that took recNo's place.
void ReopenSetsOn(qint64 idKe, int recNo) {
    Dataset* ke = FDM->Q_ke;
    ke->Close();
    ke->Open();
    if (idKe > 0 && ke->Locate(QStringLiteral("id_ke"), idKe)) return;
    if (recNo > 0) ke->SetRecNo(recNo);
}

}  // namespace

ParamSetMatch FindParamSet(const ParamSetValues& v, const QString& nameIfNew) {
    if (!FDM) return {};
    const ParamSetMatch m = FindParamSet(FDM->ConnectionDB(), v, nameIfNew);
    if (m.ok)
        ReopenSetsOn(m.idKe, 0);
    else
        ReportFailure(m.error);
    return m;
}

DeviceChange RenameCurrentParamSet(const QString& name) {
    const qint64 idKe = FDM ? CurrentSetId() : 0;
    if (idKe == 0) return DeviceChange::Refused;
    QString error;
    const DeviceChange done =
        Reported(RenameParamSet(FDM->ConnectionDB(), idKe, name, &error), error);
    if (done == DeviceChange::Done) ReopenSetsOn(idKe, FDM->Q_ke->RecNo());
    return done;
}

DeviceChange DeleteCurrentParamSet() {
    const qint64 idKe = FDM ? CurrentSetId() : 0;
    if (idKe == 0) return DeviceChange::Refused;
    const int recNo = FDM->Q_ke->RecNo();
    QString error;
    const DeviceChange done = Reported(DeleteParamSet(FDM->ConnectionDB(), idKe, &error), error);
    if (done == DeviceChange::Done) ReopenSetsOn(0, recNo);
    return done;
}
