#pragma once
// The reference object with its device records as the synchronisation from the
// matrix leaves them before tracts and handset indexes are given, seeded by SQL
// and opened through a data module with every main dataset open.
//
// Object 1 "Дом на Садовой" (console, one gate, state "закрыто"):
//   house 1 (prefix "1"): entrance 1, apartments 1-40; entrance 2, 41-80;
//   house 2 (prefix "2"): entrance 1, apartments 1-40;
//   each entrance ends with the console handset row (p_nom 41, "СПО").
//   Switches 1..3 (id_pk 1..3, network numbers 1..3) on matrix columns 1..3;
//   entrance panels id_bv 2..4 (numbers 2..4) on their own columns; the gate
//   panel id_bv 1 (number 1) wired to all three columns.
// Object 2 "Соседний" (no console): one house, one entrance, switch 4 on its
// column 1 and entrance panel 5, so that uses by another object can be tested.

#include "foundation/BitAndStr.h"
#include "foundation/TFDM.h"
#include "support/TestDatabase.h"

#include <gtest/gtest.h>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

#include <memory>

class DeviceFixture : public ::testing::Test {
  protected:
    void SetUp() override {
        dm_ = std::make_unique<TFDM>();
        QString error;
        ASSERT_TRUE(dm_->Connect(tdb_.dbPath(), &error)) << error.toStdString();
        SeedReferenceObject();
        SeedNeighbour();
        ASSERT_TRUE(dm_->OpenAllTables()) << dm_->LastError().toStdString();
    }
    void TearDown() override { dm_.reset(); }

    QSqlDatabase Db() { return dm_->ConnectionDB(); }

    void Exec(const QString& sql, const QVariantList& values = {}) {
        QSqlQuery q(Db());
        ASSERT_TRUE(q.prepare(sql)) << sql.toStdString();
        for (const QVariant& v : values) q.addBindValue(v);
        ASSERT_TRUE(q.exec()) << sql.toStdString() << ": " << q.lastError().text().toStdString();
    }
    QVariant Scalar(const QString& sql, const QVariantList& values = {}) {
        QSqlQuery q(Db());
        q.prepare(sql);
        for (const QVariant& v : values) q.addBindValue(v);
        if (!q.exec() || !q.next()) return QVariant();
        return q.value(0);
    }
    int Int(const QString& sql, const QVariantList& values = {}) {
        return Scalar(sql, values).toInt();
    }

    // One apartment row per number, then the console handset row.
    void AddApartments(qint64 idNet, qint64 idPod, int first, int count, bool consoleHandset) {
        for (int i = 0; i < count; ++i)
            Exec(
                "INSERT INTO k_kvr (id_net, id_pod, p_nom, n_kvr, p_kvr, st_kvr, x_key) "
                "VALUES (?, ?, ?, ?, ?, 'нет', 2)",
                {idNet, idPod, i + 1, QString::number(first + i), QString::number(first + i)});
        if (consoleHandset)
            Exec(
                "INSERT INTO k_kvr (id_net, id_pod, p_nom, n_kvr, p_kvr, st_kvr, l_trub) "
                "VALUES (?, ?, ?, 'пост охраны', '0', 'СПО', 1)",
                {idNet, idPod, count + 1});
    }

    // Gives entrance idPod of the reference object count apartments numbered
    // from first (codes equal to the numbers), then the console handset row,
    // and the entrance's counts to match.
    void ResizeEntrance(qint64 idPod, int first, int count) {
        Exec("DELETE FROM k_kvr WHERE id_pod=?", {idPod});
        AddApartments(1, idPod, first, count, true);
        Exec("UPDATE k_pod SET v_kvr=?, n1kvr=?, npkvr=? WHERE id_pod=?",
             {count, first, first + count - 1, idPod});
    }

    // A switch record with the defaults a new one gets, and its matrix column.
    void AddSwitch(qint64 idPk, qint64 idNet, qint64 idPod, qint64 idDom, int nPod, int nPk,
                   int nNet, int n1kvr, int doors, int gates) {
        const QString mask = PadRight(QString(doors + gates, '1'), '0', 8);
        Exec(
            "INSERT INTO k_pk (id_pk, id_net, id_pod, n_net, id_mvv, id_mot, id_ke, type_k, "
            "p_fc, type_f, ah, kf_pr, ai, m_vo, m_vb) "
            "VALUES (?, ?, ?, ?, 1, 2, 1, 'Торвин', 1, 0, 0, 0, ?, ?, ?)",
            {idPk, idNet, idPod, nNet, n1kvr <= 100 ? n1kvr : n1kvr % 100, mask, mask});
        Exec(
            "INSERT INTO m_pk (id_net, n_pk, n_pod, kod_d, v_dvr, n_net, id_pk, id_dom, nm_pod) "
            "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?)",
            {idNet, nPk, nPod, QString::number(idDom), doors, nNet, idPk, idDom,
             "Л-" + IntToStrZ(nPk, 2)});
    }

