// The melody operations on the data module's melody datasets, as the switch
// melody form runs them.

#include "devices/Melody.h"
#include "foundation/TFDM.h"
#include "platform/Dialogs.h"

namespace {

Dataset* Melodies(MelodyList list) {
    return list == MelodyList::Switch ? FDM->Q_Mel : FDM->Q_MelP;
}

Dataset* Notes(MelodyList list) {
    return list == MelodyList::Switch ? FDM->Q_Beep : FDM->Q_Bepo;
}

// The melody list as written, on idMel when it is there, else on recNo.
void ReopenMelodiesOn(MelodyList list, qint64 idMel, int recNo) {
    FDM->ReopenMelodies();
    if (idMel > 0 && Melodies(list)->Locate(QStringLiteral("id_mel"), idMel)) return;
    if (recNo > 0) Melodies(list)->SetRecNo(recNo);
}

}  // namespace

void ReopenNotes(MelodyList list, int recNo) {
    Dataset* notes = Notes(list);
    notes->Close();
    notes->Open();
    if (recNo > 0)
        notes->SetRecNo(recNo);
    else
        notes->Last();
}

qint64 CurrentNoteRowid(MelodyList list) {
    if (!FDM || !HasCurrentRow(Notes(list))) return 0;
    return Notes(list)->FieldByName(QStringLiteral("t_bp.rowid")).AsLargeInt();
}

qint64 CurrentMelodyId(MelodyList list) {
    if (!FDM || !HasCurrentRow(Melodies(list))) return 0;
    return Melodies(list)->FieldByName(QStringLiteral("id_mel")).AsLargeInt();
}

bool CurrentMelodyClosed(MelodyList list) {
    return FDM && HasCurrentRow(Melodies(list)) &&
           Melodies(list)->FieldByName(QStringLiteral("l_edit")).AsBool();
}

QString MelodyNameIn(MelodyList list, qint64 idMel) {
    Dataset* melodies = FDM ? Melodies(list) : nullptr;
    if (melodies && melodies->Locate(QStringLiteral("id_mel"), idMel))
        return melodies->FieldByName(QStringLiteral("name")).AsString();
    return kMelodyNotDefined;
}

QString SwitchMelodyName(qint64 idMel) {
    return MelodyNameIn(MelodyList::Switch, idMel);
}

DeviceChange SaveCurrentMelody(bool newMelody, const QString& name, const QString& purpose,
                               MelodyList list) {
    if (!FDM) return DeviceChange::Failed;
    qint64 id = 0;
    QString error;
    const DeviceChange done =
        Reported(SaveMelody(FDM->ConnectionDB(), newMelody ? 0 : CurrentMelodyId(list), name,
                            purpose, &id, &error),
                 error);
    if (done == DeviceChange::Done) ReopenMelodiesOn(list, id, 0);
    return done;
}

DeviceChange AppendNoteToCurrent(int leng, int gerc) {
    const qint64 idMel = CurrentMelodyId();
    if (idMel == 0) return DeviceChange::Refused;
    QString error;
    const DeviceChange done =
        Reported(AppendNote(FDM->ConnectionDB(), idMel, leng, gerc, &error), error);
    if (done == DeviceChange::Done) ReopenNotes(MelodyList::Switch, 0);
    return done;
}

DeviceChange ReplaceCurrentNote(int leng, int gerc) {
    const qint64 idMel = CurrentMelodyId();
    const qint64 note = idMel ? CurrentNoteRowid() : 0;
    if (note == 0) return DeviceChange::Refused;
    QString error;
    const DeviceChange done =
        Reported(ReplaceNote(FDM->ConnectionDB(), idMel, note, leng, gerc, &error), error);
    if (done == DeviceChange::Done) ReopenNotes(MelodyList::Switch, FDM->Q_Beep->RecNo());
    return done;
}

DeviceChange DeleteCurrentNote(MelodyList list, const QString& caption) {
    const qint64 idMel = CurrentMelodyId(list);
    const qint64 note = idMel ? CurrentNoteRowid(list) : 0;
    if (note == 0) return DeviceChange::Refused;
    const int recNo = Notes(list)->RecNo();
    QString error;
    const DeviceChange done =
        Reported(DeleteNote(FDM->ConnectionDB(), idMel, note, &error, caption), error);
    if (done == DeviceChange::Done) ReopenNotes(list, qMax(recNo, 1));
    return done;
}

DeviceChange DeleteCurrentMelody(MelodyList list) {
    const qint64 idMel = CurrentMelodyId(list);
    if (idMel == 0) return DeviceChange::Refused;
    const int recNo = Melodies(list)->RecNo();
    QString error;
    const DeviceChange done = Reported(DeleteMelody(FDM->ConnectionDB(), idMel, &error), error);
    if (done == DeviceChange::Done) ReopenMelodiesOn(list, 0, recNo);
    return done;
}

DeviceChange PlayCurrentMelody(ToneOutput& out, MelodyList list) {
    const qint64 idMel = CurrentMelodyId(list);
    if (idMel == 0) return DeviceChange::Refused;
    QString error;
    const bool played = PlayMelody(FDM->ConnectionDB(), idMel, out, &error);
    ReopenNotes(list, qMax(Notes(list)->RecNo(), 1));
    return Reported(played ? DeviceChange::Done : DeviceChange::Failed, error);
}

namespace {

QString ScopeQuestion(MelodyScope scope) {
    switch (scope) {
        case MelodyScope::Switch:
            return QStringLiteral("Сохранить для данного КМ?");
        case MelodyScope::House:
            return QStringLiteral("Сохранить для всего дома?");
        case MelodyScope::Object:
            return QStringLiteral("Сохранить для всего объекта?");
    }
    return {};
}

}  // namespace

DeviceChange AssignCurrentMelody(MelodyScope scope, qint64 id, const QString& named,
                                 const HeldRows& held) {
    const qint64 idMel = CurrentMelodyId();
    if (idMel == 0 || id == 0) return DeviceChange::Refused;
    if (!Dialogs::AskYesNo(named, ScopeQuestion(scope))) return DeviceChange::Declined;
    const int melodyRecNo = FDM->Q_Mel->RecNo();
    QString error;
    const DeviceChange done = Reported(
        WriteHeld(
            held,
            [&](QString* e) { return AssignMelody(FDM->ConnectionDB(), idMel, scope, id, e); },
            &error),
        error);
    FDM->ReopenSwitches();
    FDM->Q_Mel->SetRecNo(melodyRecNo);
    return done;
}
