#include "devices/Melody.h"

#include "foundation/BitAndStr.h"
#include "foundation/BoundSql.h"
#include "foundation/CountLimits.h"
#include "platform/Dialogs.h"
#include "platform/ToneOutput.h"

#include <QSqlQuery>
#include <QVariant>

double ToneFrequency(int gerc) {
    return 16000000.0 / (1024.0 * (gerc + 1.0));
}

int ToneHz(int gerc) {
    return int(RoundHalfAway(ToneFrequency(gerc)));
}

int NoteMs(int leng) {
    return leng * 32;
}

bool ReadNotes(QSqlDatabase db, qint64 idMel, QList<MelodyNote>* notes, QString* error) {
    notes->clear();
    QSqlQuery q(db);
    if (!ExecBound(q,
                   QStringLiteral("SELECT rowid, nom, leng, gerc FROM t_bp WHERE id_mel=? "
                                  "ORDER BY nom, rowid"),
                   {idMel}, error))
        return false;
    while (q.next())
        notes->append(
            {q.value(0).toLongLong(), q.value(1).toInt(), q.value(2).toInt(), q.value(3).toInt()});
    return true;
}

bool PlayMelody(QSqlDatabase db, qint64 idMel, ToneOutput& out, QString* error) {
    QList<MelodyNote> notes;
    if (!ReadNotes(db, idMel, &notes, error)) return false;
    QSqlQuery q(db);
    for (const MelodyNote& note : std::as_const(notes)) {
        const int ms = NoteMs(note.leng);
        if (note.gerc <= 0) {
            out.Pause(ms);
            continue;
        }
        const int hz = ToneHz(note.gerc);
        out.Tone(hz, ms);
        if (!ExecBound(q, QStringLiteral("UPDATE t_bp SET gercbeep=? WHERE rowid=?"),
                       {hz, note.rowid}, error))
            return false;
    }
    return true;
}

qint64 FindSwitchMelody(QSqlDatabase db, const QString& prefix) {
    QSqlQuery q(db);
    if (!ExecBound(q,
                   QStringLiteral("SELECT id_mel FROM t_mel WHERE (forr=? OR forr=?) "
                                  "AND substr(name, 1, ?)=? ORDER BY name, id_mel LIMIT 1"),
                   {kRingBackPurpose, kCallPurpose, prefix.size(), prefix}, nullptr) ||
        !q.next())
        return 0;
    return q.value(0).toLongLong();
}

QString MelodyPurpose(QSqlDatabase db, qint64 idMel) {
    QSqlQuery q(db);
    if (!ExecBound(q, QStringLiteral("SELECT forr FROM t_mel WHERE id_mel=?"), {idMel}, nullptr) ||
        !q.next())
        return QString();
    return q.value(0).toString();
}

bool MelodyClosed(QSqlDatabase db, qint64 idMel) {
    QSqlQuery q(db);
    if (!ExecBound(q, QStringLiteral("SELECT l_edit FROM t_mel WHERE id_mel=?"), {idMel},
                   nullptr) ||
        !q.next())
        return false;
    return q.value(0).toInt() != 0;
}

namespace {

// Closed melodies are refused before anything is written.
bool RefuseClosed(QSqlDatabase db, qint64 idMel) {
    if (!MelodyClosed(db, idMel)) return false;
    Dialogs::Message(QStringLiteral("Запрет"),
                     QStringLiteral("Данная мелодия защищена от редактирования!"), DlgButtons::Ok,
                     DlgIcon::Warning);
    return true;
}

void Restrict(const QString& text) {
    Dialogs::Message(QStringLiteral("Ограничение"), text, DlgButtons::Ok, DlgIcon::Warning);
}

// A note's length and tone take one byte each in the switch's file. A tone
// from a note table that does not fit is refused, not stored.
bool RefuseNoteBeyond(int leng, int gerc) {
    const int most = CountLimits::kMaxNoteValue;
    if (leng >= 0 && leng <= most && gerc >= 0 && gerc <= most) return false;
    Restrict(QStringLiteral("Нота не записана: длительность и значение ноты должны быть "
                            "от 0 до %1.")
                 .arg(most));
    return true;
}

}  // namespace

DeviceChange SaveMelody(QSqlDatabase db, qint64 idMel, const QString& name, const QString& purpose,
                        qint64* idOut, QString* error) {
    const QString trimmed = name.trimmed();
    if (trimmed.isEmpty()) return DeviceChange::Refused;
    QSqlQuery q(db);
    if (idMel == 0) {
        qint64 id = 0;
        if (!InsertReturningKey(q, QStringLiteral("INSERT INTO t_mel (name, forr) VALUES (?, ?)"),
                                {trimmed, purpose}, QStringLiteral("id_mel"), &id, error))
            return DeviceChange::Failed;
        if (idOut) *idOut = id;
        return DeviceChange::Done;
    }
    if (RefuseClosed(db, idMel)) return DeviceChange::Refused;
    if (idOut) *idOut = idMel;
    return DoneOrFailed(ExecBound(q,
                                  QStringLiteral("UPDATE t_mel SET name=?, forr=? WHERE id_mel=?"),
                                  {trimmed, purpose, idMel}, error));
}

DeviceChange AppendNote(QSqlDatabase db, qint64 idMel, int leng, int gerc, QString* error) {
    if (RefuseClosed(db, idMel) || RefuseNoteBeyond(leng, gerc)) return DeviceChange::Refused;
    QSqlQuery q(db);
    return DoneOrFailed(ExecInsert(
        q,
        QStringLiteral("INSERT INTO t_bp (id_mel, nom, leng, gerc) "
                       "SELECT ?, COALESCE(MAX(nom), 0) + 1, ?, ? FROM t_bp WHERE id_mel=?"),
        {idMel, leng, gerc, idMel}, error));
}

