#include "devices/CallPanel.h"

#include "devices/PanelWiring.h"
#include "foundation/BoundSql.h"
#include "foundation/ProgressSteps.h"

#include <QSqlQuery>
#include <QVariant>

namespace {

QString OpenCodeColumn(int i) {
    return QStringLiteral("ocode%1").arg(i);
}

QString OpenCodeColumns() {
    QStringList columns;
    for (int i = 0; i < kOpenCodeCount; ++i) columns << OpenCodeColumn(i);
    return columns.join(QStringLiteral(", "));
}

// An empty cell is stored as the empty text, never as NULL: one "no code" in
// the column, whichever way the cell came to be empty.
QString StoredOpenCode(const QString& cell) {
    return cell.isEmpty() ? QStringLiteral("") : cell;
}

bool Flag(const QVariant& v) {
    return v.toInt() != 0;
}

PanelCommonParams CommonFrom(const QSqlQuery& q, int at) {
    PanelCommonParams c;
    c.sl = q.value(at).toInt();
    c.ot = q.value(at + 1).toInt();
    c.bell = Flag(q.value(at + 2));
    c.autoKeys = Flag(q.value(at + 3));
    c.nrcs = Flag(q.value(at + 4));
    c.dsoc = Flag(q.value(at + 5));
    c.ph0 = Flag(q.value(at + 6));
    c.ph1 = Flag(q.value(at + 7));
    c.scud = Flag(q.value(at + 8));
    c.farc = Flag(q.value(at + 9));
    return c;
}

QVariantList CommonValues(const PanelCommonParams& c) {
    return {c.sl,        c.ot,       int(c.bell), int(c.autoKeys), int(c.nrcs),
            int(c.dsoc), int(c.ph0), int(c.ph1),  int(c.scud),     int(c.farc)};
}

const QString kCommonAssignments =
    QStringLiteral("sl=?, ot=?, bell=?, auto=?, nrcs=?, dsoc=?, ph_0=?, ph_1=?, scud=?, farc=?");

PanelIndividual IndividualFrom(const QSqlQuery& q, int at) {
    PanelIndividual p;
    p.concierge = Flag(q.value(at));
    p.console = Flag(q.value(at + 1));
    p.adrpk = q.value(at + 2).toLongLong();
    p.adrcs = q.value(at + 3).isNull() ? -1 : q.value(at + 3).toInt();
    for (int i = 0; i < kOpenCodeCount; ++i) p.openCodes[i] = q.value(at + 4 + i).toString();
    return p;
}

PanelWrite PanelWriteFailed(const QString& error) {
    return DeviceWrite::Failed(error);
}

PanelWrite Unchanged() {
    return DeviceWrite::Unchanged();
}

// Runs one UPDATE of the panel with kf_pr advanced from the stored state.
PanelWrite Update(QSqlDatabase db, const CallPanelRecord& before, const QString& assignments,
                  const QVariantList& values) {
    return UpdateAsEdit(db, QStringLiteral("k_bv"), QStringLiteral("id_bv"), before.idBv,
                        before.kfPr, assignments, values);
}

PanelWrite Read(QSqlDatabase db, qint64 idBv, CallPanelRecord* record) {
    QString error;
    if (!ReadCallPanel(db, idBv, record, &error)) return PanelWriteFailed(error);
    return Unchanged();
}

}  // namespace

bool ReadCallPanel(QSqlDatabase db, qint64 idBv, CallPanelRecord* r, QString* error) {
    QSqlQuery q(db);
    if (!ExecBound(q,
                   QStringLiteral("SELECT id_net, n_nt0, bv_type, n_bv, sn_bv, kf_pr, "
                                  "sl, ot, bell, auto, nrcs, dsoc, ph_0, ph_1, scud, farc, "
                                  "l_kns, l_pok, adrpk, adrcs, ") +
                       OpenCodeColumns() +
                       QStringLiteral(", kfilt, blato, lrez, rsrv FROM k_bv WHERE id_bv=?"),
                   {idBv}, error))
        return false;
    if (!q.next()) {
        if (error) *error = QStringLiteral("Блок вызова не найден");
        return false;
    }
    *r = CallPanelRecord{};
    r->idBv = idBv;
    r->idNet = q.value(0).toLongLong();
    r->nNt0 = q.value(1).toInt();
    r->bvType = q.value(2).toInt();
    r->name = q.value(3).toString();
    r->serial = q.value(4).toString();
    r->kfPr = q.value(5).toInt();
    r->common = CommonFrom(q, 6);
    r->individual = IndividualFrom(q, 16);
    const int hw = 16 + 4 + kOpenCodeCount;
    r->hardware = {q.value(hw).toInt(), q.value(hw + 1).toInt(), Flag(q.value(hw + 2)),
                   q.value(hw + 3).toInt()};
    return true;
}

bool ReadObjectPanels(QSqlDatabase db, qint64 idNet, QList<qint64>* panels, QString* error) {
    panels->clear();
    QSqlQuery q(db);
    if (!ExecBound(q,
                   QStringLiteral("SELECT id_bv FROM k_bv WHERE id_net=? "
                                  "ORDER BY bv_type, n_net, id_bv"),
                   {idNet}, error))
        return false;
    while (q.next()) panels->append(q.value(0).toLongLong());
    return true;
}

