// The switch editor's parameter operations on the data module: the switch is
// loaded from the current row of Q_MNpk and saved by its key, the sets are
// Q_ke.

#include "devices/SwitchParams.h"
#include "devices/TractAssignment.h"
#include "platform/Dialogs.h"

namespace {

// Q_ke stands on the set, reopened when the set is not among the rows it
// holds yet; a closed Q_ke is read once, by the reopen.
void ShowSet(qint64 idKe) {
    Dataset* ke = FDM->Q_ke;
    if (ke->IsOpen() && ke->Locate(QStringLiteral("id_ke"), idKe)) return;
    ke->Close();
    ke->Open();
    ke->Locate(QStringLiteral("id_ke"), idKe);
}

ParamsSaved ShownParams(const ParamsSaved& r) {
    if (!r.ok && r.error.isEmpty()) return r;  // declined, or a row shown is gone (told)
    if (!r.ok) ReportFailure(r.error);
    FDM->ReopenSwitches();
    if (r.ok) ShowSet(r.idKe);
    return r;
}

bool Asked(const QString& named, const QString& question) {
    return Dialogs::AskYesNo(named, question);
}

}  // namespace

qint64 CurrentSwitchId() {
    return CurrentSwitchColumn().idPk;
}

LoadedSwitch LoadCurrentSwitch() {
    const qint64 idPk = CurrentSwitchId();
    if (idPk == 0) return {};
    LoadedSwitch s = LoadSwitch(FDM->ConnectionDB(), idPk);
    if (s.ok)
        ShowSet(s.idKe);
    else
        ReportFailure(s.error);
    return s;
}

ParamsSaved SaveShownSwitch(qint64 idPk, const SwitchParams& p, const SwitchVideo& video,
                            const HeldRows& held) {
    if (!FDM || idPk == 0) return {};
    return ShownParams(WriteHeld<ParamsSaved>(
        held, [&] { return SaveForSwitch(FDM->ConnectionDB(), idPk, p, video); }));
}

ParamsSaved SaveShownHouse(qint64 idDom, const QString& named, const SwitchParams& p,
                           const SwitchVideo& video, const ProgressFn& progress,
                           const HeldRows& held) {
    if (!FDM || idDom == 0 || !Asked(named, QStringLiteral("Сохранить для всего дома?"))) return {};
    return ShownParams(WriteHeld<ParamsSaved>(
        held, [&] { return SaveForHouse(FDM->ConnectionDB(), idDom, p, video, progress); }));
}

ParamsSaved SaveShownObject(qint64 idNet, const QString& named, const SwitchParams& p,
                            const SwitchVideo& video, const ProgressFn& progress,
                            const HeldRows& held) {
    if (!FDM || idNet == 0 || !Asked(named, QStringLiteral("Сохранить для всего объекта?")))
        return {};
    return ShownParams(WriteHeld<ParamsSaved>(
        held, [&] { return SaveForObject(FDM->ConnectionDB(), idNet, p, video, progress); }));
}

bool ApplyCurrentParamSet(SwitchParams* p) {
    if (!FDM) return false;
    Dataset* ke = FDM->Q_ke;
    if (ke->IsEmpty()) {
        QString error;
        const qint64 idKe = AppendRecommendedParamSet(FDM->ConnectionDB(), &error);
        if (idKe == 0) {
            ReportFailure(error);
            return false;
        }
        ShowSet(idKe);
    }
    if (!HasCurrentRow(ke)) return false;
    ParamSetValues v;
    QString name;
    QString error;
    if (!ReadParamSet(FDM->ConnectionDB(), ke->FieldByName(QStringLiteral("id_ke")).AsLargeInt(),
                      &v, &name, &error)) {
        ReportFailure(error);
        return false;
    }
    p->TakeSet(v, name);
    return true;
}

SerialExitResult LeaveSwitchSerial(qint64 idPk, qint64 idNet, const QString& typed) {
    if (!FDM || idPk == 0) return {};
    SerialExitResult r =
        LeaveSerialField(FDM->ConnectionDB(), SerialColumn::Switches(), idPk, idNet, typed);
    if (r.outcome == SerialExit::Failed) ReportFailure(r.error);
    if (r.outcome == SerialExit::Stored) FDM->ReopenSwitches();
    return r;
}

bool GoToSwitch(qint64 idPk) {
    return FDM && FDM->Q_MNpk->Locate(QStringLiteral("k.id_pk"), idPk);
}
