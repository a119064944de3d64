// The console melody operations on the data module's datasets, as the console
// melody form runs them.

#include "devices/ConsoleMelody.h"
#include "devices/Melody.h"
#include "foundation/TFDM.h"
#include "platform/Dialogs.h"

DeviceChange PickNoteForCurrent(int cell, int leng) {
    if (!FDM) return DeviceChange::Failed;
    // A closed melody is refused by PickConsoleNote before anything is read.
    const qint64 idMel = CurrentMelodyId(MelodyList::Console);
    if (idMel == 0) {
        Dialogs::Message(QStringLiteral("Пусто"), QStringLiteral("Добавьте мелодию!"),
                         DlgButtons::Ok, DlgIcon::Warning);
        return DeviceChange::Refused;
    }
    const int recNo = FDM->Q_Bepo->RecNo();
    const bool appends = FDM->Q_Bepo->RecordCount() < kMaxConsoleNotes;
    QString error;
    const DeviceChange done =
        Reported(PickConsoleNote(FDM->ConnectionDB(), idMel, CurrentNoteRowid(MelodyList::Console),
                                 cell, leng, &error),
                 error);
    if (done == DeviceChange::Done) ReopenNotes(MelodyList::Console, appends ? 0 : recNo);
    return done;
}

DeviceChange AssignCurrentMelodyToConsole(qint64 idNet, const QString& named,
                                          const HeldRows& held) {
    const qint64 idMel = CurrentMelodyId(MelodyList::Console);
    if (!FDM || idMel == 0 || idNet == 0) return DeviceChange::Refused;
    const int recNo = FDM->Q_MelP->RecNo();
    if (!Dialogs::AskYesNo(named, QStringLiteral("Сохранить для ПО?")))
        return DeviceChange::Declined;
    QString error;
    const DeviceChange done = Reported(
        WriteHeld(
            held,
            [&](QString* e) { return AssignConsoleMelody(FDM->ConnectionDB(), idNet, idMel, e); },
            &error),
        error);
    FDM->Q_PO->Reopen();
    FDM->Q_MelP->SetRecNo(recNo);
    return done;
}
