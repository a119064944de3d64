#pragma once
// Two listed objects with rows in every table an object owns, as the site
// fixture seeds them plus keys of all three kinds, terminal ranges, consoles
// and the first object's matrix table. Object 1 has id_nom 7.

#include "foundation/MatrTable.h"
#include "foundation/SiteFixture.h"
#include "support/ScriptedDialogs.h"

#include <QSqlRecord>
#include <QStringList>

#include <algorithm>
#include <tuple>
#include <vector>

class ObjectDeletionFixture : public SiteFixture {
  protected:
    // The tables whose rows belong to an object by their id_net.
    static QStringList ObjectTables() {
        return {"k_net", "k_dom", "k_pod", "k_kvr", "k_key", "k_pk",
                "k_bv",  "k_po",  "m_pk",  "m_bv",  "t_dip"};
    }

    void SetUp() override {
        SiteFixture::SetUp();
        if (HasFatalFailure()) return;
        SeedObjectRows();
        ASSERT_TRUE(dm_->OpenAllTables()) << dm_->LastError().toStdString();
    }

    void SeedObjectRows() {
        Exec(
            "UPDATE k_net SET id_nom=7, ident='Дом на Садовой', adres='ул. Садовая, 12',"
            " v_dom=2, v_pod=3, v_kal=1, d_beg='2024-03-01' WHERE id_net=1");
        Exec("UPDATE k_net SET id_nom=8, adres='пр. Мира, 3', v_pod=1 WHERE id_net=2");
        // An apartment key, a common key of the entrance and a gate key
        // (id_pod holding the gate panel's id_bv) for object 1; object 2
        // has an apartment key on an entrance whose id equals object 1's
        // gate panel, so that nothing is matched by id_pod alone.
        Exec(
            "INSERT INTO k_key (un_key, id_pod, bv_key, id_kvr, id_net) VALUES"
            " ('000000000001', 1, '000001', (SELECT MIN(id_kvr) FROM k_kvr WHERE id_pod=1), 1),"
            " ('000000000002', 1, '000002', -1, 1),"
            " ('000000000003', 2, '000003', -2, 1),"
            " ('000000000004', 4, '000004', (SELECT MIN(id_kvr) FROM k_kvr WHERE id_pod=4), 2),"
            " ('000000000005', 4, '000005', -1, 2)");
        Exec("INSERT INTO t_dip (id_pk, id_net, n_dip) VALUES (1, 1, 1), (2, 1, 1), (4, 2, 1)");
        Exec("INSERT INTO k_po (id_net, sn_po) VALUES (1, 'A12345678'), (2, 'A87654321')");
        QSqlDatabase db = dm_->ConnectionDB();
        const MatrResult created = CreateMatrTable(db, 1, MatrTableName(1));
        ASSERT_TRUE(created.ok) << created.error.toStdString();
        const MatrResult filled = RebuildMatrTable(db, 1, QStringLiteral("БВ калитки "));
        ASSERT_TRUE(filled.ok) << filled.error.toStdString();
    }

    // Rows of table that match where, as sorted texts (row order and rowids
    // are not what a copy must keep).
    static QStringList Rows(QSqlDatabase db, const QString& table, const QString& where) {
        QStringList rows;
        QSqlQuery q(db);
        EXPECT_TRUE(q.exec(QStringLiteral("SELECT * FROM %1 WHERE %2").arg(table, where)))
            << table.toStdString() << ": " << q.lastError().text().toStdString();
        while (q.next()) {
            QStringList cells;
            for (int i = 0; i < q.record().count(); ++i) cells << q.value(i).toString();
            rows << cells.join(QLatin1Char('|'));
        }
        rows.sort();
        return rows;
    }
    static int Count(QSqlDatabase db, const QString& sql) {
        QSqlQuery q(db);
        EXPECT_TRUE(q.exec(sql) && q.next()) << sql.toStdString();
        return q.value(0).toInt();
    }
    static bool HasTable(QSqlDatabase db, const QString& name) {
        return Count(db, QStringLiteral("SELECT COUNT(*) FROM sqlite_master WHERE type='table' "
                                        "AND name='%1'")
                             .arg(name)) == 1;
    }
    // Every table of the database that has an id_net column.
    static QStringList TablesWithObjectColumn(QSqlDatabase db) {
        QStringList found;
        for (const QString& table : db.tables())
            if (db.record(table).contains(QStringLiteral("id_net"))) found << table;
        return found;
    }
    QString DumpDatabase() {
        QSqlDatabase db = tdb_.open();
        return TestDatabase::Dump(db);
    }

    // Gauge reports (value, maximum, visible), as the progress window gets them.
    using GaugeReport = std::tuple<int, int, bool>;
    ProgressFn Recorder() {
        return [this](int value, int maximum, bool visible) {
            gauge_.emplace_back(value, maximum, visible);
        };
    }

    std::vector<GaugeReport> gauge_;
    ScriptedDialogs dialogs_;
};