    // A call-panel record with the defaults a new one gets.
    void AddPanel(qint64 idBv, qint64 idNet, int nNt0, int bvType, const QString& name,
                  bool console) {
        Exec(
            "INSERT INTO k_bv (id_bv, id_net, n_net, n_nt0, n_bv, bv_type, nrcs, l_pok, l_kns, "
            "bell, farc, l_use, kf_pr, blato) VALUES (?, ?, ?, ?, ?, ?, ?, ?, 0, 1, 0, 1, 0, 31)",
            {idBv, idNet, nNt0 + 64, nNt0, name, bvType, int(console), int(console)});
    }

    // A matrix cell wiring panel idBv (row name nBv) into column nPk.
    void Wire(qint64 idNet, qint64 idBv, const QString& nBv, int nPk, int bvType, int nNt0,
              int plus = 1, int tract = 0) {
        Exec(
            "INSERT INTO m_bv (id_net, n_bv, n_pk, bv_type, n_net, n_nt0, plus, id_bv, tract, "
            "l_use) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, 1)",
            {idNet, nBv, nPk, bvType, nNt0 + 64, nNt0, plus, idBv, tract});
    }

    static QString EntranceRow(int column, int door) {
        return "БВ подъезда " + IntToStrZ(column, 2) + ". " + IntToStrZ(door, 2) + " вход";
    }
    static QString GateRow(int gate) { return "БВ калитки " + IntToStrZ(gate, 2); }

    void SeedReferenceObject() {
        Exec(
            "INSERT INTO k_net (id_net, ident, adres, l_pok, v_kal, v_pod, v_dom, st_net, "
            "p_kvr, v_key, flbv) VALUES (1, 'Дом на Садовой', 'ул. Садовая, 12', 1, 1, 3, 2, "
            "'закрыто', '0', 2, '11000000000000001100000000000000')");
        Exec("INSERT INTO k_dom (id_dom, id_net, house, kod_d, v_pod) VALUES (1, 1, '1', '1', 2)");
        Exec("INSERT INTO k_dom (id_dom, id_net, house, kod_d, v_pod) VALUES (2, 1, '2', '2', 1)");
        const int entrances[][4] = {{1, 1, 1, 1}, {2, 1, 2, 41}, {3, 2, 1, 1}};
        for (const auto& e : entrances) {
            Exec(
                "INSERT INTO k_pod (id_pod, id_net, id_dom, n_pod, v_dvr, v_kvr, n1kvr, npkvr) "
                "VALUES (?, 1, ?, ?, 1, 40, ?, ?)",
                {e[0], e[1], e[2], e[3], e[3] + 39});
            AddApartments(1, e[0], e[3], 40, true);
            AddSwitch(e[0], 1, e[0], e[1], e[2], e[0], e[0], e[3], 1, 1);
        }
        AddPanel(1, 1, 1, 1, "БВ01 калитка ", true);
        for (int column = 1; column <= 3; ++column) Wire(1, 1, GateRow(1), column, 1, 1);
        const char* houses[] = {"1", "1", "2"};
        const int nPods[] = {1, 2, 1};
        for (int column = 1; column <= 3; ++column) {
            const int nNt0 = column + 1;
            AddPanel(nNt0, 1, nNt0, 0,
                     "БВ" + IntToStrZ(nNt0, 2) + " дом " + houses[column - 1] + " - " +
                         PadLeft(QString::number(nPods[column - 1]), ' ', 2) + ". 01 вх",
                     true);
            Wire(1, nNt0, EntranceRow(column, 1), column, 0, nNt0);
        }
        Exec("INSERT INTO k_po (id_net, n_net) VALUES (1, 63)");
    }

    void SeedNeighbour() {
        Exec(
            "INSERT INTO k_net (id_net, ident, v_pod, st_net) VALUES (2, 'Соседний', 1, "
            "'закрыто')");
        Exec("INSERT INTO k_dom (id_dom, id_net, house, kod_d, v_pod) VALUES (3, 2, '5', '', 1)");
        Exec(
            "INSERT INTO k_pod (id_pod, id_net, id_dom, n_pod, v_dvr, v_kvr, n1kvr, npkvr) "
            "VALUES (4, 2, 3, 1, 1, 3, 1, 3)");
        AddApartments(2, 4, 1, 3, false);
        AddSwitch(4, 2, 4, 3, 1, 1, 1, 1, 1, 0);
        AddPanel(5, 2, 1, 0, "БВ01 дом 5 -  1. 01 вх", false);
        Wire(2, 5, EntranceRow(1, 1), 1, 0, 1);
    }

    // Moves the data module to object idNet (Q_Net is ordered by id_net descending).
    void SelectObject(qint64 idNet) { ASSERT_TRUE(dm_->Q_Net->Locate("id_net", idNet)); }

    TestDatabase tdb_{TestDatabase::Kind::New};
    std::unique_ptr<TFDM> dm_;
};
