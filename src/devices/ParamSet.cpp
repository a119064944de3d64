#include "devices/ParamSet.h"

#include "foundation/BitAndStr.h"
#include "foundation/BoundSql.h"
#include "platform/Dialogs.h"

#include <QSqlQuery>
#include <QStringList>
#include <QVariant>

QVariantList ParamSetValues::InColumnOrder() const {
    return {t_cm, t_cl, t_dl, t_vc, t_dx, t_st, t_mo, t_bo, t_wt,
            t_po, t_ed, t_de, edge, acp1, acp2, acp3, acp4};
}

const QStringList& ParamSetColumns() {
    static const QStringList columns = {
        QStringLiteral("t_cm"), QStringLiteral("t_cl"), QStringLiteral("t_dl"),
        QStringLiteral("t_vc"), QStringLiteral("t_dx"), QStringLiteral("t_st"),
        QStringLiteral("t_mo"), QStringLiteral("t_bo"), QStringLiteral("t_wt"),
        QStringLiteral("t_po"), QStringLiteral("t_ed"), QStringLiteral("t_de"),
        QStringLiteral("edge"), QStringLiteral("acp1"), QStringLiteral("acp2"),
        QStringLiteral("acp3"), QStringLiteral("acp4")};
    return columns;
}

int FiveMinuteUnits(int minutes) {
    return int(RoundHalfAway(minutes / 5.0));
}

QString ParamSetNameForSwitch(const QString& objectIdent, const QString& houseName, int nPod) {
    return objectIdent.trimmed() + ' ' + houseName.trimmed() + QStringLiteral(" под.") +
           QString::number(nPod);
}

QString ParamSetNameForHouse(const QString& houseName) {
    return houseName;
}

QString ParamSetNameForObject(const QString& objectIdent) {
    return objectIdent;
}

namespace {

ParamSetMatch ParamSetFailed(const QString& error) {
    ParamSetMatch m;
    m.error = error;
    return m;
}

ParamSetMatch LookUp(QSqlDatabase db, const ParamSetValues& v) {
    QStringList equal;
    for (const QString& column : ParamSetColumns()) equal << column + QStringLiteral("=?");
    QSqlQuery q(db);
    QString error;
    if (!ExecBound(q,
                   QStringLiteral("SELECT id_ke FROM t_ke WHERE ") +
                       equal.join(QStringLiteral(" AND ")) +
                       QStringLiteral(" ORDER BY id_net DESC, name, id_ke LIMIT 1"),
                   v.InColumnOrder(), &error))
        return ParamSetFailed(error);
    ParamSetMatch m;
    m.ok = true;
    if (q.next()) {
        m.idKe = q.value(0).toLongLong();
        m.existed = true;
    }
    return m;
}

bool Append(QSqlDatabase db, const ParamSetValues& v, const QString& name, qint64* idKe,
            QString* error) {
    QStringList marks;
    for (int i = 0; i < ParamSetColumns().size(); ++i) marks << QStringLiteral("?");
    QSqlQuery q(db);
    return InsertReturningKey(
        q,
        QStringLiteral("INSERT INTO t_ke (name, ") + ParamSetColumns().join(", ") +
            QStringLiteral(") VALUES (?, ") + marks.join(", ") + ')',
        QVariantList{name} + v.InColumnOrder(), QStringLiteral("id_ke"), idKe, error);
}

}  // namespace

ParamSetMatch FindParamSet(QSqlDatabase db, const ParamSetValues& v, const QString& nameIfNew) {
    ParamSetMatch m = LookUp(db, v);
    if (!m.ok || m.existed) return m;
    if (!Append(db, v, nameIfNew, &m.idKe, &m.error)) return ParamSetFailed(m.error);
    return m;
}

qint64 FindRecommendedParamSet(QSqlDatabase db) {
    QSqlQuery q(db);
    if (!ExecBound(q,
                   QStringLiteral("SELECT id_ke FROM t_ke WHERE substr(name, 1, ?)=? "
                                  "ORDER BY id_net DESC, name, id_ke LIMIT 1"),
                   {kRecommendedParamSetName.size(), kRecommendedParamSetName}, nullptr))
        return -1;
    return q.next() ? q.value(0).toLongLong() : 0;
}

qint64 AppendRecommendedParamSet(QSqlDatabase db, QString* error) {
    QSqlQuery q(db);
    qint64 idKe = 0;
    if (!InsertReturningKey(q,
                            QStringLiteral("INSERT INTO t_ke (name, l_use, t_wt, t_st, t_dl) "
                                           "VALUES (?, 1, 66, 1, 95)"),
                            {kRecommendedParamSetName}, QStringLiteral("id_ke"), &idKe, error))
        return 0;
    return idKe;
}

qint64 EnsureRecommendedParamSet(QSqlDatabase db, QString* error) {
    const qint64 found = FindRecommendedParamSet(db);
    if (found > 0) return found;
    if (found < 0) {
        if (error) *error = QStringLiteral("Не удалось найти рекомендованный набор параметров");
        return 0;
    }
    return AppendRecommendedParamSet(db, error);
}

bool ParamSetInUse(QSqlDatabase db, qint64 idKe, bool* used, QString* error) {
    return FindsRow(db, QStringLiteral("SELECT 1 FROM k_pk WHERE id_ke=? LIMIT 1"), {idKe}, used,
                    error);
}

namespace {

QString StoredName(QSqlDatabase db, qint64 idKe) {
    QSqlQuery q(db);
    if (!ExecBound(q, QStringLiteral("SELECT name FROM t_ke WHERE id_ke=?"), {idKe}, nullptr) ||
        !q.next())
        return QString();
    return q.value(0).toString();
}

}  // namespace

DeviceChange RenameParamSet(QSqlDatabase db, qint64 idKe, const QString& name, QString* error) {
    if (StoredName(db, idKe) == kRecommendedParamSetName) return DeviceChange::Refused;
    QSqlQuery q(db);
    return ExecBound(q, QStringLiteral("UPDATE t_ke SET name=? WHERE id_ke=?"),
                     {name.trimmed(), idKe}, error)
               ? DeviceChange::Done
               : DeviceChange::Failed;
}

DeviceChange DeleteParamSet(QSqlDatabase db, qint64 idKe, QString* error) {
    bool used = false;
    if (!ParamSetInUse(db, idKe, &used, error)) return DeviceChange::Failed;
    if (used) {
        Dialogs::Message(QStringLiteral("Отказ"),
                         QStringLiteral("Набор параметров используется, удаление невозможно!"),
                         DlgButtons::Ok, DlgIcon::Warning);
        return DeviceChange::Refused;
    }
    if (!Dialogs::AskYesNo(QStringLiteral("Удаление"), QStringLiteral("Удалить запись?")))
        return DeviceChange::Declined;
    QSqlQuery q(db);
    return ExecBound(q, QStringLiteral("DELETE FROM t_ke WHERE id_ke=?"), {idKe}, error)
               ? DeviceChange::Done
               : DeviceChange::Failed;
}
