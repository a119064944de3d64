#include "devices/TractAssignment.h"

#include "foundation/BitAndStr.h"
#include "foundation/BoundSql.h"
#include "platform/Dialogs.h"

#include <QSqlQuery>
#include <QVariant>
#include <algorithm>

namespace {

// The highest tract the passes search up to: the device's 8, or fewer when
// the installation has fewer tracts.
constexpr int kSearchBound = 8;

class TractPlanner {
  public:
    TractPlanner(const QList<WiredTract>& wired, int bound) : wired_(wired), bound_(bound) {}

    // Tracts as they stood when the assignment began: what is assigned
    // during it does not count as taken.
    bool Taken(int tract) const {
        return std::any_of(wired_.cbegin(), wired_.cend(),
                           [tract](const WiredTract& w) { return w.tract == tract; });
    }
    bool TakenBy(int bvType, int tract) const {
        return std::any_of(wired_.cbegin(), wired_.cend(), [=](const WiredTract& w) {
            return w.bvType == bvType && w.tract == tract;
        });
    }

    // The next free tract from cur; past the bound it starts again at restart,
    // skipping the tracts of the other kind of panel, and falls back to last.
    int NextFree(int cur, int restart, int otherType, int last) const {
        while (Taken(cur)) ++cur;
        if (cur > bound_) {
            cur = restart;
            while (TakenBy(otherType, cur)) ++cur;
        }
        return cur > bound_ ? last : cur;
    }

    // A tract to fall back on, within the bound.
    int Fallback(int tract) const { return tract > bound_ || tract < 1 ? 1 : tract; }

  private:
    const QList<WiredTract>& wired_;
    int bound_;
};

void Give(TractPanel& panel, int tract, int mask) {
    panel.tract = tract;
    panel.mkBv = mask;
    panel.mkPo = mask;
}

void EntrancePass(QList<TractPanel>& entrances, const TractPlanner& planner, int tracts, int* cur) {
    const int count = int(entrances.size());
    if (count == 0 || count > tracts) return;
    int last = planner.Fallback(entrances.first().tract);
    for (TractPanel& panel : entrances) {
        if (panel.tract == 0) {
            *cur = planner.NextFree(*cur, 1, 1, last);
            Give(panel, *cur, 1);
            last = *cur;
        }
        ++*cur;
    }
}

// More panels than tracts: the gates share the tracts after the entrance
// panels, up to the one before the last, and only the first round keeps its
// camera masks. With no such tract left they share the last one.
void SharedGatePass(QList<TractPanel>& gates, int entranceCount, int tracts) {
    const int start = std::min(entranceCount + 1, tracts);
    const int top = std::max(start, tracts - 1);
    int cur = start;
    int mask = 1;
    for (TractPanel& panel : gates) {
        if (cur > top) {
            cur = start;
            mask = 0;
        }
        if (panel.tract == 0) Give(panel, cur, mask);
        ++cur;
    }
}

void GatePass(QList<TractPanel>& gates, const TractPlanner& planner, int entranceCount, int cur) {
    int last = gates.first().tract == 0 ? cur : gates.first().tract;
    last = planner.Fallback(last);
    for (TractPanel& panel : gates) {
        if (panel.tract == 0) {
            cur = planner.NextFree(cur, entranceCount + 1, 0, last);
            Give(panel, cur, 1);
            last = cur;
        }
        ++cur;
    }
}

}  // namespace

TractPlan PlanTracts(const QList<TractPanel>& entrances, const QList<TractPanel>& gates,
                     const QList<WiredTract>& wired, int kolTractPK) {
    TractPlan plan;
    plan.entrances = entrances;
    plan.gates = gates;
    const int p = int(entrances.size());
    const int k = int(gates.size());
    if (p >= 8 && k >= 1) {
        plan.refused = true;
        plan.caption = QStringLiteral("Для БВ") + IntToStrZ(entrances.first().nNt0, 2) + '.';
        plan.text = QStringLiteral(
            "Не предусмотрено количество дверей в подъезде больше 7 при наличии калиток.");
        return plan;
    }
    const int tracts = std::max(1, p + k <= kolTractPK ? p + k : kolTractPK);
    const TractPlanner planner(wired, std::clamp(kolTractPK, 1, kSearchBound));
    int cur = 1;
    EntrancePass(plan.entrances, planner, tracts, &cur);
    if (k == 0) return plan;
    if (p + k > tracts)
        SharedGatePass(plan.gates, p, tracts);
    else
        GatePass(plan.gates, planner, p, cur);
    return plan;
}

// ---------------------------------------------------------------- database

