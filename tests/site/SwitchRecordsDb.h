#pragma once
// The reference object with its apartments and its device records, made by
// the synchronisation from the matrix as the switch screen runs it (a switch
// record per matrix column, a call-panel record per panel, the console record,
// the state "закрыто"), and the rows the editors of the entrance switches,
// apartments and residents read back.

#include "ApartmentDb.h"
#include "site/ApartmentRow.h"

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
        ReferenceObject ref(std::move(options));
        EXPECT_TRUE(ref.Build(ReferenceStep::DeviceRecords)) << ref.Error().toStdString();
        EXPECT_TRUE(dm_.OpenAllTables());
        EXPECT_TRUE(dm_.Q_Net->Locate("id_net", ref.IdNet()));
        dm_.Q_MNpk->First();
        return ref.IdNet();
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
    // The file states of the object's devices (switches, panels, console) in
    // network number order.
    QStringList FileStates(const QString& table, qint64 idNet) {
        return Rows(QStringLiteral("SELECT kf_pr FROM %1 WHERE id_net=? ORDER BY n_net, rowid")
                        .arg(table),
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
