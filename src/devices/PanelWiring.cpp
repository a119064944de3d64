#include "devices/PanelWiring.h"

#include "foundation/BoundSql.h"

#include <QSqlQuery>
#include <QVariant>

bool ReadWiredSwitches(QSqlDatabase db, qint64 idBv, QList<WiredSwitch>* wired, QString* error) {
    wired->clear();
    QSqlQuery q(db);
    if (!ExecBound(q,
                   QStringLiteral("SELECT k.id_pk, k.id_pod, k.n_net, m.n_pk "
                                  "FROM m_bv v, m_pk m, k_pk k, k_pod p, k_dom d "
                                  "WHERE m.n_pk = v.n_pk AND v.id_net = m.id_net "
                                  "AND k.id_pk = m.id_pk AND p.id_pod = k.id_pod "
                                  "AND p.id_dom = d.id_dom AND v.id_bv = ? "
                                  "AND (v.plus=1 OR v.plus=3) ORDER BY k.n_net, m.n_pk"),
                   {idBv}, error))
        return false;
    while (q.next())
        wired->append({q.value(0).toLongLong(), q.value(1).toLongLong(), q.value(2).toInt(),
                       q.value(3).toInt()});
    return true;
}

const WiredSwitch* FindWired(const QList<WiredSwitch>& wired, qint64 idPk) {
    for (const WiredSwitch& sw : wired)
        if (sw.idPk == idPk) return &sw;
    return nullptr;
}

const WiredSwitch* FirstByColumn(const QList<WiredSwitch>& wired) {
    const WiredSwitch* first = nullptr;
    for (const WiredSwitch& sw : wired)
        if (!first || sw.nPk < first->nPk) first = &sw;
    return first;
}

bool ReadEntranceRows(QSqlDatabase db, qint64 idPod, QList<EntranceRow>* rows, QString* error) {
    rows->clear();
    QSqlQuery q(db);
    if (!ExecBound(q,
                   QStringLiteral("SELECT p_nom, n_kvr, st_kvr FROM k_kvr WHERE id_pod=? "
                                  "ORDER BY p_nom, id_kvr"),
                   {idPod}, error))
        return false;
    while (q.next())
        rows->append({q.value(0).toInt(), q.value(1).toString(), q.value(2).toString()});
    return true;
}

int ConsoleHandsetPnom(const QList<EntranceRow>& rows) {
    for (const EntranceRow& row : rows)
        if (row.stKvr == kSecurityPostRow && row.pNom != 0) return row.pNom;
    return 0;
}

const EntranceRow* FindRow(const QList<EntranceRow>& rows, int pNom) {
    for (const EntranceRow& row : rows)
        if (row.pNom == pNom) return &row;
    return nullptr;
}
