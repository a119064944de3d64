#include "devices/SerialEntry.h"

#include "foundation/BoundSql.h"
#include "platform/Dialogs.h"

#include <QSqlQuery>
#include <QVariant>

SerialColumn SerialColumn::Switches() {
    return {SerialNumber::Kind::Switch, QStringLiteral("k_pk"), QStringLiteral("id_pk"),
            QStringLiteral("sn_pk")};
}

SerialColumn SerialColumn::CallPanels() {
    return {SerialNumber::Kind::CallPanel, QStringLiteral("k_bv"), QStringLiteral("id_bv"),
            QStringLiteral("sn_bv")};
}

SerialColumn SerialColumn::Consoles() {
    return {SerialNumber::Kind::Console, QStringLiteral("k_po"), QStringLiteral("id_po"),
            QStringLiteral("sn_po")};
}

namespace {

SerialExitResult Ended(SerialExit outcome, const QString& shown, const QString& error = {}) {
    SerialExitResult r;
    r.outcome = outcome;
    r.shown = shown;
    r.error = error;
    return r;
}

bool ReadStored(QSqlDatabase db, const SerialColumn& c, qint64 id, QString* stored,
                QString* error) {
    QSqlQuery q(db);
    if (!ExecBound(
            q, QStringLiteral("SELECT %1 FROM %2 WHERE %3=?").arg(c.column, c.table, c.keyColumn),
            {id}, error))
        return false;
    *stored = q.next() ? q.value(0).toString().trimmed() : QString();
    return true;
}

// Another device of the object that holds the number (0 when none).
bool FindHolder(QSqlDatabase db, const SerialColumn& c, qint64 id, qint64 idNet,
                const QString& number, qint64* holder, QString* error) {
    QSqlQuery q(db);
    if (!ExecBound(q,
                   QStringLiteral("SELECT %1 FROM %2 WHERE id_net=? AND TRIM(%3)=? AND %1<>? "
                                  "ORDER BY %1 LIMIT 1")
                       .arg(c.keyColumn, c.table, c.column),
                   {idNet, number, id}, error))
        return false;
    *holder = q.next() ? q.value(0).toLongLong() : 0;
    return true;
}

bool AskToJump() {
    return Dialogs::Message(
               QStringLiteral("Повторение!"),
               QStringLiteral("Попытка ввести имеющийся серийный номер! Перейти на найденный SN?"),
               DlgButtons::YesNo, DlgIcon::Question) == DlgAnswer::Yes;
}

}  // namespace

SerialExitResult LeaveSerialField(QSqlDatabase db, const SerialColumn& where, qint64 id,
                                  qint64 idNet, const QString& typed) {
    QString stored;
    QString error;
    if (!ReadStored(db, where, id, &stored, &error))
        return Ended(SerialExit::Failed, QString(), error);
    // The number as it would be stored, so that a 9-digit number finds the
    // device that holds it with its "A".
    const QString number = SerialNumber::Normalised(typed);
    if (number == stored) return Ended(SerialExit::Unchanged, stored);
    if (!number.isEmpty()) {
        qint64 holder = 0;
        if (!FindHolder(db, where, id, idNet, number, &holder, &error))
            return Ended(SerialExit::Failed, stored, error);
        if (holder != 0) {
            if (!AskToJump()) return Ended(SerialExit::Unchanged, stored);
            SerialExitResult r = Ended(SerialExit::JumpTo, stored);
            r.otherId = holder;
            return r;
        }
    }
    if (!SerialNumber::Accepted(where.kind, number)) return Ended(SerialExit::Refused, stored);
    QSqlQuery q(db);
    if (!ExecBound(q,
                   QStringLiteral("UPDATE %1 SET %2=? WHERE %3=?")
                       .arg(where.table, where.column, where.keyColumn),
                   {number, id}, &error))
        return Ended(SerialExit::Failed, stored, error);
    return Ended(SerialExit::Stored, number);
}
