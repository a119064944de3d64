#pragma once
// A small object in a fresh database, with the device rows shaped as the
// device-record synchronisation makes them (switch defaults: type "Торвин",
// the recommended parameter set, the two standard melodies, p_fc 1, camera
// masks of one entrance panel and one gate), for the configuration tests.
//
// Object 1, id_nom 1193046, with a console (common console code "900"; its
// row as the console screen first saves it on 01.06.2025):
// house 1 (prefix "1") with entrances 1 and 2, house 2 (prefix "2") with
// entrance 3. Each entrance has apartments 1..N (codes equal to the numbers)
// and the console handset row last. Switch n of entrance n has network
// number n; entrance panel n (address 64 + n) is wired to switch n on tract 1,
// the gate panel (address 68) to all three on tract 2.
//
// Keys, numbered by a running counter from KeyNumber(1) on: two in each of
// the first five apartments of every entrance (entrance by entrance, then
// apartment by apartment), three common keys per entrance (o_key 3), two on
// the gate panel.

#include "support/TestDatabase.h"

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

#include <gtest/gtest.h>

class ConfigObjectFixture : public ::testing::Test {
  protected:
    static constexpr qint64 kIdNet = 1;
    static constexpr qint64 kIdNom = 1193046;
    static constexpr int kEntrances = 3;

    void SetUp() override {
        db_ = tdb_.open();
        ASSERT_TRUE(db_.transaction());
        BuildObject(40);
        ASSERT_TRUE(db_.commit());
    }

    QSqlDatabase& Db() { return db_; }
    // The database file, for a data module opened on the same object.
    QString DbPath() const { return tdb_.dbPath(); }
    // Another connection on the file, as a second copy of the program holds one.
    QSqlDatabase SecondConnection() { return tdb_.open(); }

    void Sql(const QString& sql, const QVariantList& values = {}) {
        QSqlQuery q(db_);
        ASSERT_TRUE(q.prepare(sql)) << sql.toStdString();
        for (const QVariant& v : values) q.addBindValue(v);
        ASSERT_TRUE(q.exec()) << sql.toStdString() << ": " << q.lastError().text().toStdString();
    }

    qint64 IdPk(int nNet) {
        QSqlQuery q(db_);
        q.exec(QStringLiteral("SELECT id_pk FROM k_pk WHERE n_net = %1").arg(nNet));
        return q.next() ? q.value(0).toLongLong() : -1;
    }

    void BuildObject(int apartments) {
        Sql("INSERT INTO k_net (id_net, ident, id_nom, l_pok, v_kal, st_net, p_kvr, flbv, flpo,"
            " v_pod, v_dom, v_key) VALUES (?, 'Дом на Садовой', ?, 1, 1, 'закрыто', '900', ?, ?,"
            " 3, 2, 0)",
            {kIdNet, kIdNom, QStringLiteral("11") + QString(30, '0'),
             QStringLiteral("1") + QString(31, '0')});
        Sql("INSERT INTO k_dom (id_dom, id_net, house, kod_d, v_pod) VALUES"
            " (1, 1, '1', '1', 2), (2, 1, '2', '2', 1)");
        const int houses[kEntrances] = {1, 1, 2};
        const int numbers[kEntrances] = {1, 2, 1};
        for (int e = 1; e <= kEntrances; ++e) {
            const int first = e == 2 ? apartments + 1 : 1;
            Sql("INSERT INTO k_pod (id_pod, id_net, id_dom, n_pod, v_dvr, v_kvr, n1kvr, npkvr)"
                " VALUES (?, 1, ?, ?, 1, ?, ?, ?)",
                {e, houses[e - 1], numbers[e - 1], apartments, first, first + apartments - 1});
            AddApartments(e, first, apartments);
            AddSwitch(e, houses[e - 1], numbers[e - 1], apartments);
        }
        AddPanels();
        AddConsole();
        AddKeys();
    }

    static constexpr int kKeyedApartments = 5;
    static constexpr int kKeysPerApartment = 2;
    static constexpr int kCommonKeys = 3;
    static constexpr int kGateKeys = 2;
    static constexpr qint64 kGateIdBv = 4;

    // The 12-digit number of the n-th key; a panel stores its last 6 digits.
    static QString KeyNumber(int n) {
        return QStringLiteral("%1").arg(0xA10000 + n, 12, 16, QLatin1Char('0')).toUpper();
    }
    static QString PanelKey(int n) { return KeyNumber(n).right(6); }
    // The running number of a key of the fixture.
    static int ApartmentKeyNo(int entrance, int apartment, int key) {
        return ((entrance - 1) * kKeyedApartments + apartment - 1) * kKeysPerApartment + key;
    }
    static int CommonKeyNo(int entrance, int key) {
        return kEntrances * kKeyedApartments * kKeysPerApartment + (entrance - 1) * kCommonKeys +
               key;
    }
    static int GateKeyNo(int key) { return CommonKeyNo(kEntrances, kCommonKeys) + key; }

  private:
    void AddKey(int n, qint64 idPod, qint64 idKvr) {
        Sql("INSERT INTO k_key (un_key, id_pod, bv_key, id_kvr, id_net, l_ob, s_met, status)"
            " VALUES (?, ?, ?, ?, 1, ?, ?, 'АРМ 01.02.2024')",
            {KeyNumber(n), idPod, PanelKey(n), idKvr, idKvr < 0 ? 1 : 0,
             QStringLiteral("%1").arg(n, 4, 10, QLatin1Char('0'))});
    }

