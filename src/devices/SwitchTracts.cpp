#include "devices/SwitchTracts.h"

#include "devices/DeviceChange.h"
#include "foundation/BoundSql.h"
#include "foundation/ProgressSteps.h"
#include "platform/Dialogs.h"

#include <QSqlQuery>
#include <QVariant>
#include <algorithm>

namespace {

// The highest first tract of a range: the device's 8 inputs.
constexpr int kRangeStartLimit = 8;

}  // namespace

bool ReadSwitchTracts(QSqlDatabase db, qint64 idPk, QList<TractRow>* rows, QString* error) {
    rows->clear();
    QSqlQuery q(db);
    if (!ExecBound(q,
                   QStringLiteral("SELECT m.rowid, m.id_bv, b.n_nt0, m.tract, m.mk_bv, m.mk_po "
                                  "FROM m_bv m, k_pk k, k_bv b, m_pk p "
                                  "WHERE m.id_bv = b.id_bv AND m.n_pk = p.n_pk "
                                  "AND m.id_net = p.id_net AND k.id_pk = p.id_pk "
                                  "AND (m.plus=1 OR m.plus=3) AND k.id_pk = ? "
                                  "ORDER BY m.n_pk, m.n_bv, m.rowid"),
                   {idPk}, error))
        return false;
    while (q.next()) {
        TractRow r;
        r.rowid = q.value(0).toLongLong();
        r.idBv = q.value(1).toLongLong();
        r.nNt0 = q.value(2).toInt();
        r.tractEmpty = q.value(3).isNull();
        r.tract = q.value(3).toInt();
        r.mkBv = q.value(4).toInt() == 1;
        r.mkPo = q.value(5).toInt() == 1;
        rows->append(r);
    }
    return true;
}

QList<MaskRow> MaskRowsOf(const QList<TractRow>& rows, bool console) {
    QList<MaskRow> masks;
    for (const TractRow& r : rows) masks.append({r.rowid, r.tract, r.mkBv, console && r.mkPo});
    return masks;
}

void NormaliseMasks(QList<MaskRow>& rows) {
    for (int i = 0; i < rows.size(); ++i) {
        if (rows[i].tract == 0) rows[i].switchMask = false;
        for (int j = 0; j < rows.size(); ++j) {
            if (j == i || rows[j].tract != rows[i].tract || !rows[j].switchMask) continue;
            rows[j].switchMask = false;
            rows[j].consoleMask = false;
        }
        if (!rows[i].switchMask) rows[i].consoleMask = false;
    }
}

MaskTexts SwitchMaskTexts(const QList<MaskRow>& rows, bool console, int kolTractPK) {
    MaskTexts texts{QString(kolTractPK, QLatin1Char('0')), QString(kolTractPK, QLatin1Char('0'))};
    for (const MaskRow& r : rows) {
        if (r.tract < 1 || r.tract > kolTractPK) continue;
        if (r.switchMask) texts.vb[r.tract - 1] = QLatin1Char('1');
        if (console && r.consoleMask) texts.vo[r.tract - 1] = QLatin1Char('1');
    }
    return texts;
}

// ---------------------------------------------------------------- typing

namespace TractCell {

bool KeyAllowed(QChar c) {
    switch (c.unicode()) {
        case '\b':
        case '\t':
        case '\r':
        case 0x1B:  // Esc
        case '.':
            return true;
        default:
            return c >= QLatin1Char('1') && c <= QLatin1Char('8');
    }
}

QString Edited(const QString& text, int kolTractPK) {
    QString cell = text.size() > 2 ? text.mid(1, 2) : text;
    bool number = false;
    const int n = cell.trimmed().toInt(&number);
    if (number && n > kolTractPK) cell = QString::number(kolTractPK);
    return cell;
}

int Typed(const QString& cell, int kolTractPK, int stored) {
    bool number = false;
    const int n = cell.trimmed().toInt(&number);
    return number && n >= 1 && n <= kolTractPK ? n : stored;
}

}  // namespace TractCell

// ---------------------------------------------------------------- check lists

void TractPanelModel::Clear() {
    switch_ = {};
    rows_.clear();
    texts_.clear();
}

