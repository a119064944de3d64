#include "foundation/TerminalDistribution.h"

#include "foundation/BitAndStr.h"
#include "foundation/BoundSql.h"
#include "foundation/CountLimits.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>
#include <algorithm>
#include <limits>
#include <optional>

namespace {

TerminalResult TerminalFail(const QString& error) {
    return {false, error};
}

bool IsMode(int mode) {
    return mode >= kTerminalsByHundreds && mode <= kTerminalsNone;
}

// Sequential numbering within hundreds: the hundredth terminal of each
// hundred is stored as its value less 100 (0 after 99, 100 after 199).
void ByHundreds(int first, int count, TerminalPlan* plan) {
    int q = 1, h = 1, t = first, m = 0;
    for (int i = 0; i < count; ++i) {
        plan->terminals.append(t);
        ++q;
        ++t;
        if (q == 101) {
            q = 1;
            ++h;
            t += 100;
        }
        if (h * 100 == t) {
            t = h * 100 - 100;
            m = h * 100;
        }
        m = std::max(m, t);
    }
    plan->count = m;
}

// A terminal as the plan keeps it: many ranges of many skipped terminals
// may pass what an int holds.
int planned(qint64 t) {
    return CountLimits::Within(t, std::numeric_limits<int>::min(), std::numeric_limits<int>::max());
}

void ByRanges(int count, const QList<TerminalRange>& ranges, TerminalPlan* plan) {
    qint64 t = 1, m = 0;
    int done = 0;
    for (const TerminalRange& r : ranges) {
        t += r.nNul;
        qint64 q = t;
        for (int i = 0; i < r.nFul && done < count; ++i, ++done) {
            if (q == 100) q = 0;
            plan->terminals.append(planned(q == 0 ? t - 100 : t));
            ++q;
            ++t;
            m = std::max(m, t);
        }
    }
    for (; done < count; ++done) {
        plan->terminals.append(planned(t));
        ++t;
        m = std::max(m, t);
    }
    plan->count = planned(m);
}

}  // namespace

TerminalPlan DistributeTerminals(int mode, int first, int apartmentCount,
                                 const QList<TerminalRange>& ranges) {
    TerminalPlan plan;
    const int count = std::max(apartmentCount, 0);
    switch (mode) {
        case kTerminalsByHundreds:
        case kTerminalsByHundredsHotel:
            ByHundreds(first, count, &plan);
            break;
        case kTerminalsByRanges:
            ByRanges(count, ranges, &plan);
            break;
        case kTerminalsNone:
            plan.terminals = QList<int>(count, 0);
            plan.count = count + 1;
            break;
        default:
            break;
    }
    return plan;
}

QString SwitchTypeForMode(int mode) {
    return mode < kTerminalsNone ? QStringLiteral("Торвин") : QStringLiteral("Lusk");
}

int FirstTerminalFromApartment(int n1kvr) {
    return n1kvr > 100 ? n1kvr % 100 : n1kvr;
}

namespace {

struct TerminalSwitchRow {
    qint64 idPod = 0;
    qint64 idNet = 0;
    int kfPr = 0;
    int typeF = 0;
    int pFc = 0;
    int ai = 0;
};

bool ReadTerminalSwitch(QSqlDatabase db, qint64 idPk, TerminalSwitchRow* row, QString* error) {
    QSqlQuery q(db);
    if (!ExecBound(q,
                   QStringLiteral("SELECT id_pod, id_net, kf_pr, type_f, p_fc, ai FROM k_pk "
                                  "WHERE id_pk=?"),
                   {idPk}, error))
        return false;
    if (!q.next()) {
        *error = QStringLiteral("Коммутатор не найден");
        return false;
    }
    // ai gives the first terminal of a hotel entrance's recount.
    *row = {q.value(0).toLongLong(), q.value(1).toLongLong(),
            q.value(2).toInt(),      q.value(3).toInt(),
            q.value(4).toInt(),      CountLimits::Terminal(q.value(5).toLongLong())};
    return true;
}

// The writes of AssignTerminals, inside the caller's transaction.
bool AssignInTransaction(QSqlDatabase db, qint64 idPk, const TerminalSwitchRow& sw, int mode,
                         int first, QString* error) {
    QSqlQuery q(db);
    QList<qint64> apartments;
    if (!ExecBound(q,
                   QStringLiteral("SELECT id_kvr FROM k_kvr WHERE id_pod=? ORDER BY p_nom, id_kvr"),
                   {sw.idPod}, error))
        return false;
    while (q.next()) apartments << q.value(0).toLongLong();
    QList<TerminalRange> ranges;
    if (!ExecBound(q,
                   QStringLiteral("SELECT n_nul, n_ful FROM t_dip WHERE id_pk=? ORDER BY id_dip"),
                   {idPk}, error))
        return false;
    while (q.next()) ranges.append({q.value(0).toInt(), q.value(1).toInt()});

    const TerminalPlan plan = DistributeTerminals(mode, first, int(apartments.size()), ranges);
    for (int i = 0; i < apartments.size(); ++i)
        if (!ExecBound(q, QStringLiteral("UPDATE k_kvr SET p_pk=? WHERE id_kvr=?"),
                       {plan.terminals[i], apartments[i]}, error))
            return false;
    if ((mode == kTerminalsByHundreds || mode == kTerminalsByHundredsHotel) &&
        !ExecBound(q, QStringLiteral("DELETE FROM t_dip WHERE id_pk=?"), {idPk}, error))
        return false;

    QString sql = QStringLiteral("UPDATE k_pk SET n_xl=?, p_fc=?, type_f=?, kf_pr=?, type_k=?");
    if (mode == kTerminalsNone) sql += QStringLiteral(", ah=0");
    return ExecBound(
        q, sql + QStringLiteral(" WHERE id_pk=?"),
        {plan.count, first, mode, KfPrAfterEdit(sw.kfPr), SwitchTypeForMode(mode), idPk}, error);
}

}  // namespace

