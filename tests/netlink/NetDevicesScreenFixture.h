#pragma once
// The network devices screen on the reference object and the simulated bus,
// bound to the network settings form of NetFormFixture.

#include "NetFormFixture.h"
#include "foundation/Globals.h"
#include "foundation/NavigationHooks.h"
#include "foundation/TFDM.h"
#include "netlink/ui/TFrNetDev.h"
#include "site/ui/SiteForms.h"
#include "support/ReferenceObject.h"
#include "support/TestDatabase.h"

#include <QListWidget>
#include <QPlainTextEdit>
#include <QSqlQuery>

#include <memory>

inline QStringList Items(const QListWidget* list) {
    QStringList items;
    for (int row = 0; row < list->count(); ++row) items << list->item(row)->text();
    return items;
}

inline QStringList Lines(const QPlainTextEdit* memo) {
    const QString text = memo->toPlainText();
    return text.isEmpty() ? QStringList() : text.split('\n');
}

// The reference object with its device records. The program makes those
// records by its own synchronisation, which is not built yet; until then they
// are seeded here as that synchronisation shapes them: one switch per matrix
// column, one record per call panel of the matrix, and the console.
class NetDevicesScreen : public NetFormFixture {
  protected:
    void SetUp() override {
        NetFormFixture::SetUp();
        QString error;
        ASSERT_TRUE(dm.Connect(db.dbPath(), &error)) << error.toStdString();
        ASSERT_TRUE(dm.OpenAllTables()) << dm.LastError().toStdString();
        SiteForms::InstallHooks();
        ReferenceObject ref;
        ASSERT_TRUE(ref.Build(ReferenceStep::Matrix)) << ref.Error().toStdString();
        idNet = ref.IdNet();
        SeedDeviceRecords();
        ASSERT_TRUE(dm.OpenAllTables()) << dm.LastError().toStdString();
        ASSERT_TRUE(dm.Q_Net->Locate("id_net", idNet));

        frame = std::make_unique<TFrNetDev>();
        frame->BindNetForm(form.get());
        frame->resize(1180, 760);
        frame->PrepareScreen(db.dbDir());
        frame->show();
    }
    void TearDown() override {
        frame.reset();
        form.reset();
        Hooks() = savedHooks;
        Globals() = savedGlobals;
    }

    QList<QVariantList> Rows(const QString& sql) {
        QSqlQuery q(dm.ConnectionDB());
        EXPECT_TRUE(q.exec(sql)) << sql.toStdString();
        QList<QVariantList> rows;
        while (q.next()) {
            QVariantList row;
            for (int i = 0; i < 4; ++i) row << q.value(i);
            rows << row;
        }
        return rows;
    }
    qint64 Exec(const QString& sql, const QVariantList& values) {
        QSqlQuery q(dm.ConnectionDB());
        EXPECT_TRUE(q.prepare(sql)) << sql.toStdString();
        for (const QVariant& v : values) q.addBindValue(v);
        EXPECT_TRUE(q.exec()) << sql.toStdString();
        return q.lastInsertId().toLongLong();
    }

    void SeedDeviceRecords() {
        const QString id = QString::number(idNet);
        for (const QVariantList& c :
             Rows("SELECT n_pk, n_net, n_pod, id_dom FROM m_pk WHERE id_net=" + id +
                  " ORDER BY n_pk")) {
            const qint64 pod = Rows("SELECT id_pod FROM k_pod WHERE id_dom=" + c[3].toString() +
                                    " AND n_pod=" + c[2].toString())
                                   .value(0)
                                   .value(0)
                                   .toLongLong();
            const qint64 pk = Exec(
                "INSERT INTO k_pk (id_net, id_pod, n_net, id_ke, id_mvv, id_mot, type_k, kf_pr)"
                " VALUES (?, ?, ?, 1, 1, 2, 'Торвин', 0)",
                {idNet, pod, c[1]});
            Exec("UPDATE m_pk SET id_pk=? WHERE id_net=? AND n_pk=?", {pk, idNet, c[0]});
        }
        for (const QVariantList& p :
             Rows("SELECT DISTINCT n_net, n_nt0, bv_type, n_bv FROM m_bv WHERE id_net=" + id +
                  " ORDER BY n_net")) {
            const qint64 bv = Exec(
                "INSERT INTO k_bv (id_net, n_net, n_nt0, bv_type, n_bv, kf_pr) VALUES (?, ?, ?, ?,"
                " ?, 0)",
                {idNet, p[0], p[1], p[2], p[3]});
            Exec("UPDATE m_bv SET id_bv=? WHERE id_net=? AND n_net=?", {bv, idNet, p[0]});
        }
        Exec("INSERT INTO k_po (id_net, n_net, kf_pr) VALUES (?, 63, 0)", {idNet});
    }

    void Start() {
        frame->BitStartNetClick();
        ASSERT_TRUE(Link().LinkRunning());
    }

    NavigationHooks savedHooks = Hooks();
    ArmGlobals savedGlobals = Globals();
    TestDatabase db{TestDatabase::Kind::New};
    TFDM dm;
    qint64 idNet = 0;
    std::unique_ptr<TFrNetDev> frame;
};