bool TractPanelModel::Show(const QList<TractRow>& stored) {
    bool differs = false;
    QList<MaskRow> rows;
    QStringList texts;
    for (int i = 0; i < stored.size(); ++i) {
        const TractRow& s = stored[i];
        MaskRow shown{s.rowid, s.tractEmpty ? 0 : s.tract, s.mkBv, console_ && s.mkPo};
        if (s.tractEmpty) {
            differs = true;
            texts << QString();
        } else {
            const bool wasShown = i < rows_.size() && !texts_[i].trimmed().isEmpty();
            if (wasShown && rows_[i] != shown) differs = true;
            texts << QString::number(s.tract);
        }
        rows << shown;
    }
    rows_ = rows;
    texts_ = texts;
    return differs;
}

void TractPanelModel::ClickSwitchMask(int i, bool checked) {
    if (i < 0 || i >= rows_.size()) return;
    rows_[i].switchMask = checked;
    if (checked) {
        for (int j = 0; j < rows_.size(); ++j)
            if (sameTract(i, j)) rows_[j].switchMask = rows_[j].consoleMask = false;
    } else {
        rows_[i].consoleMask = false;
    }
    masksChanged_ = true;
}

void TractPanelModel::ClickConsoleMask(int i, bool checked) {
    if (i < 0 || i >= rows_.size()) return;
    const bool keep = checked && console_ && rows_[i].switchMask;
    rows_[i].consoleMask = keep;
    if (keep)
        for (int j = 0; j < rows_.size(); ++j)
            if (sameTract(i, j)) rows_[j].consoleMask = false;
    masksChanged_ = true;
}

// ---------------------------------------------------------------- ranges

bool TractRanges::Valid() const {
    return k1 >= 1 && p1 >= 1 && k1 <= k2 && p1 <= p2 && (k2 < p1 || p2 < k1);
}

TractRanges TractRanges::Held(int kolTractPK) const {
    const int top = std::max(1, kolTractPK);
    return {std::clamp(k1, 1, kRangeStartLimit), std::clamp(k2, 1, top),
            std::clamp(p1, 1, kRangeStartLimit), std::clamp(p2, 1, top)};
}

TractRanges TractRanges::ForObject(int maxDoors, int gates, int p1, int kolTractPK) {
    TractRanges r{maxDoors + 1, maxDoors + gates, p1, 0};
    r = r.Held(kolTractPK);
    r.k2 = std::max(r.k2, r.k1);
    r.p2 = r.k1 - 1;
    return r.Held(kolTractPK);
}

TractRanges TractRanges::GateStartChanged(int kolTractPK) const {
    TractRanges r = *this;
    if (r.k1 > 1) {
        r.p2 = r.k1 - 1;
    } else {
        r.k2 = std::min(r.k2, kolTractPK - 1);
        r.p1 = r.k2 + 1;
        r.p2 = kolTractPK;
    }
    return r.Held(kolTractPK);
}

// ---------------------------------------------------------------- database

namespace {

TractSave TractSaveFail(const QString& error) {
    TractSave r;
    r.error = error;
    return r;
}

TractSave Refused() {
    TractSave r;
    r.ok = r.refused = true;
    return r;
}

// What of a switch its file carries from this panel.
struct SwitchTractState {
    QList<TractRow> wired;
    QString vb;
    QString vo;

