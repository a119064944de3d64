// The melody operations on the data module's melody datasets, as the switch
// melody form runs them.

#include "devices/Melody.h"
#include "foundation/TFDM.h"
#include "platform/Dialogs.h"

namespace {

qint64 CurrentNoteRowid() {
    if (!HasCurrentRow(FDM->Q_Beep)) return 0;
    return FDM->Q_Beep->FieldByName(QStringLiteral("t_bp.rowid")).AsLargeInt();
}

// The notes as written, on the row at recNo (the last one for recNo 0).
void ReopenNotes(int recNo) {
    Dataset* notes = FDM->Q_Beep;
    notes->Close();
    notes->Open();
    if (recNo > 0)
        notes->SetRecNo(recNo);
    else
        notes->Last();
}

// The melody list as written, on idMel when it is there, else on recNo.
void ReopenMelodiesOn(qint64 idMel, int recNo) {
    FDM->ReopenMelodies();
    if (idMel > 0 && FDM->Q_Mel->Locate(QStringLiteral("id_mel"), idMel)) return;
    if (recNo > 0) FDM->Q_Mel->SetRecNo(recNo);
}

QSqlDatabase Db() {
    return FDM->ConnectionDB();
}

}  // namespace

qint64 CurrentMelodyId() {
    if (!FDM || !HasCurrentRow(FDM->Q_Mel)) return 0;
    return FDM->Q_Mel->FieldByName(QStringLiteral("id_mel")).AsLargeInt();
}

bool CurrentMelodyClosed() {
    return FDM && HasCurrentRow(FDM->Q_Mel) &&
           FDM->Q_Mel->FieldByName(QStringLiteral("l_edit")).AsBool();
}

QString SwitchMelodyName(qint64 idMel) {
    if (FDM && FDM->Q_Mel->IsOpen() && FDM->Q_Mel->Locate(QStringLiteral("id_mel"), idMel))
        return FDM->Q_Mel->FieldByName(QStringLiteral("name")).AsString();
    return kMelodyNotDefined;
}

DeviceChange SaveCurrentMelody(bool newMelody, const QString& name, const QString& purpose) {
    if (!FDM) return DeviceChange::Failed;
    qint64 id = 0;
    QString error;
    const DeviceChange done = Reported(
        SaveMelody(Db(), newMelody ? 0 : CurrentMelodyId(), name, purpose, &id, &error), error);
    if (done == DeviceChange::Done) ReopenMelodiesOn(id, 0);
    return done;
}

DeviceChange AppendNoteToCurrent(int leng, int gerc) {
    const qint64 idMel = CurrentMelodyId();
    if (idMel == 0) return DeviceChange::Refused;
    QString error;
    const DeviceChange done = Reported(AppendNote(Db(), idMel, leng, gerc, &error), error);
    if (done == DeviceChange::Done) ReopenNotes(0);
    return done;
}

DeviceChange ReplaceCurrentNote(int leng, int gerc) {
    const qint64 idMel = CurrentMelodyId();
    const qint64 note = idMel ? CurrentNoteRowid() : 0;
    if (note == 0) return DeviceChange::Refused;
    QString error;
    const DeviceChange done = Reported(ReplaceNote(Db(), idMel, note, leng, gerc, &error), error);
    if (done == DeviceChange::Done) ReopenNotes(FDM->Q_Beep->RecNo());
    return done;
}

DeviceChange DeleteCurrentNote() {
    const qint64 idMel = CurrentMelodyId();
    const qint64 note = idMel ? CurrentNoteRowid() : 0;
    if (note == 0) return DeviceChange::Refused;
    const int recNo = FDM->Q_Beep->RecNo();
    QString error;
    const DeviceChange done = Reported(DeleteNote(Db(), idMel, note, &error), error);
    if (done == DeviceChange::Done) ReopenNotes(qMax(recNo, 1));
    return done;
}

DeviceChange DeleteCurrentMelody() {
    const qint64 idMel = CurrentMelodyId();
    if (idMel == 0) return DeviceChange::Refused;
    const int recNo = FDM->Q_Mel->RecNo();
    QString error;
    const DeviceChange done = Reported(DeleteMelody(Db(), idMel, &error), error);
    if (done == DeviceChange::Done) ReopenMelodiesOn(0, recNo);
    return done;
}

DeviceChange PlayCurrentMelody(ToneOutput& out) {
    const qint64 idMel = CurrentMelodyId();
    if (idMel == 0) return DeviceChange::Refused;
    QString error;
    const bool played = PlayMelody(Db(), idMel, out, &error);
    ReopenNotes(qMax(FDM->Q_Beep->RecNo(), 1));
    return Reported(played ? DeviceChange::Done : DeviceChange::Failed, error);
}

namespace {

struct ScopeTarget {
    QString question;
    qint64 id = 0;
};

ScopeTarget TargetOf(MelodyScope scope) {
    const bool hasSwitch = HasCurrentRow(FDM->Q_MNpk);
    switch (scope) {
        case MelodyScope::Switch:
            return {
                QStringLiteral("Сохранить для данного КМ?"),
                hasSwitch ? FDM->Q_MNpk->FieldByName(QStringLiteral("k.id_pk")).AsLargeInt() : 0};
        case MelodyScope::House:
            return {
                QStringLiteral("Сохранить для всего дома?"),
                hasSwitch ? FDM->Q_MNpk->FieldByName(QStringLiteral("d.id_dom")).AsLargeInt() : 0};
        case MelodyScope::Object:
            return {QStringLiteral("Сохранить для всего объекта?"),
                    HasCurrentRow(FDM->Q_Net)
                        ? FDM->Q_Net->FieldByName(QStringLiteral("id_net")).AsLargeInt()
                        : 0};
    }
    return {};
}

}  // namespace

DeviceChange AssignCurrentMelody(MelodyScope scope) {
    const qint64 idMel = CurrentMelodyId();
    const ScopeTarget target = FDM ? TargetOf(scope) : ScopeTarget{};
    if (idMel == 0 || target.id == 0) return DeviceChange::Refused;
    if (!Dialogs::AskYesNo(QString(), target.question)) return DeviceChange::Declined;
    const int melodyRecNo = FDM->Q_Mel->RecNo();
    QString error;
    const DeviceChange done = Reported(AssignMelody(Db(), idMel, scope, target.id, &error), error);
    FDM->ReopenSwitches();
    FDM->Q_Mel->SetRecNo(melodyRecNo);
    return done;
}
