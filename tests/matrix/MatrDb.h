#pragma once
// Rows of a small installation for the matrix and terminal tests.

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVariantList>

#include <gtest/gtest.h>

namespace matrtest {

inline QString S(const char* utf8) {
    return QString::fromUtf8(utf8);
}

// Runs one statement with bound values; a failure fails the test.
inline QSqlQuery Sql(QSqlDatabase db, const QString& sql, const QVariantList& values = {}) {
    QSqlQuery q(db);
    EXPECT_TRUE(q.prepare(sql)) << sql.toStdString();
    for (const QVariant& v : values) q.addBindValue(v);
    EXPECT_TRUE(q.exec()) << sql.toStdString();
    return q;
}

inline QVariant One(QSqlDatabase db, const QString& sql, const QVariantList& values = {}) {
    QSqlQuery q = Sql(db, sql, values);
    return q.next() ? q.value(0) : QVariant();
}

inline void AddObject(QSqlDatabase db, qint64 idNet, int vPod, int vKal, const QString& state) {
    Sql(db, "INSERT INTO k_net (id_net, ident, v_pod, v_kal, st_net) VALUES (?, ?, ?, ?, ?)",
        {idNet, S("Объект"), vPod, vKal, state});
}

inline void AddSwitchColumn(QSqlDatabase db, qint64 idNet, int nPk, int nNet,
                            const QString& nmPod = {}) {
    Sql(db,
        "INSERT INTO m_pk (id_net, n_pk, n_pod, kod_d, v_dvr, n_net, nm_pod) "
        "VALUES (?, ?, ?, '7', 1, ?, ?)",
        {idNet, nPk, nPk, nNet, nmPod});
}

inline void AddLink(QSqlDatabase db, qint64 idNet, const QString& nBv, int nPk, int bvType,
                    int nNt0, int plus, int tract, const QString& nmBv = {}) {
    Sql(db,
        "INSERT INTO m_bv (id_net, n_bv, n_pk, bv_type, n_nt0, n_net, plus, tract, nm_bv) "
        "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?)",
        {idNet, nBv, nPk, bvType, nNt0, nNt0 + 64, plus, tract, nmBv});
}

// Rows of a matrix table in name order, each as "name|sys_n|cells...|nm_bv".
inline QStringList MatrRows(QSqlDatabase db, const QString& table) {
    QStringList rows;
    QSqlQuery q(db);
    EXPECT_TRUE(q.exec("SELECT * FROM " + table + " ORDER BY name"));
    while (q.next()) {
        QStringList cells;
        for (int i = 0; i < q.record().count(); ++i)
            cells << (q.isNull(i) ? QStringLiteral("<null>") : q.value(i).toString());
        rows << cells.join('|');
    }
    return rows;
}

}  // namespace matrtest
