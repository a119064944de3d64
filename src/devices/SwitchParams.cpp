#include "devices/SwitchParams.h"

#include "foundation/BitAndStr.h"
#include "foundation/BoundSql.h"
#include "foundation/ProgressSteps.h"

#include <QSqlQuery>
#include <QStringList>
#include <algorithm>

ParamSetValues SwitchParams::SetValues() const {
    ParamSetValues v = set;
    v.t_ed = FiveMinuteUnits(edt);
    v.t_de = FiveMinuteUnits(det);
    return v;
}

namespace {

int minutesShown(int fiveMinuteUnits) {
    return int(std::clamp<qint64>(qint64(fiveMinuteUnits) * 5, 0, kMostBlockingMinutes));
}

}  // namespace

void SwitchParams::TakeSet(const ParamSetValues& v, const QString& setName) {
    name = setName;
    set = v;
    edt = minutesShown(v.t_ed);
    det = minutesShown(v.t_de);
}

SwitchVideo SwitchVideo::FromStored(const QVariant& nVid) {
    SwitchVideo video;
    if (nVid.isNull() || nVid.toString().trimmed().isEmpty()) return video;
    const int n = nVid.toInt();
    video.on = n >= 0;
    video.tract = std::clamp(n, kFirstTract, kLastTract);
    return video;
}

bool ReadParamSet(QSqlDatabase db, qint64 idKe, ParamSetValues* v, QString* name, QString* error) {
    QSqlQuery q(db);
    if (!ExecBound(q,
                   QStringLiteral("SELECT name, ") + ParamSetColumns().join(QStringLiteral(", ")) +
                       QStringLiteral(" FROM t_ke WHERE id_ke=?"),
                   {idKe}, error) ||
        !q.next())
        return false;
    *name = q.value(0).toString();
    int* fields[] = {&v->t_cm, &v->t_cl, &v->t_dl, &v->t_vc, &v->t_dx, &v->t_st,
                     &v->t_mo, &v->t_bo, &v->t_wt, &v->t_po, &v->t_ed, &v->t_de,
                     &v->edge, &v->acp1, &v->acp2, &v->acp3, &v->acp4};
    for (int i = 0; i < 17; ++i) *fields[i] = q.value(i + 1).toInt();
    return true;
}

namespace {

// Where a switch stands: what the name of a set saved for it is made of.
struct SwitchPlace {
    QString ident;
    QString house;
    int nPod = 0;
};

bool ReadSwitch(QSqlDatabase db, qint64 idPk, LoadedSwitch* s, SwitchPlace* place, QString* error) {
    QSqlQuery q(db);
    if (!ExecBound(q,
                   QStringLiteral("SELECT k.id_ke, k.rsrv, k.sn_pk, k.n_vid, k.id_mvv, k.id_mot, "
                                  "k.n_net, p.n_pod, d.house, n.ident FROM k_pk k "
                                  "LEFT JOIN k_pod p ON p.id_pod=k.id_pod "
                                  "LEFT JOIN k_dom d ON d.id_dom=p.id_dom "
                                  "LEFT JOIN k_net n ON n.id_net=k.id_net WHERE k.id_pk=?"),
                   {idPk}, error))
        return false;
    if (!q.next()) {
        if (error) *error = QStringLiteral("Коммутатор не найден в базе данных");
        return false;
    }
    s->idPk = idPk;
    s->idKe = q.value(0).toLongLong();
    s->params.rsrv = q.value(1).toInt();  // empty reads as 0
    s->serial = q.value(2).toString().trimmed();
    s->video = SwitchVideo::FromStored(q.value(3));
    s->idMvv = q.value(4).toLongLong();
    s->idMot = q.value(5).toLongLong();
    s->nNet = q.value(6).toInt();
    s->nPod = q.value(7).toInt();
    s->house = q.value(8).toString();
    place->house = s->house;
    place->nPod = s->nPod;
    place->ident = q.value(9).toString();
    return true;
}

}  // namespace

