#include "devices/HandsetIndex.h"

#include "devices/PanelWiring.h"
#include "foundation/BitAndStr.h"
#include "foundation/BoundSql.h"
#include "foundation/ProgressSteps.h"

#include <QList>
#include <QSqlQuery>
#include <QVariant>

namespace {

struct Panel {
    qint64 idNet = 0;
    bool nrcs = false;
    bool lKns = false;
    bool lPok = false;
    qint64 adrpk = 0;
    int adrcs = -1;
    int kfPr = 0;

    bool SameIndex(const Panel& o) const {
        return nrcs == o.nrcs && lKns == o.lKns && lPok == o.lPok && adrpk == o.adrpk &&
               adrcs == o.adrcs;
    }
};

// The apartment rows of a switch's entrance, as far as the index needs them.
struct HandsetEntrance {
    bool hasRows = false;
    int handsetPnom = 0;  // p_nom of the console's handset row, 0 when there is none
};

// Everything an operation reads about one panel.
struct PanelContext {
    Panel panel;
    QList<WiredSwitch> wired;  // by network address
    bool objectHasConsole = false;
};

bool ReadPanel(QSqlDatabase db, qint64 idBv, Panel* p, QString* error) {
    QSqlQuery q(db);
    if (!ExecBound(q,
                   QStringLiteral("SELECT id_net, nrcs, l_kns, l_pok, adrpk, adrcs, kf_pr "
                                  "FROM k_bv WHERE id_bv=?"),
                   {idBv}, error))
        return false;
    if (!q.next()) {
        *error = QStringLiteral("Блок вызова не найден");
        return false;
    }
    *p = {q.value(0).toLongLong(), q.value(1).toInt() != 0,
          q.value(2).toInt() != 0, q.value(3).toInt() != 0,
          q.value(4).toLongLong(), q.value(5).isNull() ? -1 : q.value(5).toInt(),
          q.value(6).toInt()};
    return true;
}

bool ReadContext(QSqlDatabase db, qint64 idBv, PanelContext* c, QString* error) {
    if (!ReadPanel(db, idBv, &c->panel, error) || !ReadWiredSwitches(db, idBv, &c->wired, error))
        return false;
    QSqlQuery q(db);
    if (!ExecBound(q, QStringLiteral("SELECT l_pok FROM k_net WHERE id_net=?"), {c->panel.idNet},
                   error))
        return false;
    c->objectHasConsole = q.next() && q.value(0).toInt() != 0;
    return true;
}

bool ReadHandsetEntrance(QSqlDatabase db, const WiredSwitch* sw, HandsetEntrance* e,
                         QString* error) {
    *e = HandsetEntrance{};
    if (!sw) return true;
    QList<EntranceRow> rows;
    if (!ReadEntranceRows(db, sw->idPod, &rows, error)) return false;
    e->hasRows = !rows.isEmpty();
    e->handsetPnom = ConsoleHandsetPnom(rows);
    return true;
}

const WiredSwitch* StandOn(const QList<WiredSwitch>& wired, qint64 hint) {
    const WiredSwitch* sw = hint ? FindWired(wired, hint) : nullptr;
    return sw ? sw : (wired.isEmpty() ? nullptr : &wired.first());
}

bool WriteHandsetIndex(QSqlDatabase db, qint64 idBv, const Panel& before, const Panel& after,
                       HandsetIndexResult* r) {
    if (after.SameIndex(before)) return true;
    QSqlQuery q(db);
    if (!ExecBound(q,
                   QStringLiteral("UPDATE k_bv SET nrcs=?, l_kns=?, l_pok=?, adrpk=?, adrcs=?, "
                                  "kf_pr=? WHERE id_bv=?"),
                   {int(after.nrcs), int(after.lKns), int(after.lPok), after.adrpk, after.adrcs,
                    KfPrAfterEdit(before.kfPr), idBv},
                   &r->error))
        return false;
    r->written = true;
    return true;
}

// Modes 0 and 3: a concierge keeps its index but never rings the console;
// otherwise the console's handset when the console is wanted and exists.
// Written only when the switch's entrance has rows.
HandsetIndexResult KeepOrConsole(QSqlDatabase db, qint64 idBv, const PanelContext& c,
                                 const WiredSwitch* sw, bool wantConsole) {
    HandsetIndexResult r;
    HandsetEntrance e;
    if (!ReadHandsetEntrance(db, sw, &e, &r.error)) return r;
    int index = c.panel.adrcs;
    bool console = wantConsole;
    if (c.panel.lKns) {
        console = false;
    } else if (console && c.objectHasConsole && e.handsetPnom > 0) {
        index = e.handsetPnom;
    } else {
        console = false;
        index = -1;
    }
    r.adrcs = index;
    r.switchId = sw ? sw->idPk : 0;
    r.ok = true;
    if (!e.hasRows) return r;
    Panel after = c.panel;
    after.lPok = console;
    after.adrpk = sw->idPk;
    after.adrcs = index;
    r.ok = WriteHandsetIndex(db, idBv, c.panel, after, &r);
    return r;
}

HandsetIndexResult Individual(QSqlDatabase db, qint64 idBv, const PanelContext& c, qint64 hint) {
    return KeepOrConsole(db, idBv, c, StandOn(c.wired, hint), c.panel.lPok);
}

HandsetIndexResult KeepConcierge(QSqlDatabase db, qint64 idBv, const PanelContext& c, qint64 hint) {
    const WiredSwitch* own = FindWired(c.wired, c.panel.adrpk);
    return KeepOrConsole(db, idBv, c, own ? own : StandOn(c.wired, hint), c.objectHasConsole);
}

HandsetIndexResult SecurityPost(QSqlDatabase db, qint64 idBv, const PanelContext& c, qint64 hint) {
    HandsetIndexResult r;
    r.adrcs = c.panel.adrcs;
    r.ok = true;
    const WiredSwitch* sw = StandOn(c.wired, hint);
    if (!sw) return r;
    HandsetEntrance e;
    if (!ReadHandsetEntrance(db, sw, &e, &r.error)) {
        r.ok = false;
        return r;
    }
    r.switchId = sw->idPk;
    Panel after = c.panel;
    if (e.handsetPnom > 0) {
        after.nrcs = true;
        after.lKns = false;
        after.lPok = true;
        after.adrpk = sw->idPk;
        after.adrcs = e.handsetPnom;
    } else if (c.panel.adrcs > -1) {
        after.adrpk = sw->idPk;
        after.adrcs = -1;
    }
    r.adrcs = after.adrcs;
    r.ok = WriteHandsetIndex(db, idBv, c.panel, after, &r);
    return r;
}

HandsetIndexResult Clear(QSqlDatabase db, qint64 idBv, const PanelContext& c) {
    HandsetIndexResult r;
    const WiredSwitch* sw = StandOn(c.wired, 0);
    r.switchId = sw ? sw->idPk : 0;
    Panel after = c.panel;
    after.lKns = false;
    after.lPok = false;
    after.adrpk = r.switchId;
    after.adrcs = -1;
    r.adrcs = -1;
    r.ok = WriteHandsetIndex(db, idBv, c.panel, after, &r);
    return r;
}

HandsetIndexResult Apply(QSqlDatabase db, qint64 idBv, HandsetIndexMode mode, const PanelContext& c,
                         qint64 hint) {
    switch (mode) {
        case HandsetIndexMode::Individual:
            return Individual(db, idBv, c, hint);
        case HandsetIndexMode::SecurityPost:
            return SecurityPost(db, idBv, c, hint);
        case HandsetIndexMode::Clear:
            return Clear(db, idBv, c);
        case HandsetIndexMode::KeepConcierge:
            return KeepConcierge(db, idBv, c, hint);
    }
    HandsetIndexResult r;
    r.error = QStringLiteral("Неизвестный режим расчета индексов трубок");
    return r;
}

}  // namespace

