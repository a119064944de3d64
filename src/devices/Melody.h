#pragma once
// Melodies (t_mel) and their notes (t_bp), stored once for the whole database.
// A switch points to its call melody through k_pk.id_mvv and to its ring-back
// melody through k_pk.id_mot; the console's melodies use the same tables.
// A closed melody (l_edit) keeps its name, purpose and notes for good.
//
// A note lasts leng x 32 ms and sounds at 16 000 000 / (1024 x (gerc + 1)) Hz,
// the divider of the device's tone generator; gerc 0 is a pause.

#include "devices/DeviceChange.h"

#include <QList>
#include <QSqlDatabase>
#include <QString>

class ToneOutput;

inline const QString kCallPurpose = QStringLiteral("вызов");
inline const QString kRingBackPurpose = QStringLiteral("отзвонка");
inline const QString kStandardCallMelody = QStringLiteral("Стандарт вызова Darvo");
inline const QString kStandardRingBackMelody = QStringLiteral("Стандарт отзвонки Darvo");
inline const QString kMelodyNotDefined = QStringLiteral("Мелодия не определена");

// The frequency a tone value sounds at, and that frequency rounded half away
// from zero, as sounded and stored in gercbeep.
double ToneFrequency(int gerc);
int ToneHz(int gerc);
// How long a note of leng units lasts.
int NoteMs(int leng);

struct MelodyNote {
    qint64 rowid = 0;
    int nom = 0;
    int leng = 0;
    int gerc = 0;
};

// The notes of a melody in nom order (false when the query fails).
bool ReadNotes(QSqlDatabase db, qint64 idMel, QList<MelodyNote>* notes, QString* error = nullptr);

// Plays the melody note by note on out: a tone for every note with gerc above
// 0, whose frequency is then stored in its gercbeep, and silence for the
// others. Returns when the last note has ended.
bool PlayMelody(QSqlDatabase db, qint64 idMel, ToneOutput& out, QString* error = nullptr);

// A switch melody (purpose "вызов" or "отзвонка") whose name begins with
// prefix; 0 when there is none. Finds the standard melodies for new switches.
qint64 FindSwitchMelody(QSqlDatabase db, const QString& prefix);

// The purpose a melody is stored with; empty when there is no such melody.
QString MelodyPurpose(QSqlDatabase db, qint64 idMel);
bool MelodyClosed(QSqlDatabase db, qint64 idMel);

// Stores the trimmed name and the purpose: appends a melody when idMel is 0,
// else changes that melody. A closed melody is refused with "Данная мелодия
// защищена от редактирования!" ("Запрет"); a blank name is refused silently.
// *idOut gets the melody's id.
DeviceChange SaveMelody(QSqlDatabase db, qint64 idMel, const QString& name, const QString& purpose,
                        qint64* idOut, QString* error = nullptr);

// Note editing of an open melody; a closed one is refused with the message of
// SaveMelody. A new note comes after the last one: its nom is one above the
// highest, so numbers stay unique after deletions.
DeviceChange AppendNote(QSqlDatabase db, qint64 idMel, int leng, int gerc,
                        QString* error = nullptr);
DeviceChange ReplaceNote(QSqlDatabase db, qint64 idMel, qint64 noteRowid, int leng, int gerc,
                         QString* error = nullptr);
// Asks "Удалить ноту?" (caption "Удаление строки" unless given) and deletes the
// note on Yes; the other notes keep their numbers. A closed melody is refused
// before the question.
DeviceChange DeleteNote(QSqlDatabase db, qint64 idMel, qint64 noteRowid, QString* error = nullptr,
                        const QString& caption = QStringLiteral("Удаление строки"));

// A closed melody: "Мелодия закрыта для удаления" ("Ограничение"). Otherwise
// asks "Удалить мелодию безвозвратно?" ("Удаление"); on Yes a melody that a
// switch or a console of any object uses is refused with "Мелодия
// используется, удаление запрещено." ("Ограничение"), any other is deleted with
// its notes.
DeviceChange DeleteMelody(QSqlDatabase db, qint64 idMel, QString* error = nullptr);

// Which switches an assignment reaches.
enum class MelodyScope { Switch, House, Object };

// Makes the melody the call melody (purpose "вызов") or else the ring-back
// melody of one switch (id_pk), of every switch of a house (id_dom) or of an
// object (id_net), and advances each switch's kf_pr as an edit does. One
// transaction.
DeviceChange AssignMelody(QSqlDatabase db, qint64 idMel, MelodyScope scope, qint64 id,
                          QString* error = nullptr);

// The two melodies of switch idPk (0 for none); false when it is not there.
bool ReadSwitchMelodies(QSqlDatabase db, qint64 idPk, qint64* idMvv, qint64* idMot);

// ---- data-module operations --------------------------------------------------
// The melody is the current row of FDM->Q_Mel (the switch melodies) or of
// FDM->Q_MelP (the console's), the note the current row of its notes (Q_Beep,
// Q_Bepo). Each runs the function above and reopens what shows the result,
// keeping the current rows.

enum class MelodyList { Switch, Console };

qint64 CurrentMelodyId(MelodyList list = MelodyList::Switch);
bool CurrentMelodyClosed(MelodyList list = MelodyList::Switch);
qint64 CurrentNoteRowid(MelodyList list = MelodyList::Switch);
// The name of melody id_mel in the list, or kMelodyNotDefined; moves the list.
QString MelodyNameIn(MelodyList list, qint64 idMel);
QString SwitchMelodyName(qint64 idMel);
DeviceChange SaveCurrentMelody(bool newMelody, const QString& name, const QString& purpose,
                               MelodyList list = MelodyList::Switch);
DeviceChange AppendNoteToCurrent(int leng, int gerc);
DeviceChange ReplaceCurrentNote(int leng, int gerc);
DeviceChange DeleteCurrentNote(MelodyList list = MelodyList::Switch,
                               const QString& caption = QStringLiteral("Удаление строки"));
DeviceChange DeleteCurrentMelody(MelodyList list = MelodyList::Switch);
DeviceChange PlayCurrentMelody(ToneOutput& out, MelodyList list = MelodyList::Switch);
// The notes of the list's current melody as written, on the note at recNo
// (the last one for 0).
void ReopenNotes(MelodyList list, int recNo);
// Asks "Сохранить для данного КМ?", "Сохранить для всего дома?" or "Сохранить
// для всего объекта?" under named (what is saved for) and assigns the current
// melody on Yes to the switch, house or object id the form shows, while every
// row of held (what the form shows) is there (Refused, told, when one is gone).
DeviceChange AssignCurrentMelody(MelodyScope scope, qint64 id, const QString& named,
                                 const HeldRows& held = HeldRows());