LoadedSwitch LoadSwitch(QSqlDatabase db, qint64 idPk) {
    LoadedSwitch s;
    SwitchPlace place;
    if (!ReadSwitch(db, idPk, &s, &place, &s.error)) return s;
    ParamSetValues v;
    QString name;
    if (s.idKe <= 0 || !ReadParamSet(db, s.idKe, &v, &name, &s.error)) {
        s.idKe = EnsureRecommendedParamSet(db, &s.error);
        if (s.idKe <= 0 || !ReadParamSet(db, s.idKe, &v, &name, &s.error)) return s;
    }
    s.params.TakeSet(v, name);
    s.error.clear();
    s.ok = true;
    return s;
}

// ---------------------------------------------------------------- saving

namespace {

ParamsSaved ParamsSaveFailed(const QString& error) {
    ParamsSaved r;
    r.error = error;
    return r;
}

// The set for the values, appended under nameIfNew when there is none equal.
bool TakeSet(QSqlDatabase db, const SwitchParams& p, const QString& nameIfNew, ParamsSaved* r) {
    const ParamSetMatch m = FindParamSet(db, p.SetValues(), nameIfNew);
    if (!m.ok) {
        r->error = m.error;
        return false;
    }
    r->idKe = m.idKe;
    r->existed = m.existed;
    ParamSetValues ignored;
    return ReadParamSet(db, m.idKe, &ignored, &r->setName, &r->error);
}

struct StoredSwitch {
    qint64 idPk = 0;
    qint64 idKe = 0;
    int nVid = -1;  // empty counts as not used
    int kfPr = 0;
};

bool ReadSwitches(QSqlDatabase db, const QString& where, qint64 id, QList<StoredSwitch>* out,
                  QString* error) {
    QSqlQuery q(db);
    if (!ExecBound(q,
                   QStringLiteral("SELECT id_pk, id_ke, n_vid, kf_pr FROM k_pk WHERE ") + where +
                       QStringLiteral(" ORDER BY id_pk"),
                   {id}, error))
        return false;
    while (q.next())
        out->append({q.value(0).toLongLong(), q.value(1).toLongLong(),
                     q.value(2).isNull() ? -1 : q.value(2).toInt(), q.value(3).toInt()});
    return true;
}

// n_vid a bulk save leaves on a switch: the house save always writes the
// video setting, the object save only when it is on.
enum class VideoRule { Always, OnlyWhenOn };

int NewVideo(VideoRule rule, const SwitchVideo& video, int stored) {
    if (rule == VideoRule::OnlyWhenOn && !video.on) return stored;
    return video.Stored();
}

ParamsSaved SaveForSwitches(QSqlDatabase db, const QString& where, qint64 id,
                            const QString& nameIfNew, const SwitchParams& p,
                            const SwitchVideo& video, VideoRule rule, const ProgressFn& progress) {
    SqlTransaction tr(db);
    if (!tr.started()) return ParamsSaveFailed(tr.LastError());
    ParamsSaved r;
    QList<StoredSwitch> switches;
    if (!TakeSet(db, p, nameIfNew, &r) || !ReadSwitches(db, where, id, &switches, &r.error))
        return ParamsSaveFailed(r.error);
    ProgressSteps steps(progress, int(switches.size()));
    QSqlQuery q(db);
    for (const StoredSwitch& sw : std::as_const(switches)) {
        const int nVid = NewVideo(rule, video, sw.nVid);
        const bool changed = sw.idKe != r.idKe || sw.nVid != nVid;
        const int kfPr = changed ? KfPrAfterEdit(sw.kfPr) : sw.kfPr;
        if (!ExecBound(q, QStringLiteral("UPDATE k_pk SET id_ke=?, n_vid=?, kf_pr=? WHERE id_pk=?"),
                       {r.idKe, nVid, kfPr, sw.idPk}, &r.error))
            return ParamsSaveFailed(r.error);
        if (kfPr != sw.kfPr) ++r.switchesMarked;
        steps.Step();
    }
    if (!tr.Commit()) return ParamsSaveFailed(tr.LastError());
    r.ok = true;
    return r;
}

}  // namespace

