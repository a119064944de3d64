#pragma once
// A fresh database with two visible objects and one hidden one, opened
// through a data module with every main dataset open.
//
// Object 1 (v_key 2): houses 1 and 2, entrances 1, 2 (house 1) and 3
// (house 2), three apartments each plus a handset in entrance 1; switches
// 1..3 on matrix columns 1..3; entrance panel 1 wired to column 1 and gate 2
// wired to columns 1 (plus 1), 2 (plus 3) and 3 (plus 2). Object 2 (v_key 1):
// one house, entrance 4, switch 4, panel 3.

#include "foundation/TFDM.h"
#include "support/TestDatabase.h"

#include <gtest/gtest.h>
#include <QSqlError>
#include <QSqlQuery>

#include <memory>

class SiteFixture : public ::testing::Test {
  protected:
    void SetUp() override {
        dm_ = std::make_unique<TFDM>();
        QString error;
        ASSERT_TRUE(dm_->Connect(tdb_.dbPath(), &error)) << error.toStdString();
        Seed();
        ASSERT_TRUE(dm_->OpenAllTables()) << dm_->LastError().toStdString();
    }
    void TearDown() override { dm_.reset(); }

    void Exec(const QString& sql) {
        QSqlQuery q(dm_->ConnectionDB());
        ASSERT_TRUE(q.exec(sql)) << sql.toStdString() << ": " << q.lastError().text().toStdString();
    }
    QVariant Scalar(const QString& sql) {
        QSqlQuery q(dm_->ConnectionDB());
        if (!q.exec(sql) || !q.next()) return QVariant();
        return q.value(0);
    }

    void Seed() {
        Exec(
            "INSERT INTO k_net (id_net, ident, v_key, st_net) VALUES"
            " (1, 'Объект 1', 2, 'закрыто'), (2, 'Объект 2', 1, 'сохранено'),"
            " (3, 'Старый', 0, 'восст')");
        Exec(
            "INSERT INTO k_dom (id_dom, id_net, house, kod_d) VALUES"
            " (1, 1, 'Дом 1', '1'), (2, 1, 'Дом 2', '2'), (3, 2, 'Дом 3', '')");
        Exec(
            "INSERT INTO k_pod (id_pod, id_net, id_dom, n_pod) VALUES"
            " (1, 1, 1, 1), (2, 1, 1, 2), (3, 1, 2, 1), (4, 2, 3, 1)");
        const int pods[][2] = {{1, 1}, {2, 1}, {3, 1}, {4, 2}};
        for (const auto& pn : pods)
            for (int n = 1; n <= 3; ++n)
                Exec(QStringLiteral("INSERT INTO k_kvr (id_net, id_pod, p_nom, n_kvr, p_kvr)"
                                    " VALUES (%1, %2, %3, '%4', '%4')")
                         .arg(pn[1])
                         .arg(pn[0])
                         .arg(n)
                         .arg(pn[0] * 10 + n));
        Exec(
            "INSERT INTO k_kvr (id_net, id_pod, p_nom, n_kvr, p_kvr, l_trub, st_kvr)"
            " VALUES (1, 1, 4, 'пост охраны', '11', 1, 'СПО')");
        Exec(
            "INSERT INTO k_pk (id_pk, id_pod, id_net, n_net, type_k) VALUES"
            " (1, 1, 1, 1, 'КМ-1'), (2, 2, 1, 2, 'КМ-2'), (3, 3, 1, 3, 'КМ-3'),"
            " (4, 4, 2, 1, 'КМ-4')");
        Exec(
            "INSERT INTO m_pk (id_net, n_pk, n_pod, n_net, id_pk, id_dom) VALUES"
            " (1, 1, 1, 1, 1, 1), (1, 2, 2, 2, 2, 1), (1, 3, 1, 3, 3, 2), (2, 1, 1, 1, 4, 3)");
        Exec(
            "INSERT INTO k_bv (id_bv, id_net, n_net, n_nt0, bv_type) VALUES"
            " (1, 1, 64, 0, 0), (2, 1, 65, 1, 1), (3, 2, 64, 0, 0)");
        Exec(
            "INSERT INTO m_bv (id_net, n_bv, n_pk, bv_type, plus, id_bv) VALUES"
            " (1, 'БВ 1', 1, 0, 1, 1), (1, 'Калитка', 1, 1, 1, 2), (1, 'Калитка', 2, 1, 3, 2),"
            " (1, 'Калитка', 3, 1, 2, 2), (2, 'БВ 3', 1, 0, 1, 3)");
    }

    TestDatabase tdb_{TestDatabase::Kind::New};
    std::unique_ptr<TFDM> dm_;
};