HandsetIndexResult ApplyHandsetIndex(QSqlDatabase db, qint64 idBv, HandsetIndexMode mode,
                                     qint64 switchHint) {
    PanelContext c;
    HandsetIndexResult r;
    if (!ReadContext(db, idBv, &c, &r.error)) return r;
    return Apply(db, idBv, mode, c, switchHint);
}

HandsetIndexResult DBkvEdit(QSqlDatabase db, qint64 idBv, qint64 switchHint) {
    return ApplyHandsetIndex(db, idBv, HandsetIndexMode::Individual, switchHint);
}

HandsetIndexResult IndexToSecurityPost(QSqlDatabase db, qint64 idBv, qint64 switchHint) {
    return ApplyHandsetIndex(db, idBv, HandsetIndexMode::SecurityPost, switchHint);
}

HandsetIndexResult IndexClear(QSqlDatabase db, qint64 idBv) {
    return ApplyHandsetIndex(db, idBv, HandsetIndexMode::Clear);
}

HandsetIndexResult IndexKeepConcierge(QSqlDatabase db, qint64 idBv, qint64 switchHint) {
    return ApplyHandsetIndex(db, idBv, HandsetIndexMode::KeepConcierge, switchHint);
}

namespace {

RecountResult RecountFailed(const QString& error) {
    RecountResult r;
    r.error = error;
    return r;
}

}  // namespace

RecountResult RecountIndices(QSqlDatabase db, qint64 idNet, HandsetIndexMode mode,
                             const IndexProgressFn& progress) {
    QString error;
    QSqlQuery q(db);
    if (!ExecBound(q,
                   QStringLiteral("SELECT id_bv FROM k_bv WHERE id_net=? "
                                  "ORDER BY bv_type, n_net, id_bv"),
                   {idNet}, &error))
        return RecountFailed(error);
    QList<qint64> panels;
    while (q.next()) panels << q.value(0).toLongLong();
    if (!ExecBound(q, QStringLiteral("SELECT l_pok FROM k_net WHERE id_net=?"), {idNet}, &error))
        return RecountFailed(error);
    const bool objectHasConsole = q.next() && q.value(0).toInt() != 0;

    ProgressSteps gauge(progress, int(panels.size()));

    SqlTransaction tr(db);
    if (!tr.started()) return RecountFailed(tr.LastError());
    RecountResult all;
    for (int i = 0; i < panels.size(); ++i) {
        if (mode != HandsetIndexMode::SecurityPost || objectHasConsole) {
            const HandsetIndexResult r = ApplyHandsetIndex(db, panels[i], mode);
            if (!r.ok) return RecountFailed(r.error);
            all.written += r.written ? 1 : 0;
        }
        gauge.Step();
    }
    if (!tr.Commit()) return RecountFailed(tr.LastError());
    all.ok = true;
    return all;
}