QString OpenCodeShown(const QString& stored) {
    return stored == kNoOpenCode ? QString() : stored;
}

PanelWrite SavePanelValues(QSqlDatabase db, qint64 idBv, const PanelCommonParams& common,
                           const PanelIndividual& individual) {
    CallPanelRecord before;
    if (PanelWrite r = Read(db, idBv, &before); !r.ok) return r;
    if (before.common == common && before.individual == individual) return Unchanged();
    QVariantList values = CommonValues(common);
    values << int(individual.concierge) << int(individual.console) << individual.adrpk
           << individual.adrcs;
    QString assignments =
        kCommonAssignments + QStringLiteral(", l_kns=?, l_pok=?, adrpk=?, adrcs=?");
    for (int i = 0; i < kOpenCodeCount; ++i) {
        assignments += QStringLiteral(", ") + OpenCodeColumn(i) + QStringLiteral("=?");
        values << StoredOpenCode(individual.openCodes.value(i));
    }
    return Update(db, before, assignments, values);
}

PanelWrite SaveCommonParams(QSqlDatabase db, qint64 idBv, const PanelCommonParams& common) {
    CallPanelRecord before;
    if (PanelWrite r = Read(db, idBv, &before); !r.ok) return r;
    if (before.common == common) return Unchanged();
    return Update(db, before, kCommonAssignments, CommonValues(common));
}

PanelWrite EditHardware(QSqlDatabase db, qint64 idBv, const PanelHardware& hw) {
    CallPanelRecord before;
    if (PanelWrite r = Read(db, idBv, &before); !r.ok) return r;
    if (before.hardware == hw) return Unchanged();
    return Update(db, before, QStringLiteral("kfilt=?, blato=?, lrez=?, rsrv=?"),
                  {hw.kfilt, hw.blato, int(hw.lrez), hw.rsrv});
}

namespace {

PanelBatch BatchFailed(const QString& error) {
    PanelBatch b;
    b.error = error;
    return b;
}

// Runs write on each panel in one transaction, stepping the gauge per panel.
PanelBatch ForEachPanel(QSqlDatabase db, const QList<qint64>& panels, const ProgressFn& progress,
                        const std::function<PanelWrite(qint64 idBv)>& write) {
    ProgressSteps gauge(progress, int(panels.size()));
    SqlTransaction tr(db);
    if (!tr.started()) return BatchFailed(tr.LastError());
    PanelBatch batch;
    for (qint64 idBv : panels) {
        const PanelWrite w = write(idBv);
        if (!w.ok) return BatchFailed(w.error);
        batch.written += w.written ? 1 : 0;
        gauge.Step();
    }
    if (!tr.Commit()) return BatchFailed(tr.LastError());
    batch.ok = true;
    return batch;
}

}  // namespace

PanelBatch SaveCommonParamsToPanels(QSqlDatabase db, qint64 idNet, const PanelCommonParams& common,
                                    std::optional<int> bvType, const ProgressFn& progress) {
    QList<qint64> panels;
    QString error;
    if (!ReadObjectPanels(db, idNet, &panels, &error)) return BatchFailed(error);
    return ForEachPanel(db, panels, progress, [&](qint64 idBv) {
        if (bvType) {
            CallPanelRecord r;
            if (PanelWrite w = Read(db, idBv, &r); !w.ok || r.bvType != *bvType) return w;
        }
        return SaveCommonParams(db, idBv, common);
    });
}

namespace {

// The matrix column of the panel's first wired switch; 0 when it has none.
bool FirstColumn(QSqlDatabase db, qint64 idBv, int* column, QString* error) {
    QList<WiredSwitch> wired;
    if (!ReadWiredSwitches(db, idBv, &wired, error)) return false;
    const WiredSwitch* first = FirstByColumn(wired);
    *column = first ? first->nPk : 0;
    return true;
}

}  // namespace

PanelBatch CopyToEntrancePanels(QSqlDatabase db, qint64 idBv, const PanelCommonParams& common,
                                const PanelIndividual& individual, const ProgressFn& progress) {
    CallPanelRecord source;
    QString error;
    if (!ReadCallPanel(db, idBv, &source, &error)) return BatchFailed(error);
    if (source.Gate()) return PanelBatch{true, 0, QString()};
    int column = 0;
    QList<qint64> panels;
    if (!FirstColumn(db, idBv, &column, &error) ||
        !ReadObjectPanels(db, source.idNet, &panels, &error))
        return BatchFailed(error);
    // The source first, so a failure there stops the copy before it starts.
    panels.removeOne(idBv);
    panels.prepend(idBv);
    return ForEachPanel(db, panels, progress, [&](qint64 id) {
        if (id != idBv) {
            CallPanelRecord target;
            int targetColumn = 0;
            if (PanelWrite w = Read(db, id, &target); !w.ok) return w;
            if (!FirstColumn(db, id, &targetColumn, &error)) return PanelWriteFailed(error);
            if (target.Gate() || column == 0 || targetColumn != column) return Unchanged();
        }
        return SavePanelValues(db, id, common, individual);
    });
}
