#pragma once
// The reference object with its apartments and its device records: a switch
// record per matrix column, a call-panel record per panel of the matrix and
// the console record, shaped as the synchronisation from the matrix and the
// console screen make them (defaults, links, terminals by each switch's own
// rule, the state "закрыто"), and the rows the editors of the entrance
// switches, apartments and residents read back.

#include "ApartmentDb.h"
#include "foundation/TerminalDistribution.h"
#include "site/ApartmentRow.h"

// The device records of object idNet, as the switch screen's "Коммутаторов
// нет. Создать их из матрицы?" answered Yes leaves them.
inline void SeedDeviceRecords(QSqlDatabase db, qint64 idNet) {
    auto run = [&db](const QString& sql, const QVariantList& values = {}) {
        QSqlQuery q(db);
        EXPECT_TRUE(q.prepare(sql)) << sql.toStdString();
        for (const QVariant& v : values) q.addBindValue(v);
        EXPECT_TRUE(q.exec()) << sql.toStdString() << ": " << q.lastError().text().toStdString();
        return q;
    };
    QSqlQuery net = run("SELECT incr, l_pok, v_kal FROM k_net WHERE id_net=?", {idNet});
    EXPECT_TRUE(net.next());
    const int incr = net.value(0).toInt();
    const bool console = net.value(1).toInt() != 0;
    const int gates = net.value(2).toInt();
    QList<QVariantList> columns;
    QSqlQuery mpk =
        run("SELECT n_pk, n_net, id_dom, n_pod, v_dvr FROM m_pk WHERE id_net=? "
            "ORDER BY n_pk",
            {idNet});
    while (mpk.next())
        columns << QVariantList{mpk.value(0), mpk.value(1), mpk.value(2), mpk.value(3),
                                mpk.value(4)};
    QList<qint64> switches;
    for (const QVariantList& c : columns) {
        QSqlQuery pod =
            run("SELECT id_pod, n1kvr, type_n FROM k_pod WHERE id_dom=? AND n_pod=?", {c[2], c[3]});
        if (!pod.next()) continue;
        const bool hotel = pod.value(2).toInt() != 0;
        const int n1kvr = pod.value(1).toInt();
        const int ai = hotel ? incr : n1kvr <= 100 ? n1kvr : n1kvr % 100;
        const int wired = c[4].toInt() + gates;
        const QString mask =
            QString(wired, QLatin1Char('1')) + QString(std::max(0, 8 - wired), QLatin1Char('0'));
        const qint64 idPk =
            run("INSERT INTO k_pk (id_net, n_net, id_pod, type_k, p_fc, type_f, ah, kf_pr, ai, "
                "m_vo, m_vb) VALUES (?, ?, ?, 'Торвин', 1, ?, 0, 0, ?, ?, ?)",
                {idNet, c[1], pod.value(0), hotel ? 3 : 0, ai, mask, mask})
                .lastInsertId()
                .toLongLong();
        run("UPDATE m_pk SET id_pk=? WHERE id_net=? AND n_pk=?", {idPk, idNet, c[0]});
        switches << idPk;
    }
    QSqlQuery panels =
        run("SELECT DISTINCT n_net, n_nt0, bv_type, n_bv FROM m_bv WHERE id_net=? "
            "ORDER BY n_net",
            {idNet});
    QList<QVariantList> found;
    while (panels.next())
        found << QVariantList{panels.value(0), panels.value(1), panels.value(2), panels.value(3)};
    for (const QVariantList& p : found) {
        const qint64 idBv = run("INSERT INTO k_bv (id_net, n_net, n_nt0, bv_type, n_bv, nrcs, "
                                "l_pok, l_use, kf_pr) VALUES (?, ?, ?, ?, ?, ?, ?, 1, 0)",
                                {idNet, p[0], p[1], p[2], p[3], int(console), int(console)})
                                .lastInsertId()
                                .toLongLong();
        run("UPDATE m_bv SET id_bv=? WHERE id_net=? AND n_net=?", {idBv, idNet, p[0]});
    }
    if (console && run("SELECT 1 FROM k_po WHERE id_net=?", {idNet}).next() == false)
        run("INSERT INTO k_po (id_net) VALUES (?)", {idNet});
    for (qint64 idPk : switches) {
        const TerminalResult r = RecountTerminals(db, idPk, 1, 0);
        EXPECT_TRUE(r.ok) << r.error.toStdString();
    }
    run("UPDATE k_net SET st_net='закрыто' WHERE id_net=?", {idNet});
}

