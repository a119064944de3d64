#include "site/DeviceMarks.h"

#include "foundation/BitAndStr.h"
#include "foundation/BoundSql.h"

#include <QList>
#include <QPair>
#include <QVariant>

namespace DeviceMarking {

bool AdvanceFileStates(QSqlQuery& q, const QString& table, const QString& keyColumn,
                       const QString& where, const QVariantList& values, QString* error) {
    if (!ExecBound(q,
                   QStringLiteral("SELECT ") + keyColumn + QStringLiteral(", kf_pr FROM ") + table +
                       QStringLiteral(" WHERE ") + where,
                   values, error))
        return false;
    QList<QPair<qint64, int>> changed;  // key, new state
    while (q.next()) {
        const int before = q.value(1).toInt();  // null reads as 0
        const int after = KfPrAfterEdit(before);
        if (after != before) changed.append({q.value(0).toLongLong(), after});
    }
    q.finish();
    for (const auto& [key, state] : std::as_const(changed))
        if (!ExecBound(q,
                       QStringLiteral("UPDATE ") + table + QStringLiteral(" SET kf_pr=? WHERE ") +
                           keyColumn + QStringLiteral("=?"),
                       {state, key}, error))
            return false;
    return true;
}

namespace {

const QString kWiredPanels = QStringLiteral(
    "id_bv IN (SELECT m.id_bv FROM m_bv m JOIN m_pk p ON m.n_pk=p.n_pk AND m.id_net=p.id_net "
    "WHERE p.id_pk=? AND (m.plus=1 OR m.plus=3))");

bool advanceConsole(QSqlQuery& q, qint64 idNet, QString* error) {
    return AdvanceFileStates(q, QStringLiteral("k_po"), QStringLiteral("id_po"),
                             QStringLiteral("id_net=?"), {idNet}, error);
}

}  // namespace

bool AdvanceWiredPanels(QSqlQuery& q, qint64 idPk, QString* error) {
    return AdvanceFileStates(q, QStringLiteral("k_bv"), QStringLiteral("id_bv"), kWiredPanels,
                             {idPk}, error);
}

bool ApplyAfterRowSave(QSqlQuery& q, qint64 idNet, qint64 idPod, const DeviceMarks& marks,
                       QString* error) {
    if (marks.console && !advanceConsole(q, idNet, error)) return false;
    if (marks.switchMark && !AdvanceFileStates(q, QStringLiteral("k_pk"), QStringLiteral("id_pk"),
                                               QStringLiteral("id_pod=?"), {idPod}, error))
        return false;
    if (!marks.panels) return true;
    // Only an entrance the matrix holds a switch for is served by the panels.
    if (!ExecBound(q,
                   QStringLiteral("SELECT 1 FROM k_pk k JOIN m_pk m ON m.n_net=k.n_net "
                                  "AND m.id_net=k.id_net WHERE k.id_pod=? LIMIT 1"),
                   {idPod}, error))
        return false;
    const bool served = q.next();
    q.finish();
    return !served || AdvanceFileStates(q, QStringLiteral("k_bv"), QStringLiteral("id_bv"),
                                        QStringLiteral("id_net=?"), {idNet}, error);
}

bool ApplyToSwitch(QSqlQuery& q, qint64 idNet, qint64 idPk, const DeviceMarks& marks,
                   QString* error) {
    if (marks.switchMark && !AdvanceFileStates(q, QStringLiteral("k_pk"), QStringLiteral("id_pk"),
                                               QStringLiteral("id_pk=?"), {idPk}, error))
        return false;
    if (marks.panels && !AdvanceWiredPanels(q, idPk, error)) return false;
    return !marks.console || advanceConsole(q, idNet, error);
}

}  // namespace DeviceMarking