    bool operator==(const SwitchTractState&) const = default;
};

bool ReadState(QSqlDatabase db, qint64 idPk, SwitchTractState* s, QString* error) {
    if (!ReadSwitchTracts(db, idPk, &s->wired, error)) return false;
    QSqlQuery q(db);
    if (!ExecBound(q, QStringLiteral("SELECT m_vb, m_vo FROM k_pk WHERE id_pk=?"), {idPk}, error))
        return false;
    if (q.next()) {
        s->vb = q.value(0).toString();
        s->vo = q.value(1).toString();
    }
    return true;
}

// What the masks of an object's switches depend on.
struct MaskSetting {
    bool console = false;
    int kolTractPK = 8;
};

MaskSetting SettingOf(QSqlDatabase db, qint64 idNet) {
    return {ObjectHasConsole(db, idNet), TractCount(db)};
}

// The checks on the panels' rows and the switch's mask texts; a panel without
// a valid tract keeps no mask.
bool StoreMasks(QSqlDatabase db, qint64 idPk, const QList<MaskRow>& rows, const MaskSetting& how,
                QString* error) {
    const bool console = how.console;
    const int kolTractPK = how.kolTractPK;
    QSqlQuery q(db);
    for (const MaskRow& r : rows) {
        const bool onTract = r.tract >= 1 && r.tract <= kolTractPK;
        const int mkBv = onTract && r.switchMask ? 1 : 0;
        const int mkPo = onTract && console && r.consoleMask ? 1 : 0;
        if (!ExecBound(q, QStringLiteral("UPDATE m_bv SET mk_bv=?, mk_po=? WHERE rowid=?"),
                       {mkBv, mkPo, r.rowid}, error))
            return false;
    }
    const MaskTexts texts = SwitchMaskTexts(rows, console, kolTractPK);
    return ExecBound(q, QStringLiteral("UPDATE k_pk SET m_vb=?, m_vo=? WHERE id_pk=?"),
                     {texts.vb, texts.vo, idPk}, error);
}

// Runs change on one switch inside the caller's transaction and advances its
// kf_pr when the panels' tracts or masks, or the mask texts, differ after it.
template <typename Change>
TractSave ChangeSwitch(QSqlDatabase db, qint64 idPk, Change change) {
    SqlTransaction tr(db);
    if (!tr.started()) return TractSaveFail(tr.LastError());
    SwitchTractState before, after;
    QString error;
    if (!ReadState(db, idPk, &before, &error)) return TractSaveFail(error);
    TractSave r = change();
    if (!r.ok || r.refused) return r;
    if (!ReadState(db, idPk, &after, &error)) return TractSaveFail(error);
    if (before != after) {
        if (!MarkSwitchEdited(db, idPk, &error)) return TractSaveFail(error);
        r.switchesMarked = 1;
    }
    if (!tr.Commit()) return TractSaveFail(tr.LastError());
    return r;
}

TractSave Done() {
    TractSave r;
    r.ok = true;
    return r;
}

TractSave ReassignOne(QSqlDatabase db, const SwitchColumn& sw, const MaskSetting& how) {
    return ChangeSwitch(db, sw.idPk, [&] {
        QList<TractRow> rows;
        QString error;
        if (!ReadSwitchTracts(db, sw.idPk, &rows, &error)) return TractSaveFail(error);
        QSqlQuery q(db);
        for (const TractRow& r : std::as_const(rows))
            if (!ExecBound(
                    q, QStringLiteral("UPDATE m_bv SET tract=0, mk_bv=0, mk_po=0 WHERE rowid=?"),
                    {r.rowid}, &error))
                return TractSaveFail(error);
        const TractResult assigned = AssignTracts(db, sw);
        if (!assigned.ok) return TractSaveFail(assigned.error);
        if (assigned.refused) return Refused();
        if (!ReadSwitchTracts(db, sw.idPk, &rows, &error) ||
            !StoreMasks(db, sw.idPk, MaskRowsOf(rows, how.console), how, &error))
            return TractSaveFail(error);
        return Done();
    });
}

// Every panel of one kind in the switch's column, wired or not, by panel
// name: first, first + 1, .. last, first, ..
bool NumberColumn(QSqlDatabase db, const SwitchColumn& sw, int bvType, int first, int last,
                  QString* error) {
    QSqlQuery q(db);
    if (!ExecBound(q,
                   QStringLiteral("SELECT rowid FROM m_bv WHERE bv_type=? AND n_pk=? AND id_net=? "
                                  "ORDER BY n_bv, rowid"),
                   {bvType, sw.nPk, sw.idNet}, error))
        return false;
    QList<qint64> panels;
    while (q.next()) panels.append(q.value(0).toLongLong());
    int tract = first;
    for (qint64 rowid : std::as_const(panels)) {
        if (!ExecBound(q, QStringLiteral("UPDATE m_bv SET tract=? WHERE rowid=?"), {tract, rowid},
                       error))
            return false;
        tract = tract >= last ? first : tract + 1;
    }
    return true;
}

TractSave NumberOne(QSqlDatabase db, const SwitchColumn& sw, const TractRanges& ranges,
                    const MaskSetting& how) {
    return ChangeSwitch(db, sw.idPk, [&] {
        QString error;
        QList<TractRow> rows;
        if (!NumberColumn(db, sw, 0, ranges.p1, ranges.p2, &error) ||
            !NumberColumn(db, sw, 1, ranges.k1, ranges.k2, &error) ||
            !ReadSwitchTracts(db, sw.idPk, &rows, &error))
            return TractSaveFail(error);
        QList<MaskRow> masks = MaskRowsOf(rows, how.console);
        NormaliseMasks(masks);
        if (!StoreMasks(db, sw.idPk, masks, how, &error)) return TractSaveFail(error);
        return Done();
    });
}

// body(switch, setting) for every switch of the object in one transaction, stepping the
// gauge; a refused switch keeps what it had and the others go on.
template <typename Body>
TractSave ForEverySwitch(QSqlDatabase db, qint64 idNet, const ProgressFn& progress, Body body) {
    SqlTransaction tr(db);
    if (!tr.started()) return TractSaveFail(tr.LastError());
    QString error;
    const QList<SwitchColumn> switches = ObjectSwitchColumns(db, idNet, &error);
    if (!error.isEmpty()) return TractSaveFail(error);
    const MaskSetting how = SettingOf(db, idNet);
    ProgressSteps steps(progress, int(switches.size()));
    TractSave all = Done();
    for (const SwitchColumn& sw : switches) {
        const TractSave r = body(sw, how);
        if (!r.ok) return r;
        all.refused = all.refused || r.refused;
        all.switchesMarked += r.switchesMarked;
        steps.Step();
    }
    if (!tr.Commit()) return TractSaveFail(tr.LastError());
    return all;
}

}  // namespace