ParamsSaved SaveForSwitch(QSqlDatabase db, qint64 idPk, const SwitchParams& p,
                          const SwitchVideo& video) {
    SqlTransaction tr(db);
    if (!tr.started()) return ParamsSaveFailed(tr.LastError());
    LoadedSwitch stored;
    SwitchPlace place;
    ParamsSaved r;
    if (!ReadSwitch(db, idPk, &stored, &place, &r.error) ||
        !TakeSet(db, p, ParamSetNameForSwitch(place.ident, place.house, place.nPod), &r))
        return ParamsSaveFailed(r.error);
    QSqlQuery q(db);
    if (!ExecBound(q, QStringLiteral("UPDATE k_pk SET id_ke=?, rsrv=? WHERE id_pk=?"),
                   {r.idKe, p.rsrv, idPk}, &r.error) ||
        !MarkSwitchEdited(db, idPk, &r.error) || !SaveVideo(db, idPk, video, &r.error))
        return ParamsSaveFailed(r.error);
    if (!tr.Commit()) return ParamsSaveFailed(tr.LastError());
    r.ok = true;
    r.switchesMarked = 1;
    return r;
}

bool SaveVideo(QSqlDatabase db, qint64 idPk, const SwitchVideo& video, QString* error) {
    QSqlQuery q(db);
    if (!ExecBound(q, QStringLiteral("SELECT n_vid FROM k_pk WHERE id_pk=?"), {idPk}, error))
        return false;
    if (!q.next()) return true;
    const bool unchanged = video.on && !q.value(0).isNull() && q.value(0).toInt() == video.tract;
    if (unchanged) return true;
    return ExecBound(q, QStringLiteral("UPDATE k_pk SET n_vid=? WHERE id_pk=?"),
                     {video.Stored(), idPk}, error) &&
           MarkSwitchEdited(db, idPk, error);
}

namespace {

// The name a new set gets from a bulk save: the house's or the object's.
bool ReadOwnerName(QSqlDatabase db, const QString& sql, qint64 id, const QString& missing,
                   QString* name, QString* error) {
    QSqlQuery q(db);
    if (!ExecBound(q, sql, {id}, error)) return false;
    if (q.next()) {
        *name = q.value(0).toString();
        return true;
    }
    *error = missing;
    return false;
}

}  // namespace

ParamsSaved SaveForHouse(QSqlDatabase db, qint64 idDom, const SwitchParams& p,
                         const SwitchVideo& video, const ProgressFn& progress) {
    QString house, error;
    if (!ReadOwnerName(db, QStringLiteral("SELECT house FROM k_dom WHERE id_dom=?"), idDom,
                       QStringLiteral("Дом не найден в базе данных"), &house, &error))
        return ParamsSaveFailed(error);
    return SaveForSwitches(
        db, QStringLiteral("id_pod IN (SELECT id_pod FROM k_pod WHERE id_dom=?)"), idDom,
        ParamSetNameForHouse(house), p, video, VideoRule::Always, progress);
}

ParamsSaved SaveForObject(QSqlDatabase db, qint64 idNet, const SwitchParams& p,
                          const SwitchVideo& video, const ProgressFn& progress) {
    QString ident, error;
    if (!ReadOwnerName(db, QStringLiteral("SELECT ident FROM k_net WHERE id_net=?"), idNet,
                       QStringLiteral("Объект не найден в базе данных"), &ident, &error))
        return ParamsSaveFailed(error);
    return SaveForSwitches(db, QStringLiteral("id_net=?"), idNet, ParamSetNameForObject(ident), p,
                           video, VideoRule::OnlyWhenOn, progress);
}