class SwitchRecordsDb : public ApartmentDb {
  protected:
    // The reference object with its device records, its switches and
    // entrances in the switch list's order.
    void SetUpObject(ReferenceObjectOptions options = {}) {
        idNet_ = BuildDevices(std::move(options));
        pks_ = SwitchIds(idNet_);
        pods_ = EntranceIds(idNet_);
    }
    static QList<int> Range(int from, int to) {
        QList<int> r;
        for (int i = from; i <= to; ++i) r << i;
        return r;
    }
    // Row idKvr's values as stored.
    ApartmentValues StoredValues(qint64 idKvr) {
        StoredApartment stored;
        QSqlQuery q(Db());
        QString error;
        EXPECT_TRUE(ReadApartment(q, idKvr, &stored, &error)) << error.toStdString();
        return stored.values;
    }

    // The reference object (or one changed by options) with its apartments
    // and device records; the current object of the data module, on its
    // first switch.
    qint64 BuildDevices(ReferenceObjectOptions options = {}) {
        const qint64 idNet = BuildApartments(std::move(options));
        SeedDeviceRecords(Db(), idNet);
        EXPECT_TRUE(dm_.OpenAllTables());
        EXPECT_TRUE(dm_.Q_Net->Locate("id_net", idNet));
        dm_.Q_MNpk->First();
        return idNet;
    }
    // Switches of the object in the switch list's order.
    QList<qint64> SwitchIds(qint64 idNet) {
        QList<qint64> ids;
        QSqlQuery q =
            Sql("SELECT k.id_pk FROM k_pk k JOIN k_pod p ON p.id_pod=k.id_pod "
                "JOIN k_dom d ON d.id_dom=p.id_dom WHERE k.id_net=? "
                "ORDER BY d.id_dom, p.n_pod",
                {idNet});
        while (q.next()) ids << q.value(0).toLongLong();
        return ids;
    }
    QVariant Switch(qint64 idPk, const QString& column) {
        return One(QStringLiteral("SELECT %1 FROM k_pk WHERE id_pk=?").arg(column), {idPk});
    }
    void SetSwitch(qint64 idPk, const QString& assignments, const QVariantList& values = {}) {
        QVariantList all = values;
        all << idPk;
        Sql(QStringLiteral("UPDATE k_pk SET %1 WHERE id_pk=?").arg(assignments), all);
    }
    // Terminals of an entrance's rows in p_nom order.
    QList<int> Terminals(qint64 idPod) {
        QList<int> t;
        QSqlQuery q = Sql("SELECT p_pk FROM k_kvr WHERE id_pod=? ORDER BY p_nom, id_kvr", {idPod});
        while (q.next()) t << q.value(0).toInt();
        return t;
    }
    // Every terminal and switch field a distribution writes, for before/after.
    QStringList TerminalState(qint64 idNet) {
        return Rows("SELECT id_kvr, p_pk FROM k_kvr WHERE id_net=? ORDER BY id_kvr", {idNet}) +
               Rows(
                   "SELECT id_pk, n_xl, p_fc, type_f, type_k, ah, kf_pr FROM k_pk "
                   "WHERE id_net=? ORDER BY id_pk",
                   {idNet}) +
               Rows("SELECT * FROM t_dip ORDER BY id_dip");
    }
    // The file states of the object's devices: switches, panels, console.
    QStringList FileStates(const QString& table, qint64 idNet) {
        return Rows(QStringLiteral("SELECT kf_pr FROM %1 WHERE id_net=? ORDER BY rowid").arg(table),
                    {idNet});
    }
    void SetFileStates(qint64 idNet, int state) {
        for (const char* table : {"k_pk", "k_bv", "k_po"})
            Sql(QStringLiteral("UPDATE %1 SET kf_pr=? WHERE id_net=?").arg(table), {state, idNet});
    }

    qint64 idNet_ = 0;
    QList<qint64> pks_;
    QList<qint64> pods_;
};