namespace {

TractResult TractAssignFail(const QString& error) {
    TractResult r;
    r.error = error;
    return r;
}

bool ReadPanels(QSqlDatabase db, const SwitchColumn& sw, int bvType, QList<TractPanel>* panels,
                QString* error) {
    QSqlQuery q(db);
    if (!ExecBound(q,
                   QStringLiteral("SELECT rowid, n_nt0, tract, mk_bv, mk_po FROM m_bv "
                                  "WHERE (plus=1 OR plus=3) AND bv_type=? AND n_pk=? AND id_net=? "
                                  "ORDER BY n_bv, rowid"),
                   {bvType, sw.nPk, sw.idNet}, error))
        return false;
    while (q.next())
        panels->append({q.value(0).toLongLong(), q.value(1).toInt(), q.value(2).toInt(),
                        q.value(3).toInt(), q.value(4).toInt()});
    return true;
}

// Every panel record wired to the switch through the columns linked to it.
bool ReadWired(QSqlDatabase db, const SwitchColumn& sw, QList<WiredTract>* wired, QString* error) {
    QSqlQuery q(db);
    if (!ExecBound(q,
                   QStringLiteral("SELECT m.bv_type, m.tract FROM m_bv m, k_bv b, m_pk p "
                                  "WHERE m.id_bv=b.id_bv AND m.n_pk=p.n_pk AND m.id_net=p.id_net "
                                  "AND (m.plus=1 OR m.plus=3) AND p.id_pk=?"),
                   {sw.idPk}, error))
        return false;
    while (q.next()) wired->append({q.value(0).toInt(), q.value(1).toInt()});
    return true;
}

bool WriteAssigned(QSqlDatabase db, const QList<TractPanel>& before, const QList<TractPanel>& after,
                   QString* error) {
    QSqlQuery q(db);
    for (int i = 0; i < after.size(); ++i) {
        if (before[i].tract != 0 || after[i].tract == 0) continue;
        if (!ExecBound(q, QStringLiteral("UPDATE m_bv SET tract=?, mk_bv=?, mk_po=? WHERE rowid=?"),
                       {after[i].tract, after[i].mkBv, after[i].mkPo, after[i].rowid}, error))
            return false;
    }
    return true;
}

// One switch's assignment inside the caller's transaction.
TractResult AssignOne(QSqlDatabase db, const SwitchColumn& sw, int kolTractPK) {
    QString error;
    QList<TractPanel> entrances, gates;
    QList<WiredTract> wired;
    if (!ReadPanels(db, sw, 0, &entrances, &error) || !ReadPanels(db, sw, 1, &gates, &error) ||
        !ReadWired(db, sw, &wired, &error))
        return TractAssignFail(error);
    const TractPlan plan = PlanTracts(entrances, gates, wired, kolTractPK);
    TractResult r;
    if (plan.refused) {
        Dialogs::Message(plan.caption, plan.text, DlgButtons::Ok, DlgIcon::Warning);
        r.ok = r.refused = true;
        return r;
    }
    if (!WriteAssigned(db, entrances, plan.entrances, &error) ||
        !WriteAssigned(db, gates, plan.gates, &error))
        return TractAssignFail(error);
    r.ok = true;
    return r;
}

template <typename Body>
TractResult InTransaction(QSqlDatabase db, Body body) {
    SqlTransaction tr(db);
    if (!tr.started()) return TractAssignFail(tr.LastError());
    TractResult r = body();
    if (r.ok && !tr.Commit()) return TractAssignFail(tr.LastError());
    return r;
}

}  // namespace

int TractCount(QSqlDatabase db) {
    QSqlQuery q(db);
    if (!q.exec(QStringLiteral("SELECT KolTractPK FROM t_global")) || !q.next() ||
        q.value(0).toInt() <= 0)
        return 8;
    return q.value(0).toInt();
}

QList<SwitchColumn> ObjectSwitchColumns(QSqlDatabase db, qint64 idNet, QString* error) {
    QList<SwitchColumn> switches;
    QSqlQuery q(db);
    if (!ExecBound(q,
                   QStringLiteral("SELECT k.id_pk, m.id_net, m.n_pk "
                                  "FROM k_pk k, k_pod p, k_dom d, m_pk m, k_net n "
                                  "WHERE m.n_net = k.n_net AND p.id_dom = d.id_dom "
                                  "AND p.id_pod = k.id_pod AND n.id_net = d.id_net "
                                  "AND m.id_net = n.id_net AND n.id_net = ? "
                                  "ORDER BY d.id_dom, p.n_pod, k.id_pk"),
                   {idNet}, error))
        return switches;
    while (q.next())
        switches.append({q.value(0).toLongLong(), q.value(1).toLongLong(), q.value(2).toInt()});
    return switches;
}

SwitchColumn SwitchColumnOf(QSqlDatabase db, qint64 idPk, QString* error) {
    SwitchColumn sw{idPk, 0, 0};
    QSqlQuery q(db);
    if (ExecBound(q,
                  QStringLiteral("SELECT m.id_net, m.n_pk FROM k_pk k, m_pk m "
                                 "WHERE k.id_pk=? AND m.id_net=k.id_net AND m.n_net=k.n_net "
                                 "ORDER BY m.n_pk LIMIT 1"),
                  {idPk}, error) &&
        q.next()) {
        sw.idNet = q.value(0).toLongLong();
        sw.nPk = q.value(1).toInt();
    }
    return sw;
}

TractResult AssignTracts(QSqlDatabase db, const SwitchColumn& sw) {
    const int kolTractPK = TractCount(db);
    return InTransaction(db, [&] { return AssignOne(db, sw, kolTractPK); });
}

TractResult AssignTractsForObject(QSqlDatabase db, qint64 idNet) {
    const int kolTractPK = TractCount(db);
    return InTransaction(db, [&] {
        QString error;
        const QList<SwitchColumn> switches = ObjectSwitchColumns(db, idNet, &error);
        if (!error.isEmpty()) return TractAssignFail(error);
        TractResult all;
        all.ok = true;
        for (const SwitchColumn& sw : switches) {
            const TractResult r = AssignOne(db, sw, kolTractPK);
            if (!r.ok) return r;
            all.refused = all.refused || r.refused;
        }
        return all;
    });
}
