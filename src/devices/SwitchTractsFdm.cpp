// The tract panel's operations on the data module: the switch is taken from
// the current row of Q_MNpk when the panel loads, then held by its model.

#include "devices/DeviceChange.h"
#include "devices/SwitchTracts.h"
#include "foundation/MatrTable.h"
#include "platform/Dialogs.h"
#include "site/SiteData.h"

namespace {

// The panels and switches as written, on the same switch.
TractSave ShownTracts(const TractSave& r) {
    if (!r.ok) ReportFailure(r.error);
    if (r.ok) FollowSavedMatrix();
    FDM->ReopenCallBlocks();
    FDM->ReopenSwitches();
    if (FDM->Q_mbv->IsOpen()) FDM->Q_mbv->Reopen();
    return r;
}

// A save run by the rule of held rows: a refusal was told there, and
// nothing was written to show anew.
TractSave ShownHeld(const HeldRows& held, const std::function<TractSave()>& save) {
    const TractSave r = WriteHeld<TractSave>(held, save);
    return !r.ok && r.error.isEmpty() ? r : ShownTracts(r);
}

bool AskObjectTracts() {
    return Dialogs::AskYesNo(QStringLiteral("Тракты объекта"),
                             QStringLiteral("Перераспределить БВ по трактам объекта?"));
}

TractSave Declined() {
    return {};
}

}  // namespace

bool CurrentObjectHasConsole() {
    const SwitchColumn sw = CurrentSwitchColumn();
    return sw.idPk != 0 && ObjectHasConsole(FDM->ConnectionDB(), sw.idNet);
}

namespace {

bool ShowTractsOf(TractPanelModel& model, const SwitchColumn& sw) {
    QList<TractRow> rows;
    QString error;
    if (sw.idPk == 0 || !ReadSwitchTracts(FDM->ConnectionDB(), sw.idPk, &rows, &error)) {
        if (!error.isEmpty()) ReportFailure(error);
        model.Clear();
        return false;
    }
    if (model.Switch().idPk != sw.idPk) model.Clear();  // nothing of this switch shown yet
    model.SetSwitch(sw);
    model.SetConsole(ObjectHasConsole(FDM->ConnectionDB(), sw.idNet));
    if (!model.Show(rows)) return true;
    if (!MarkSwitchEdited(FDM->ConnectionDB(), sw.idPk, &error)) ReportFailure(error);
    FDM->ReopenSwitches();
    return true;
}

}  // namespace

bool ShowCurrentTracts(TractPanelModel& model) {
    return ShowTractsOf(model, CurrentSwitchColumn());
}

bool ShowModelTracts(TractPanelModel& model) {
    const SwitchColumn sw = model.Switch();
    return ShowTractsOf(model, sw);
}

TractSave SaveShownMasks(const TractPanelModel& model, const HeldRows& held) {
    if (!FDM || model.Switch().idPk == 0) return Declined();
    return ShownHeld(held,
                     [&] { return SaveMasks(FDM->ConnectionDB(), model.Switch(), model.Rows()); });
}

TractSave SaveShownTypedTracts(const TractPanelModel& model, const QStringList& cells,
                               const HeldRows& held) {
    if (!FDM || model.Switch().idPk == 0) return Declined();
    return ShownHeld(held, [&] {
        return SaveTypedTracts(FDM->ConnectionDB(), model.Switch(), model.Rows(), cells);
    });
}

TractSave ReassignShownTracts(const TractPanelModel& model, const HeldRows& held) {
    if (!FDM || model.Switch().idPk == 0) return Declined();
    return ShownHeld(held, [&] { return ReassignTracts(FDM->ConnectionDB(), model.Switch()); });
}

TractSave ReassignObjectTracts(const TractPanelModel& model, const ProgressFn& progress,
                               const HeldRows& held) {
    const qint64 idNet = model.Switch().idNet;
    if (!FDM || idNet == 0 || !AskObjectTracts()) return Declined();
    return ShownHeld(held,
                     [&] { return ReassignTractsForObject(FDM->ConnectionDB(), idNet, progress); });
}

TractSave NumberObjectTracts(const TractPanelModel& model, const TractRanges& ranges,
                             const ProgressFn& progress, const HeldRows& held) {
    const qint64 idNet = model.Switch().idNet;
    if (!FDM || idNet == 0 || !AskObjectTracts()) return Declined();
    return ShownHeld(
        held, [&] { return NumberTractsByRanges(FDM->ConnectionDB(), idNet, ranges, progress); });
}

TractRanges CurrentObjectRanges(int p1) {
    const qint64 idNet = SiteData::CurrentObjectId();
    const int gates = idNet ? FDM->Q_Net->FieldByName(QStringLiteral("v_kal")).AsInt() : 0;
    return TractRanges::ForObject(idNet ? MaxDoorCount(FDM->ConnectionDB(), idNet) : 0, gates, p1,
                                  TractCount(FDM->ConnectionDB()));
}
