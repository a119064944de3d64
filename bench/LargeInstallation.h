#pragma once
// The large installation of the benchmarks: 200 objects; the largest, in the
// middle, has 50 switches in one house, an entrance panel each and 13 gate
// panels wired to every switch (63 panels, 700 matrix cells); the others have
// 5 switches and 2 gates.

#include "BenchSupport.h"

namespace LargeInstallation {

constexpr int kObjects = 200;
constexpr int kLargestSwitches = 50;
constexpr int kLargestGates = 13;
constexpr int kOtherSwitches = 5;
constexpr int kOtherGates = 2;

// One object: one entrance panel per switch, every gate on every switch.
inline qint64 AddObject(QSqlDatabase& db, int n, int switches, int gates) {
    Inserter net(db,
                 "INSERT INTO k_net (ident, id_nom, v_pod, v_kal, l_pok, st_net)"
                 " VALUES (?, ?, ?, ?, 1, 'закрыто')");
    Inserter dom(db, "INSERT INTO k_dom (id_net, house, kod_d) VALUES (?, ?, ?)");
    Inserter pod(db, "INSERT INTO k_pod (id_net, id_dom, n_pod, v_dvr) VALUES (?, ?, ?, 1)");
    Inserter pk(db, "INSERT INTO k_pk (id_pod, id_net, n_net, kf_pr) VALUES (?, ?, ?, 1)");
    Inserter mpk(db,
                 "INSERT INTO m_pk (id_net, n_pk, n_pod, v_dvr, n_net, id_pk, id_dom)"
                 " VALUES (?, ?, ?, 1, ?, ?, ?)");
    Inserter bv(db,
                "INSERT INTO k_bv (id_net, n_net, n_nt0, n_bv, bv_type) VALUES (?, ?, ?, ?, ?)");
    Inserter mbv(db,
                 "INSERT INTO m_bv (id_net, n_bv, n_pk, bv_type, n_net, n_nt0, plus, id_bv)"
                 " VALUES (?, ?, ?, ?, ?, ?, 1, ?)");
    const qint64 idNet = net({QString("Объект %1").arg(n), n, switches, gates});
    const qint64 idDom = dom({idNet, QStringLiteral("1"), QStringLiteral("1")});
    for (int s = 1; s <= switches; ++s) {
        const qint64 idPod = pod({idNet, idDom, s});
        const qint64 idPk = pk({idPod, idNet, s});
        mpk({idNet, s, s, s, idPk, idDom});
        const QString door = QString("БВ подъезда %1. 01 вход").arg(s, 2, 10, QChar('0'));
        const qint64 idBv = bv({idNet, 64 + s, s, door, 0});
        mbv({idNet, door, s, 0, 64 + s, s, idBv});
    }
    for (int g = 1; g <= gates; ++g) {
        const int nNt0 = switches + g;
        const QString gate = QString("БВ калитки %1").arg(g, 2, 10, QChar('0'));
        const qint64 idBv = bv({idNet, 64 + nNt0, nNt0, gate, 1});
        for (int s = 1; s <= switches; ++s) mbv({idNet, gate, s, 1, 64 + nNt0, nNt0, idBv});
    }
    return idNet;
}

// Fills the installation; returns the largest object's id_net.
inline qint64 Build(QSqlDatabase& db) {
    qint64 largest = 0;
    for (int o = 1; o <= kObjects; ++o) {
        const bool isLargest = o == kObjects / 2;
        const qint64 idNet = AddObject(db, o, isLargest ? kLargestSwitches : kOtherSwitches,
                                       isLargest ? kLargestGates : kOtherGates);
        if (isLargest) largest = idNet;
    }
    return largest;
}

}  // namespace LargeInstallation
