#include "devices/ConsoleMelody.h"

#include "devices/Melody.h"
#include "foundation/BoundSql.h"
#include "platform/Dialogs.h"

#include <QSqlQuery>
#include <QVariant>

namespace {

constexpr int kTones[kConsoleToneCells] = {0, 88, 94, 106, 120, 134, 150, 178, 198, 238};

void Empty(const QString& text) {
    Dialogs::Message(QStringLiteral("Пусто"), text, DlgButtons::Ok, DlgIcon::Warning);
}

}  // namespace

int ConsoleTone(int cell) {
    return cell >= 0 && cell < kConsoleToneCells ? kTones[cell] : 0;
}

QString ConsoleToneText(int cell) {
    return QStringLiteral("%1-%2").arg(cell).arg(ConsoleTone(cell));
}

DeviceChange PickConsoleNote(QSqlDatabase db, qint64 idMel, qint64 noteRowid, int cell, int leng,
                             QString* error) {
    if (cell < 0 || cell >= kConsoleToneCells) return DeviceChange::Refused;
    if (MelodyClosed(db, idMel)) {
        Empty(QStringLiteral("Мелодия закрыта для редактирования!"));
        return DeviceChange::Refused;
    }
    QSqlQuery q(db);
    if (!ExecBound(q, QStringLiteral("SELECT COUNT(*) FROM t_bp WHERE id_mel=?"), {idMel}, error) ||
        !q.next())
        return DeviceChange::Failed;
    if (q.value(0).toInt() < kMaxConsoleNotes)
        return DoneOrFailed(
            ExecInsert(q,
                       QStringLiteral("INSERT INTO t_bp (id_mel, nom, leng, gerc, noot) "
                                      "SELECT ?, COALESCE(MAX(nom), 0) + 1, ?, ?, ? "
                                      "FROM t_bp WHERE id_mel=?"),
                       {idMel, leng, ConsoleTone(cell), cell, idMel}, error));
    if (noteRowid == 0) return DeviceChange::Refused;
    return DoneOrFailed(ExecBound(q,
                                  QStringLiteral("UPDATE t_bp SET leng=?, gerc=?, noot=? "
                                                 "WHERE rowid=? AND id_mel=?"),
                                  {leng, ConsoleTone(cell), cell, noteRowid, idMel}, error));
}

DeviceChange AssignConsoleMelody(QSqlDatabase db, qint64 idNet, qint64 idMel, QString* error) {
    const QString purpose = MelodyPurpose(db, idMel);
    if (purpose.isEmpty()) {
        if (error) *error = QStringLiteral("Мелодия не найдена");
        return DeviceChange::Failed;
    }
    QSqlQuery q(db);
    if (!ExecBound(q, QStringLiteral("SELECT id_po, kf_pr FROM k_po WHERE id_net=? ORDER BY id_po"),
                   {idNet}, error))
        return DeviceChange::Failed;
    if (!q.next()) return DeviceChange::Refused;
    const QString column =
        purpose == kVisitorPurpose ? QStringLiteral("id_mel0") : QStringLiteral("id_mel1");
    const DeviceWrite w =
        UpdateAsEdit(db, QStringLiteral("k_po"), QStringLiteral("id_po"), q.value(0).toLongLong(),
                     q.value(1).toInt(), column + QStringLiteral("=?"), {idMel});
    if (!w.ok && error) *error = w.error;
    return DoneOrFailed(w.ok);
}

DeviceChange CloseMelody(QSqlDatabase db, qint64 idMel, QString* error) {
    if (!Dialogs::AskYesNo(
            QStringLiteral("Осторожно!"),
            QStringLiteral(
                "Закрыть мелодию для редактирования? Она останется навсегда неизменной.")))
        return DeviceChange::Declined;
    QSqlQuery q(db);
    return DoneOrFailed(
        ExecBound(q, QStringLiteral("UPDATE t_mel SET l_edit=1 WHERE id_mel=?"), {idMel}, error));
}