TerminalResult AssignTerminals(QSqlDatabase db, qint64 idPk, int mode, int first) {
    if (!IsMode(mode)) return TerminalFail(QStringLiteral("Неизвестный режим распределения клемм"));
    QString error;
    TerminalSwitchRow sw;
    if (!ReadTerminalSwitch(db, idPk, &sw, &error)) return TerminalFail(error);
    SqlTransaction tr(db);
    if (!tr.started()) return TerminalFail(tr.LastError());
    if (!AssignInTransaction(db, idPk, sw, mode, first, &error)) return TerminalFail(error);
    if (!tr.Commit()) return TerminalFail(tr.LastError());
    return {true, {}};
}

namespace {

bool ReadFirstApartment(QSqlDatabase db, const TerminalSwitchRow& sw, int* n1kvr, QString* error) {
    QSqlQuery q(db);
    if (!ExecBound(q, QStringLiteral("SELECT n1kvr FROM k_pod WHERE id_pod=?"), {sw.idPod}, error))
        return false;
    *n1kvr = q.next() ? q.value(0).toInt() : 0;
    return true;
}

// A ranges switch recounted from its own settings falls back to hundreds;
// AssignTerminals then deletes its ranges.
void OwnModeAndFirst(const TerminalSwitchRow& sw, int n1kvr, int* mode, int* first) {
    *mode = sw.typeF == kTerminalsByRanges ? kTerminalsByHundredsHotel : sw.typeF;
    *first = sw.pFc != 0 ? sw.pFc : FirstTerminalFromApartment(n1kvr);
}

// Whether AssignTerminals with mode and first would write what is stored already.
bool TerminalsStandSo(QSqlDatabase db, qint64 idPk, const TerminalSwitchRow& sw, int mode,
                      int first, bool* same, QString* error) {
    QSqlQuery q(db);
    if (!ExecBound(q,
                   QStringLiteral("SELECT p_pk FROM k_kvr WHERE id_pod=? ORDER BY p_nom, id_kvr"),
                   {sw.idPod}, error))
        return false;
    QList<int> stored;
    while (q.next()) stored << q.value(0).toInt();
    const TerminalPlan plan = DistributeTerminals(mode, first, int(stored.size()), {});
    if (!ExecBound(q,
                   QStringLiteral("SELECT n_xl, type_k, ah, (SELECT COUNT(*) FROM t_dip "
                                  "WHERE id_pk=k.id_pk) FROM k_pk k WHERE id_pk=?"),
                   {idPk}, error) ||
        !q.next())
        return false;
    *same = stored == plan.terminals && q.value(0).toInt() == plan.count && sw.pFc == first &&
            sw.typeF == mode && q.value(1).toString() == SwitchTypeForMode(mode) &&
            (mode != kTerminalsNone || q.value(2).toInt() == 0) && q.value(3).toInt() == 0;
    return true;
}

}  // namespace

TerminalResult RecountOwnTerminalsWhenChanged(QSqlDatabase db, qint64 idPk) {
    QString error;
    TerminalSwitchRow sw;
    int n1kvr = 0;
    if (!ReadTerminalSwitch(db, idPk, &sw, &error) || !ReadFirstApartment(db, sw, &n1kvr, &error))
        return TerminalFail(error);
    int mode = 0, first = 1;
    OwnModeAndFirst(sw, n1kvr, &mode, &first);
    bool same = false;
    if (!TerminalsStandSo(db, idPk, sw, mode, first, &same, &error)) return TerminalFail(error);
    return same ? TerminalResult{true, {}} : RecountTerminals(db, idPk, 1, mode);
}