int MaxDoorCount(QSqlDatabase db, qint64 idNet, QString* error) {
    QSqlQuery q(db);
    if (!ExecBound(q, QStringLiteral("SELECT MAX(v_dvr) AS mx FROM m_pk WHERE id_net=?"), {idNet},
                   error) ||
        !q.next())
        return 0;
    return q.value(0).toInt();  // no columns: NULL, read as 0
}

bool ObjectHasConsole(QSqlDatabase db, qint64 idNet) {
    QSqlQuery q(db);
    return ExecBound(q, QStringLiteral("SELECT l_pok FROM k_net WHERE id_net=?"), {idNet},
                     nullptr) &&
           q.next() && q.value(0).toInt() != 0;
}

namespace {

// write(setting) on one switch in one transaction, then its masks are stored
// and it is marked, whatever changed: the operator saved it.
template <typename Write>
TractSave SaveSwitch(QSqlDatabase db, const SwitchColumn& sw, Write write) {
    SqlTransaction tr(db);
    if (!tr.started()) return TractSaveFail(tr.LastError());
    const MaskSetting how = SettingOf(db, sw.idNet);
    QString error;
    QList<MaskRow> rows;
    if (!write(how, &rows, &error) || !StoreMasks(db, sw.idPk, rows, how, &error) ||
        !MarkSwitchEdited(db, sw.idPk, &error))
        return TractSaveFail(error);
    if (!tr.Commit()) return TractSaveFail(tr.LastError());
    TractSave r = Done();
    r.switchesMarked = 1;
    return r;
}

}  // namespace

TractSave SaveMasks(QSqlDatabase db, const SwitchColumn& sw, const QList<MaskRow>& rows) {
    return SaveSwitch(db, sw, [&](const MaskSetting&, QList<MaskRow>* masks, QString*) {
        *masks = rows;
        return true;
    });
}

TractSave SaveTypedTracts(QSqlDatabase db, const SwitchColumn& sw, const QList<MaskRow>& rows,
                          const QStringList& cells) {
    return SaveSwitch(db, sw, [&](const MaskSetting& how, QList<MaskRow>* typed, QString* error) {
        *typed = rows;
        QSqlQuery q(db);
        for (int i = 0; i < typed->size() && i < cells.size(); ++i) {
            MaskRow& row = (*typed)[i];
            row.tract = TractCell::Typed(cells[i], how.kolTractPK, row.tract);
            if (!ExecBound(q, QStringLiteral("UPDATE m_bv SET tract=? WHERE rowid=?"),
                           {row.tract, row.rowid}, error))
                return false;
        }
        NormaliseMasks(*typed);
        return true;
    });
}

TractSave ReassignTracts(QSqlDatabase db, const SwitchColumn& sw) {
    return ReassignOne(db, sw, SettingOf(db, sw.idNet));
}

TractSave ReassignTractsForObject(QSqlDatabase db, qint64 idNet, const ProgressFn& progress) {
    return ForEverySwitch(db, idNet, progress, [&](const SwitchColumn& sw, const MaskSetting& how) {
        return ReassignOne(db, sw, how);
    });
}

TractSave NumberTractsByRanges(QSqlDatabase db, qint64 idNet, const TractRanges& ranges,
                               const ProgressFn& progress) {
    if (!ranges.Valid()) {
        Dialogs::Error(QStringLiteral("Ошибка"), QStringLiteral("Некорректно заданы диапазоны!"));
        return Refused();
    }
    return ForEverySwitch(db, idNet, progress, [&](const SwitchColumn& sw, const MaskSetting& how) {
        return NumberOne(db, sw, ranges, how);
    });
}
