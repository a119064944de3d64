#pragma once
// A program folder with a new database opened through a data module with its
// datasets open, the dialog script, and small helpers that read rows back.
// Hooks and globals a test changes are put back afterwards.

#include "foundation/Globals.h"
#include "foundation/NavigationHooks.h"
#include "foundation/TFDM.h"
#include "support/ReferenceObject.h"
#include "support/ScriptedDialogs.h"
#include "support/TestDatabase.h"

#include <gtest/gtest.h>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QStringList>

class SiteDb : public ::testing::Test {
  protected:
    void SetUp() override {
        QString error;
        ASSERT_TRUE(dm_.Connect(db_.dbPath(), &error)) << error.toStdString();
        ASSERT_TRUE(dm_.OpenAllTables()) << dm_.LastError().toStdString();
    }
    ~SiteDb() override {
        Hooks() = savedHooks_;
        Globals() = savedGlobals_;
    }

    QSqlDatabase Db() { return dm_.ConnectionDB(); }

    // Runs a statement with bound values; a failure fails the test.
    QSqlQuery Sql(const QString& sql, const QVariantList& values = {}) {
        QSqlQuery q(Db());
        EXPECT_TRUE(q.prepare(sql))
            << sql.toStdString() << ": " << q.lastError().text().toStdString();
        for (const QVariant& v : values) q.addBindValue(v);
        EXPECT_TRUE(q.exec()) << sql.toStdString() << ": " << q.lastError().text().toStdString();
        return q;
    }
    QVariant One(const QString& sql, const QVariantList& values = {}) {
        QSqlQuery q = Sql(sql, values);
        return q.next() ? q.value(0) : QVariant();
    }
    qint64 Insert(const QString& sql, const QVariantList& values = {}) {
        return Sql(sql, values).lastInsertId().toLongLong();
    }
    // Every row of the select, its values joined by '|'.
    QStringList Rows(const QString& sql, const QVariantList& values = {}) {
        QSqlQuery q = Sql(sql, values);
        QStringList rows;
        while (q.next()) {
            QStringList cells;
            for (int i = 0; i < q.record().count(); ++i)
                cells << (q.isNull(i) ? QStringLiteral("<null>") : q.value(i).toString());
            rows << cells.join(QLatin1Char('|'));
        }
        return rows;
    }

    // The reference object with its entrances saved; it is the current object.
    qint64 BuildReference(ReferenceObjectOptions options = {}) {
        ReferenceObject ref(std::move(options));
        EXPECT_TRUE(ref.Build()) << ref.Error().toStdString();
        return ref.IdNet();
    }
    // Houses of the object in id_dom order.
    QList<qint64> HouseIds(qint64 idNet) {
        QList<qint64> ids;
        QSqlQuery q = Sql("SELECT id_dom FROM k_dom WHERE id_net=? ORDER BY id_dom", {idNet});
        while (q.next()) ids << q.value(0).toLongLong();
        return ids;
    }
    // Entrances of a house as "n_pod nm_pod", in n_pod order.
    QStringList Entrances(qint64 idDom) {
        return Rows("SELECT n_pod || ' ' || nm_pod FROM k_pod WHERE id_dom=? ORDER BY n_pod",
                    {idDom});
    }
    QString State(qint64 idNet) {
        return One("SELECT st_net FROM k_net WHERE id_net=?", {idNet}).toString();
    }
    void SetState(qint64 idNet, const QString& state) {
        Sql("UPDATE k_net SET st_net=? WHERE id_net=?", {state, idNet});
        dm_.Q_Net->Reopen();
        dm_.Q_Net->Locate("id_net", idNet);
    }

    NavigationHooks savedHooks_ = Hooks();
    ArmGlobals savedGlobals_ = Globals();
    TestDatabase db_;
    TFDM dm_;
    ScriptedDialogs dialogs_;
};