DeviceChange ReplaceNote(QSqlDatabase db, qint64 idMel, qint64 noteRowid, int leng, int gerc,
                         QString* error) {
    if (RefuseClosed(db, idMel) || RefuseNoteBeyond(leng, gerc)) return DeviceChange::Refused;
    QSqlQuery q(db);
    return DoneOrFailed(ExecBound(q,
                                  QStringLiteral("UPDATE t_bp SET leng=?, gerc=? "
                                                 "WHERE rowid=? AND id_mel=?"),
                                  {leng, gerc, noteRowid, idMel}, error));
}

DeviceChange DeleteNote(QSqlDatabase db, qint64 idMel, qint64 noteRowid, QString* error,
                        const QString& caption) {
    if (RefuseClosed(db, idMel)) return DeviceChange::Refused;
    if (!Dialogs::AskYesNo(caption, QStringLiteral("Удалить ноту?"))) return DeviceChange::Declined;
    QSqlQuery q(db);
    return DoneOrFailed(ExecBound(q, QStringLiteral("DELETE FROM t_bp WHERE rowid=? AND id_mel=?"),
                                  {noteRowid, idMel}, error));
}

namespace {

// A switch or a console of any object that plays the melody.
bool MelodyInUse(QSqlDatabase db, qint64 idMel, bool* used, QString* error) {
    return FindsRow(db,
                    QStringLiteral("SELECT 1 FROM k_pk WHERE id_mvv=? OR id_mot=? UNION ALL "
                                   "SELECT 1 FROM k_po WHERE id_mel0=? OR id_mel1=? LIMIT 1"),
                    {idMel, idMel, idMel, idMel}, used, error);
}

bool DeleteWithNotes(QSqlDatabase db, qint64 idMel, QString* error) {
    SqlTransaction tr(db);
    QSqlQuery q(db);
    if (!tr.started()) {
        if (error) *error = tr.LastError();
        return false;
    }
    if (!ExecBound(q, QStringLiteral("DELETE FROM t_bp WHERE id_mel=?"), {idMel}, error) ||
        !ExecBound(q, QStringLiteral("DELETE FROM t_mel WHERE id_mel=?"), {idMel}, error))
        return false;
    if (tr.Commit()) return true;
    if (error) *error = tr.LastError();
    return false;
}

}  // namespace

DeviceChange DeleteMelody(QSqlDatabase db, qint64 idMel, QString* error) {
    if (MelodyClosed(db, idMel)) {
        Restrict(QStringLiteral("Мелодия закрыта для удаления"));
        return DeviceChange::Refused;
    }
    if (!Dialogs::AskYesNo(QStringLiteral("Удаление"),
                           QStringLiteral("Удалить мелодию безвозвратно?")))
        return DeviceChange::Declined;
    bool used = false;
    if (!MelodyInUse(db, idMel, &used, error)) return DeviceChange::Failed;
    if (used) {
        Restrict(QStringLiteral("Мелодия используется, удаление запрещено."));
        return DeviceChange::Refused;
    }
    return DoneOrFailed(DeleteWithNotes(db, idMel, error));
}

namespace {

QString SwitchesInScope(MelodyScope scope) {
    switch (scope) {
        case MelodyScope::Switch:
            return QStringLiteral("SELECT id_pk, kf_pr FROM k_pk WHERE id_pk=?");
        case MelodyScope::House:
            return QStringLiteral(
                "SELECT id_pk, kf_pr FROM k_pk WHERE id_pod IN "
                "(SELECT id_pod FROM k_pod WHERE id_dom=?)");
        case MelodyScope::Object:
            return QStringLiteral("SELECT id_pk, kf_pr FROM k_pk WHERE id_net=?");
    }
    return QString();
}

}  // namespace

bool ReadSwitchMelodies(QSqlDatabase db, qint64 idPk, qint64* idMvv, qint64* idMot) {
    QSqlQuery q(db);
    if (!ExecBound(q, QStringLiteral("SELECT id_mvv, id_mot FROM k_pk WHERE id_pk=?"), {idPk},
                   nullptr) ||
        !q.next())
        return false;
    *idMvv = q.value(0).toLongLong();
    *idMot = q.value(1).toLongLong();
    return true;
}

DeviceChange AssignMelody(QSqlDatabase db, qint64 idMel, MelodyScope scope, qint64 id,
                          QString* error) {
    const QString purpose = MelodyPurpose(db, idMel);
    if (purpose.isEmpty()) {
        if (error) *error = QStringLiteral("Мелодия не найдена");
        return DeviceChange::Failed;
    }
    const QString column =
        purpose == kCallPurpose ? QStringLiteral("id_mvv") : QStringLiteral("id_mot");
    SqlTransaction tr(db);
    if (!tr.started()) {
        if (error) *error = tr.LastError();
        return DeviceChange::Failed;
    }
    QSqlQuery q(db);
    if (!ExecBound(q, SwitchesInScope(scope), {id}, error)) return DeviceChange::Failed;
    QList<std::pair<qint64, int>> switches;  // id_pk, kf_pr
    while (q.next()) switches.append({q.value(0).toLongLong(), q.value(1).toInt()});
    for (const auto& [idPk, kfPr] : std::as_const(switches))
        if (!ExecBound(q,
                       QStringLiteral("UPDATE k_pk SET ") + column +
                           QStringLiteral("=?, kf_pr=? WHERE id_pk=?"),
                       {idMel, KfPrAfterEdit(kfPr), idPk}, error))
            return DeviceChange::Failed;
    if (tr.Commit()) return DeviceChange::Done;
    if (error) *error = tr.LastError();
    return DeviceChange::Failed;
}
