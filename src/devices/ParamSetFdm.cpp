// The parameter-set operations on the data module's Q_ke, as the switch editor
// and the picker run them.

#include "devices/ParamSet.h"
#include "foundation/TFDM.h"
#include "platform/Dialogs.h"

namespace {

qint64 CurrentSetId() {
    Dataset* ke = FDM->Q_ke;
    if (!ke->IsOpen() || ke->RecNo() < 1) return 0;
    return ke->FieldByName(QStringLiteral("id_ke")).AsLargeInt();
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

// A failed write is said, never passed over.
void ReportFailure(const QString& error) {
    Dialogs::Error(
        QStringLiteral("Ошибка"),
        error.isEmpty() ? QStringLiteral("Не удалось сохранить набор параметров") : error);
}

ParamSetChange Reported(ParamSetChange done, const QString& error) {
    if (done == ParamSetChange::Failed) ReportFailure(error);
    return done;
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

ParamSetChange RenameCurrentParamSet(const QString& name) {
    const qint64 idKe = FDM ? CurrentSetId() : 0;
    if (idKe == 0) return ParamSetChange::Refused;
    QString error;
    const ParamSetChange done =
        Reported(RenameParamSet(FDM->ConnectionDB(), idKe, name, &error), error);
    if (done == ParamSetChange::Done) ReopenSetsOn(idKe, FDM->Q_ke->RecNo());
    return done;
}

ParamSetChange DeleteCurrentParamSet() {
    const qint64 idKe = FDM ? CurrentSetId() : 0;
    if (idKe == 0) return ParamSetChange::Refused;
    const int recNo = FDM->Q_ke->RecNo();
    QString error;
    const ParamSetChange done = Reported(DeleteParamSet(FDM->ConnectionDB(), idKe, &error), error);
    if (done == ParamSetChange::Done) ReopenSetsOn(0, recNo);
    return done;
}
