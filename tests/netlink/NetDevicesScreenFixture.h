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

// The reference object with its device records, as the switch screen makes
// them from the access matrix.
class NetDevicesScreen : public NetFormFixture {
  protected:
    void SetUp() override {
        NetFormFixture::SetUp();
        QString error;
        ASSERT_TRUE(dm.Connect(db.dbPath(), &error)) << error.toStdString();
        ASSERT_TRUE(dm.OpenAllTables()) << dm.LastError().toStdString();
        SiteForms::InstallHooks();
        ReferenceObject ref;
        ASSERT_TRUE(ref.Build(ReferenceStep::DeviceRecords)) << ref.Error().toStdString();
        idNet = ref.IdNet();
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

    qint64 Exec(const QString& sql, const QVariantList& values) {
        QSqlQuery q(dm.ConnectionDB());
        EXPECT_TRUE(q.prepare(sql)) << sql.toStdString();
        for (const QVariant& v : values) q.addBindValue(v);
        EXPECT_TRUE(q.exec()) << sql.toStdString();
        return q.lastInsertId().toLongLong();
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