    void AddKeys() {
        for (int e = 1; e <= kEntrances; ++e) {
            for (int a = 1; a <= kKeyedApartments; ++a) {
                QSqlQuery q(db_);
                q.prepare("SELECT id_kvr FROM k_kvr WHERE id_pod = ? AND p_nom = ?");
                q.addBindValue(e);
                q.addBindValue(a);
                ASSERT_TRUE(q.exec() && q.next());
                const qint64 idKvr = q.value(0).toLongLong();
                for (int k = 1; k <= kKeysPerApartment; ++k)
                    AddKey(ApartmentKeyNo(e, a, k), e, idKvr);
                Sql("UPDATE k_kvr SET y_key = ? WHERE id_kvr = ?", {kKeysPerApartment, idKvr});
            }
            for (int k = 1; k <= kCommonKeys; ++k) AddKey(CommonKeyNo(e, k), e, -1);
            Sql("UPDATE k_pod SET o_key = ?, o_rky = ? WHERE id_pod = ?",
                {kCommonKeys, kCommonKeys, e});
        }
        for (int k = 1; k <= kGateKeys; ++k) AddKey(GateKeyNo(k), kGateIdBv, -2);
    }

    void AddApartments(int idPod, int first, int count) {
        for (int i = 0; i < count; ++i) {
            const QString n = QString::number(first + i);
            Sql("INSERT INTO k_kvr (id_net, id_pod, p_nom, n_kvr, p_kvr, st_kvr, x_key)"
                " VALUES (1, ?, ?, ?, ?, 'нет', 2)",
                {idPod, i + 1, n, n});
        }
        Sql("INSERT INTO k_kvr (id_net, id_pod, p_nom, n_kvr, p_kvr, st_kvr, l_trub, mtdy, mtnt)"
            " VALUES (1, ?, ?, 'пост охраны', '900', 'СПО', 1, -1, -1)",
            {idPod, count + 1});
    }

    void AddSwitch(int e, int idDom, int nPod, int apartments) {
        Sql("INSERT INTO k_pk (id_pod, id_net, id_ke, id_mvv, id_mot, m_vo, m_vb, n_xl, p_fc,"
            " n_net, type_k, type_f, ai, ah, kf_pr)"
            " VALUES (?, 1, 1, 1, 2, '11000000', '11000000', ?, 1, ?, 'Торвин', 0, ?, 0, 0)",
            {e, apartments + 1, e, e == 2 ? apartments + 1 : 1});
        Sql("INSERT INTO m_pk (id_net, n_pk, n_pod, kod_d, v_dvr, n_net, id_pk, id_dom)"
            " VALUES (1, ?, ?, ?, 1, ?, ?, ?)",
            {e, nPod, QString::number(idDom), e, IdPk(e), idDom});
    }

    void AddPanels() {
        for (int e = 1; e <= kEntrances + 1; ++e) {
            const bool gate = e > kEntrances;
            Sql("INSERT INTO k_bv (id_bv, id_net, n_net, n_nt0, n_bv, bv_type, l_use, nrcs, l_pok)"
                " VALUES (?, 1, ?, ?, ?, ?, 1, 1, 1)",
                {e, 64 + e, e,
                 gate ? QStringLiteral("БВ04 калитка ") : QStringLiteral("БВ подъезда"),
                 gate ? 1 : 0});
        }
        for (int e = 1; e <= kEntrances; ++e) {
            Sql("INSERT INTO m_bv (id_net, n_bv, n_pk, bv_type, n_net, n_nt0, plus, id_bv, tract)"
                " VALUES (1, 'БВ.1', ?, 0, ?, ?, 1, ?, 1)",
                {e, 64 + e, e, e});
            Sql("INSERT INTO m_bv (id_net, n_bv, n_pk, bv_type, n_net, n_nt0, plus, id_bv, tract)"
                " VALUES (1, 'К4', ?, 1, 68, 4, 1, 4, 2)",
                {e});
        }
    }

    // The console row: the table's defaults, then what the console screen and
    // its hardware dialog write when the row is new (standard melodies by
    // name, default texts, an unticked camera list of CamPO items).
    void AddConsole() {
        Sql("INSERT INTO k_po (id_net) VALUES (1)");
        Sql("UPDATE k_po SET klvl = 8, clvl = 8, sn_po = '', mtdy = 480, mtnt = 1320, kf_pr = 0,"
            " mcam = '00000000', id_mel0 = 3, id_mel1 = 4, ncam = 5, scam = 60, rmto = 90,"
            " dpto = 60, clha = 40, cldp = 30, talk = 60, frmi = 3, sobj1 = 'Пульт ПО ДАРВО',"
            " sobj2 = '01.06.2025 конф.', sus1 = 'Оператор 1', sus2 = 'Оператор 2',"
            " sus3 = 'Оператор 3', sus4 = 'Оператор 4', busy = 31, blato = 152, npce = 915,"
            " adccl = 25, adccm = 110, adcch = 200, adchl = 32, adchm = 64, adchh = 150,"
            " frmc = 45, exec = 10, cbto = 120, lrez = 0 WHERE id_net = 1");
    }

    TestDatabase tdb_;
    QSqlDatabase db_;
};