TerminalResult RecountTerminals(QSqlDatabase db, qint64 idPk, int callKind, int mode) {
    if (callKind != 1 && callKind != 2)
        return TerminalFail(QStringLiteral("Неизвестный вид пересчета клемм"));
    QString error;
    TerminalSwitchRow sw;
    int n1kvr = 0;
    if (!ReadTerminalSwitch(db, idPk, &sw, &error) || !ReadFirstApartment(db, sw, &n1kvr, &error))
        return TerminalFail(error);
    QSqlQuery q(db);

    int first = 1;
    if (callKind == 1) {
        OwnModeAndFirst(sw, n1kvr, &mode, &first);
    } else if (mode == kTerminalsByHundredsHotel) {
        first = sw.ai != 0 ? sw.ai : FirstTerminalFromApartment(n1kvr);
    }
    if (!IsMode(mode)) return TerminalFail(QStringLiteral("Неизвестный режим распределения клемм"));

    SqlTransaction tr(db);
    if (!tr.started()) return TerminalFail(tr.LastError());
    if (callKind == 2 && mode == kTerminalsByRanges) {
        // One range over all rows of the entrance, from the first terminal.
        if (!ExecBound(q, QStringLiteral("SELECT COUNT(*) FROM k_kvr WHERE id_pod=?"), {sw.idPod},
                       &error) ||
            !q.next())
            return TerminalFail(error);
        const int rows = q.value(0).toInt();
        if (!ExecBound(q, QStringLiteral("DELETE FROM t_dip WHERE id_pk=?"), {idPk}, &error) ||
            !ExecInsert(q,
                        QStringLiteral(
                            "INSERT INTO t_dip (id_pk, id_net, n_nul, n_ful) VALUES (?, ?, 0, ?)"),
                        {idPk, sw.idNet, rows}, &error))
            return TerminalFail(error);
    }
    if (!AssignInTransaction(db, idPk, sw, mode, first, &error)) return TerminalFail(error);
    if (!tr.Commit()) return TerminalFail(tr.LastError());
    return {true, {}};
}

// ---- per-entrance checks -------------------------------------------------

bool ApartmentNumberingOk(const QList<EntranceApartments>& entrances) {
    bool ok = true;
    for (const EntranceApartments& e : entrances) {
        for (int i = 0; i < e.pNoms.size() && ok; ++i)
            if (e.pNoms[i] != i + 1) ok = false;
        // An entrance without an apartment range yet is not held against the object.
        if (e.n1kvr == 1 && e.npkvr == 0) ok = true;
        if (!ok) break;
    }
    return ok;
}

QList<ApartmentCountFix> ApartmentCountMismatches(const QList<EntranceApartments>& entrances,
                                                  int countKind) {
    QList<ApartmentCountFix> out;
    for (const EntranceApartments& e : entrances) {
        const int expected = countKind == 1 ? e.apartmentCount : e.npkvr - e.n1kvr + 1;
        if (e.vKvr != expected) out.append({e.idPod, expected});
    }
    return out;
}

namespace {

bool ReadEntrances(QSqlDatabase db, qint64 idNet, QList<EntranceApartments>* out, QString* error) {
    QSqlQuery q(db);
    if (!ExecBound(q,
                   QStringLiteral("SELECT id_pod, n1kvr, npkvr, v_kvr FROM k_pod WHERE id_net=? "
                                  "ORDER BY id_pod"),
                   {idNet}, error))
        return false;
    while (q.next())
        out->append({q.value(0).toLongLong(),
                     q.value(1).toInt(),
                     q.value(2).toInt(),
                     q.value(3).toInt(),
                     {},
                     0});
    for (EntranceApartments& e : *out) {
        if (!ExecBound(q,
                       QStringLiteral("SELECT p_nom, COALESCE(l_trub, 0) FROM k_kvr WHERE id_pod=? "
                                      "ORDER BY p_nom, id_kvr"),
                       {e.idPod}, error))
            return false;
        while (q.next()) {
            e.pNoms << q.value(0).toInt();
            if (q.value(1).toInt() == 0) ++e.apartmentCount;
        }
    }
    return true;
}

}  // namespace

bool CheckApartmentNumbering(QSqlDatabase db, qint64 idNet) {
    QList<EntranceApartments> entrances;
    QString error;
    return ReadEntrances(db, idNet, &entrances, &error) && ApartmentNumberingOk(entrances);
}

bool CheckApartmentCounts(QSqlDatabase db, qint64 idNet, int countKind, bool fix) {
    if (countKind != 1 && countKind != 2) return false;
    QList<EntranceApartments> entrances;
    QString error;
    // A fix counts the rows inside its own write, so that rows another copy
    // of the program adds meanwhile are counted or wait for it.
    std::optional<SqlTransaction> tr;
    if (fix) tr.emplace(db);
    if ((tr && !tr->started()) || !ReadEntrances(db, idNet, &entrances, &error)) return false;
    const QList<ApartmentCountFix> fixes = ApartmentCountMismatches(entrances, countKind);
    if (!fix) return fixes.isEmpty();
    QSqlQuery q(db);
    for (const ApartmentCountFix& f : fixes)
        if (!ExecBound(q, QStringLiteral("UPDATE k_pod SET v_kvr=? WHERE id_pod=?"),
                       {f.count, f.idPod}, &error))
            return false;
    return tr->Commit();
}
