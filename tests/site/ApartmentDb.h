#pragma once
// The site fixture with what the apartment tests share: the reference object
// with its apartments, the rows of an entrance as text, ranges and keys put
// in place as the operator would have left them.

#include "SiteDb.h"
#include "site/ApartmentGenerator.h"
#include "site/RowOrigin.h"

class ApartmentDb : public SiteDb {
  protected:
    using SiteDb::Rows;
    // The reference object (or one changed by options) up to its apartments.
    qint64 BuildApartments(ReferenceObjectOptions options = {}) {
        ReferenceObject ref(std::move(options));
        EXPECT_TRUE(ref.Build(ReferenceStep::Apartments)) << ref.Error().toStdString();
        return ref.IdNet();
    }
    // Entrances of the object in house and entrance order.
    QList<qint64> EntranceIds(qint64 idNet) {
        QList<qint64> ids;
        QSqlQuery q =
            Sql("SELECT p.id_pod FROM k_pod p JOIN k_dom d ON p.id_dom=d.id_dom "
                "WHERE p.id_net=? ORDER BY d.id_dom, p.n_pod",
                {idNet});
        while (q.next()) ids << q.value(0).toLongLong();
        return ids;
    }
    // The object's first entrance; 0, with a failure, when it has none (the
    // test then goes on without reading past an empty list).
    qint64 FirstEntranceId(qint64 idNet) {
        const QList<qint64> ids = EntranceIds(idNet);
        if (ids.isEmpty()) ADD_FAILURE() << "the object has no entrance";
        return ids.isEmpty() ? 0 : ids.first();
    }
    // Rows of an entrance as "p_nom n_kvr p_kvr st_kvr", by position.
    QStringList Rows(qint64 idPod) {
        return Rows(
            "SELECT p_nom || ' ' || n_kvr || ' ' || p_kvr || ' ' || st_kvr "
            "FROM k_kvr WHERE id_pod=? ORDER BY p_nom, id_kvr",
            {idPod});
    }
    qint64 RowId(qint64 idPod, int pNom) {
        return One("SELECT id_kvr FROM k_kvr WHERE id_pod=? AND p_nom=?", {idPod, pNom})
            .toLongLong();
    }
    void SetRange(qint64 idPod, int first, int last, int count) {
        Sql("UPDATE k_pod SET n1kvr=?, npkvr=?, v_kvr=? WHERE id_pod=?",
            {first, last, count, idPod});
    }
    // A key of apartment row idKvr in entrance idPod.
    void AddKey(qint64 idPod, qint64 idKvr, const QString& number, bool marked = false) {
        Sql("INSERT INTO k_key (un_key, id_pod, bv_key, id_kvr, id_net, l_del) "
            "VALUES (?, ?, ?, ?, (SELECT id_net FROM k_pod WHERE id_pod=?), ?)",
            {number, idPod, number.right(6), idKvr, idPod, marked ? 1 : 0});
    }
    QStringList Keys() { return Rows("SELECT un_key FROM k_key ORDER BY un_key"); }

    // "Сохранить квартиры для КМ" with the overwrite question answered.
    GenerationResult Generate(DlgAnswer answer, int keys = 4, bool manualRows = false) {
        dialogs_.Expect(GenerationTexts::kCaption,
                        manualRows ? GenerationTexts::kKeepManual : GenerationTexts::kOverwrite,
                        answer);
        return generator_.Run(keys);
    }

    ApartmentGenerator generator_;
};
