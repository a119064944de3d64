#include "foundation/KeyCounters.h"

#include "foundation/BoundSql.h"
#include "foundation/CountLimits.h"

namespace {

// The keys of the row's apartment, and the same as its counter keeps them.
const QString kApartmentKeys =
    QStringLiteral("(SELECT COUNT(*) FROM k_key WHERE id_kvr=k_kvr.id_kvr)");
QString counted(const QString& keys) {
    return QStringLiteral("MIN(%1, %2)").arg(keys).arg(CountLimits::kMostCountedKeys);
}
const QString kObjectQuota =
    QStringLiteral("IFNULL((SELECT v_key FROM k_net WHERE id_net=k_kvr.id_net), 0)");
const QString kQuota = QStringLiteral("IFNULL(x_key, 0)");

QString apartmentStatement(KeyCounters::Quota rule) {
    if (rule == KeyCounters::Quota::FollowsCount) {
        const QString n = kApartmentKeys;
        return QStringLiteral(
                   "UPDATE k_kvr SET x_key=CASE WHEN %1 >= %2 THEN %1 ELSE MAX(%1, %3) "
                   "END, y_key=%1 WHERE id_kvr=? AND %1 < %4")
            .arg(n, kQuota, kObjectQuota)
            .arg(CountLimits::kMaxKeys);
    }
    const QString n = counted(kApartmentKeys);
    return QStringLiteral(
               "UPDATE k_kvr SET x_key=CASE WHEN %1 >= %2 THEN %1 WHEN %1 < %3 THEN %3 "
               "ELSE %2 END, y_key=%1 WHERE id_kvr=?")
        .arg(n, kQuota, kObjectQuota);
}

}  // namespace

namespace KeyCounters {

bool RecountApartment(QSqlDatabase db, qint64 idKvr, Quota rule, QString* error) {
    QSqlQuery q(db);
    return ExecBound(q, apartmentStatement(rule), {idKvr}, error);
}

bool RecountCommon(QSqlDatabase db, qint64 idPod, QString* error) {
    const QString n = counted(
        QStringLiteral("(SELECT COUNT(*) FROM k_key WHERE id_kvr=-1 AND id_pod=k_pod.id_pod)"));
    QSqlQuery q(db);
    return ExecBound(
        q,
        QStringLiteral("UPDATE k_pod SET o_key=MAX(IFNULL(o_key, 0), %1), o_rky=%1 WHERE id_pod=?")
            .arg(n),
        {idPod}, error);
}

}  // namespace KeyCounters
