#include "devices/DeviceChange.h"

#include "foundation/BitAndStr.h"
#include "foundation/BoundSql.h"
#include "platform/Dataset.h"
#include "platform/Dialogs.h"

#include <QSqlQuery>

bool FindsRow(QSqlDatabase db, const QString& sql, const QVariantList& values, bool* found,
              QString* error) {
    QSqlQuery q(db);
    if (!ExecBound(q, sql, values, error)) return false;
    *found = q.next();
    return true;
}

bool MarkSwitchEdited(QSqlDatabase db, qint64 idPk, QString* error) {
    QSqlQuery q(db);
    if (!ExecBound(q, QStringLiteral("SELECT kf_pr FROM k_pk WHERE id_pk=?"), {idPk}, error))
        return false;
    if (!q.next()) return true;  // gone meanwhile: nothing to mark
    const int before = q.value(0).toInt();
    const int after = KfPrAfterEdit(before);
    if (after == before) return true;
    return ExecBound(q, QStringLiteral("UPDATE k_pk SET kf_pr=? WHERE id_pk=?"), {after, idPk},
                     error);
}

void ReportFailure(const QString& error) {
    Dialogs::Error(QStringLiteral("Ошибка"),
                   error.isEmpty() ? QStringLiteral("Не удалось записать изменения") : error);
}

DeviceChange DoneOrFailed(bool ok) {
    return ok ? DeviceChange::Done : DeviceChange::Failed;
}

DeviceChange Reported(DeviceChange done, const QString& error) {
    if (done == DeviceChange::Failed) ReportFailure(error);
    return done;
}

DeviceChange WriteHeld(const HeldRows& held, const std::function<DeviceChange(QString*)>& write,
                       QString* error) {
    DeviceChange done = DeviceChange::Refused;
    const HeldRows::Outcome outcome = held.Write(
        [&](QString* e) {
            done = write(e);
            return done == DeviceChange::Done;
        },
        error);
    if (outcome == HeldRows::Outcome::Written) return DeviceChange::Done;
    if (outcome == HeldRows::Outcome::Refused) return DeviceChange::Refused;
    return done == DeviceChange::Done ? DeviceChange::Failed : done;
}

DeviceWrite UpdateAsEdit(QSqlDatabase db, const QString& table, const QString& keyColumn, qint64 id,
                         int storedKfPr, const QString& assignments, QVariantList values) {
    values << KfPrAfterEdit(storedKfPr) << id;
    QSqlQuery q(db);
    QString error;
    if (!ExecBound(q,
                   QStringLiteral("UPDATE ") + table + QStringLiteral(" SET ") + assignments +
                       QStringLiteral(", kf_pr=? WHERE ") + keyColumn + QStringLiteral("=?"),
                   values, &error))
        return DeviceWrite::Failed(error);
    return {true, true, QString()};
}
