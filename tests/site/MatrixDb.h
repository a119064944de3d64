#pragma once
// The site database fixture with the program's matrix hooks installed, and
// readers of what the matrix operations leave: the matrix table, m_pk, m_bv.

#include "SiteDb.h"
#include "foundation/MatrTable.h"
#include "site/ui/SiteForms.h"

class MatrixDb : public SiteDb {
  protected:
    // The entrance save rebuilds the matrix, "Сохранить матрицу?" saves it.
    MatrixDb() { SiteForms::InstallHooks(); }

    // The reference object up to the step, current in the object list.
    qint64 Build(ReferenceStep step = ReferenceStep::Matrix, ReferenceObjectOptions options = {}) {
        ReferenceObject ref(std::move(options));
        EXPECT_TRUE(ref.Build(step)) << ref.Error().toStdString();
        return ref.IdNet();
    }

    // The matrix table, one "name|sys_n|cells...|nm_bv" per row in name order.
    QStringList Matrix(qint64 idNet) {
        return Rows(QStringLiteral("SELECT * FROM ") + MatrTableName(idNet) +
                    QStringLiteral(" ORDER BY name"));
    }
    // m_pk: "n_pk|n_pod|kod_d|v_dvr|n_net|nm_pod" in column order.
    QStringList Columns(qint64 idNet) {
        return Rows(
            "SELECT n_pk, n_pod, kod_d, v_dvr, n_net, nm_pod FROM m_pk WHERE id_net=? "
            "ORDER BY n_pk",
            {idNet});
    }
    // m_bv: "n_bv|n_pk|bv_type|n_nt0|n_net|plus|tract" by name and column.
    QStringList Links(qint64 idNet) {
        return Rows(
            "SELECT n_bv, n_pk, bv_type, n_nt0, n_net, plus, tract FROM m_bv "
            "WHERE id_net=? ORDER BY n_bv, n_pk",
            {idNet});
    }
    // A cell of the matrix table written as an earlier edit left it.
    void SetCell(qint64 idNet, const QString& row, const QString& field, const QString& text) {
        Sql(QStringLiteral("UPDATE ") + MatrTableName(idNet) + QStringLiteral(" SET ") + field +
                QStringLiteral("=? WHERE name=?"),
            {text, row});
        dm_.Q_Matr->Reopen();
    }
    QString Cell(qint64 idNet, const QString& row, const QString& field) {
        return One(QStringLiteral("SELECT ") + field + QStringLiteral(" FROM ") +
                       MatrTableName(idNet) + QStringLiteral(" WHERE name=?"),
                   {row})
            .toString();
    }
    // The row of Q_Matr whose name begins so, -1 when none does.
    int MatrixRow(const QString& name) {
        const int f = dm_.Q_Matr->FieldIndex("name");
        for (int r = 0; r < dm_.Q_Matr->RecordCount(); ++r)
            if (dm_.Q_Matr->Value(r, f).toString().startsWith(name)) return r;
        return -1;
    }

    static inline const QString kGate1 = QStringLiteral("БВ калитки 01");
    static inline const QString kGate2 = QStringLiteral("БВ калитки 02");
    static inline const QString kNames = QStringLiteral("0      подъезд по порядку");
    static inline const QString kNumbers = QStringLiteral("4      сетевой номер КМ");
    static inline const QString kDoors = QStringLiteral("3      количество БВ в пд");
};
