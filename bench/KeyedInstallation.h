#pragma once
// The installation of the data module's benchmarks: 200 objects of 2 houses
// and 5 entrances, 40,000 apartments, 150,000 keys, 1,000 switches and 2,000
// call panels.

#include "BenchSupport.h"

namespace KeyedInstallation {

constexpr int kObjects = 200;
constexpr int kHouses = 2;            // per object
constexpr int kEntrances = 5;         // per object, one switch each
constexpr int kApartments = 40;       // per entrance: 40,000 in all
constexpr int kKeysPerApartment = 3;  // 120,000 apartment keys
constexpr int kCommonKeys = 30;       // per entrance: 30,000 common keys
constexpr int kGates = 5;             // per object, besides 5 entrance panels

inline void Build(QSqlDatabase& db) {
    Inserter net(db,
                 "INSERT INTO k_net (ident, id_nom, v_pod, v_kal, v_key, st_net)"
                 " VALUES (?, ?, ?, ?, 2, 'закрыто')");
    Inserter dom(db, "INSERT INTO k_dom (id_net, house, kod_d) VALUES (?, ?, ?)");
    Inserter pod(db, "INSERT INTO k_pod (id_net, id_dom, n_pod, v_kvr) VALUES (?, ?, ?, ?)");
    Inserter kvr(db,
                 "INSERT INTO k_kvr (id_net, id_pod, p_nom, n_kvr, p_kvr, x_key, y_key)"
                 " VALUES (?, ?, ?, ?, ?, 3, 3)");
    Inserter key(db,
                 "INSERT INTO k_key (un_key, id_pod, bv_key, id_kvr, id_net)"
                 " VALUES (?, ?, ?, ?, ?)");
    Inserter pk(db, "INSERT INTO k_pk (id_pod, id_net, n_net, type_k) VALUES (?, ?, ?, 'КМ')");
    Inserter mpk(db,
                 "INSERT INTO m_pk (id_net, n_pk, n_pod, n_net, id_pk, id_dom)"
                 " VALUES (?, ?, ?, ?, ?, ?)");
    Inserter bv(db,
                "INSERT INTO k_bv (id_net, n_net, n_nt0, n_bv, bv_type) VALUES (?, ?, ?, ?, ?)");
    Inserter mbv(db,
                 "INSERT INTO m_bv (id_net, n_bv, n_pk, bv_type, n_net, n_nt0, plus, id_bv)"
                 " VALUES (?, ?, ?, ?, ?, ?, ?, ?)");
    qint64 keyNo = 0;
    for (int o = 1; o <= kObjects; ++o) {
        const qint64 idNet = net({QString("Объект %1").arg(o), o, kEntrances, kGates});
        qint64 houses[kHouses];
        for (int h = 0; h < kHouses; ++h)
            houses[h] = dom({idNet, QString("Дом %1").arg(h + 1), QString::number(h + 1)});
        for (int e = 1; e <= kEntrances; ++e) {
            const qint64 idDom = houses[e <= 3 ? 0 : 1];
            const qint64 idPod = pod({idNet, idDom, e <= 3 ? e : e - 3, kApartments});
            for (int a = 1; a <= kApartments; ++a) {
                const QString n = QString::number(e * 100 + a);
                const qint64 idKvr = kvr({idNet, idPod, a, n, n});
                for (int k = 0; k < kKeysPerApartment; ++k) {
                    const QString un = QString("%1").arg(++keyNo, 12, 16, QChar('0')).toUpper();
                    key({un, idPod, un.right(6), idKvr, idNet});
                }
            }
            for (int k = 0; k < kCommonKeys; ++k) {
                const QString un = QString("%1").arg(++keyNo, 12, 16, QChar('0')).toUpper();
                key({un, idPod, un.right(6), -1, idNet});
            }
            const qint64 idPk = pk({idPod, idNet, e});
            mpk({idNet, e, e, e, idPk, idDom});
        }
        for (int b = 0; b < kEntrances + kGates; ++b) {
            const bool gate = b >= kEntrances;
            const QString name = QString(gate ? "Калитка %1" : "БВ %1").arg(b);
            const qint64 idBv = bv({idNet, 64 + b, b, name, gate ? 1 : 0});
            if (!gate) {
                mbv({idNet, name, b + 1, 0, 64 + b, b, 1, idBv});
            } else {
                for (int c = 1; c <= kEntrances; ++c)
                    mbv({idNet, name, c, 1, 64 + b, b, c % 3 + 1, idBv});
            }
        }
    }
}

}  // namespace KeyedInstallation
