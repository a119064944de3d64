#include "devices/DeviceRecordSync.h"

#include "devices/HandsetIndex.h"
#include "devices/Melody.h"
#include "devices/PanelWiring.h"
#include "devices/ParamSet.h"
#include "devices/TractAssignment.h"
#include "foundation/BitAndStr.h"
#include "foundation/BoundSql.h"
#include "foundation/Globals.h"
#include "foundation/MatrTable.h"
#include "foundation/TerminalDistribution.h"
#include "foundation/ProgressSteps.h"
#include "platform/Dialogs.h"
#include "site/ObjectState.h"
#include "site/SiteData.h"

#include <QHash>
#include <QList>
#include <QSet>
#include <QSqlQuery>
#include <QVariant>

#include <algorithm>
#include <memory>

namespace {

// The device keeps 16 tract positions in each camera mask.
constexpr int kMaskWidth = 16;
// The lowest blato, in steps of 0.03 s, and the apartments it serves.
constexpr int kBlatoFloor = 31;

}  // namespace

QString NewSwitchCameraMask(int doors, int gates, int kolTractPK) {
    const int ones = std::max(doors, 0) + std::max(gates, 0);
    const QString mask =
        PadRight(QString(ones, QLatin1Char('1')), QLatin1Char('0'), std::max(ones, kolTractPK));
    if (mask.size() <= kMaskWidth) return mask;
    return mask.left(std::clamp(kolTractPK, 0, kMaskWidth));
}

int NewSwitchFirstApartment(bool hotel, int incr, int n1kvr) {
    return hotel ? incr : FirstTerminalFromApartment(n1kvr);
}

int PanelBlato(int maxApartments) {
    if (maxApartments <= 0) return kBlatoFloor;
    return std::max(kBlatoFloor, (maxApartments + 31) / 32 + 16);
}

QString PanelRecordName(const PanelNameParts& parts) {
    if (!parts.nmBv.isEmpty()) return parts.nmBv;
    const QString head = parts.rowName.left(2) + IntToStrZ(parts.nNt0, 2);
    const qsizetype dot = parts.rowName.indexOf(QLatin1Char('.'));
    if (dot < 0) return head + DeviceSyncTexts::kGateWord;
    QString name = head + DeviceSyncTexts::kEntranceWord;
    if (parts.house > QStringLiteral(" "))
        name += QLatin1Char(' ') + parts.house.trimmed() + QStringLiteral(" -");
    if (parts.nPod >= 0)
        name += QLatin1Char(' ') + PadLeft(QString::number(parts.nPod), QLatin1Char(' '), 2);
    return name + parts.rowName.mid(dot, 7);
}

// ---------------------------------------------------------------- reading

namespace {

struct SyncObjectRow {
    int vKal = 0;
    int incr = 0;
    bool lPok = false;
    bool farc = false;
    QString flbv;

    // Character 18 of the call-panel flag mask: the default of flag 2.
    bool Bell() const { return flbv.size() >= 18 && flbv.at(17) == QLatin1Char('1'); }
};

// An m_pk row: a switch column of the matrix.
struct MatrixColumn {
    qint64 rowid = 0;
    qint64 idPk = 0;
    int nNet = 0;
    qint64 idDom = 0;
    int nPod = 0;
    int vDvr = 0;
    int nPk = 0;
};

struct SwitchRecord {
    qint64 idPk = 0;
    qint64 idPod = 0;
    int nNet = 0;
    int kfPr = 0;
};

struct SyncEntrance {
    qint64 idPod = 0;
    qint64 idNet = 0;
    int n1kvr = 0;
    bool hotel = false;
};

// An m_bv row: one panel's link to one switch column.
struct PanelLinkRow {
    QString nBv;
    QString nmBv;
    int nPk = 0;
    int nNet = 0;
    int nNt0 = 0;
    int bvType = 0;
    qint64 idBv = 0;
};

// A panel of the matrix: the rows sharing its network number, in their order.
struct MatrixPanel {
    QList<PanelLinkRow> rows;
    qint64 claimed = 0;  // the record it takes over, 0 for a new one
};

struct PanelRecord {
    qint64 idBv = 0;
    int nNet = 0;
    int nNt0 = 0;
    int bvType = 0;
    bool farc = false;
    int kfPr = 0;
};

// The first value the select gives, or a null value when it gives no row.
bool SelectOne(QSqlDatabase db, const QString& sql, const QVariantList& values, QVariant* out,
               QString* error) {
    QSqlQuery q(db);
    if (!ExecBound(q, sql, values, error)) return false;
    *out = q.next() ? q.value(0) : QVariant();
    return true;
}

bool ReadObject(QSqlDatabase db, qint64 idNet, SyncObjectRow* o, QString* error) {
    QSqlQuery q(db);
    if (!ExecBound(
            q, QStringLiteral("SELECT v_kal, incr, l_pok, farc, flbv FROM k_net WHERE id_net=?"),
            {idNet}, error))
        return false;
    if (!q.next()) {
        *error = QStringLiteral("Объект %1 не найден").arg(idNet);
        return false;
    }
    *o = {q.value(0).toInt(), q.value(1).toInt(), q.value(2).toInt() != 0, q.value(3).toInt() != 0,
          SiteData::TextOf(q.value(4))};
    return true;
}

bool ReadColumns(QSqlDatabase db, qint64 idNet, QList<MatrixColumn>* columns, QString* error) {
    QSqlQuery q(db);
    if (!ExecBound(
            q,
            QStringLiteral("SELECT rowid, id_pk, n_net, id_dom, n_pod, v_dvr, n_pk FROM m_pk "
                           "WHERE id_net=? ORDER BY n_pk, rowid"),
            {idNet}, error))
        return false;
    while (q.next())
        columns->append({q.value(0).toLongLong(), q.value(1).toLongLong(), q.value(2).toInt(),
                         q.value(3).toLongLong(), q.value(4).toInt(), q.value(5).toInt(),
                         q.value(6).toInt()});
    return true;
}

bool ReadSyncPanelLinks(QSqlDatabase db, qint64 idNet, QList<PanelLinkRow>* rows, QString* error) {
    QSqlQuery q(db);
    if (!ExecBound(
            q,
            QStringLiteral("SELECT n_bv, nm_bv, n_pk, n_net, n_nt0, bv_type, id_bv FROM m_bv "
                           "WHERE id_net=? ORDER BY rowid"),
            {idNet}, error))
        return false;
    while (q.next())
        rows->append({SiteData::TextOf(q.value(0)), SiteData::TextOf(q.value(1)),
                      q.value(2).toInt(), q.value(3).toInt(), q.value(4).toInt(),
                      q.value(5).toInt(), q.value(6).toLongLong()});
    return true;
}

bool ReadPanelRecords(QSqlDatabase db, qint64 idNet, QList<PanelRecord>* records, QString* error) {
    QSqlQuery q(db);
    if (!ExecBound(q,
                   QStringLiteral("SELECT id_bv, n_net, n_nt0, bv_type, farc, kf_pr FROM k_bv "
                                  "WHERE id_net=? ORDER BY id_bv"),
                   {idNet}, error))
        return false;
    while (q.next())
        records->append({q.value(0).toLongLong(), q.value(1).toInt(), q.value(2).toInt(),
                         q.value(3).toInt(), q.value(4).toInt() != 0, q.value(5).toInt()});
    return true;
}

// Rows of the matrix table, for the gauge; 0 when it has none.
int MatrixTableRows(QSqlDatabase db, qint64 idNet) {
    const QString table = MatrTableName(idNet);
    if (!IsValidMatrTableName(table) || !MatrTableExists(db, table)) return 0;
    QVariant count;
    QString error;
    if (!SelectOne(db, QStringLiteral("SELECT COUNT(*) FROM ") + table, {}, &count, &error))
        return 0;
    return count.toInt();
}

int LinkRowCount(QSqlDatabase db, qint64 idNet) {
    QVariant count;
    QString error;
    SelectOne(db, QStringLiteral("SELECT COUNT(*) FROM m_bv WHERE id_net=?"), {idNet}, &count,
              &error);
    return count.toInt();
}

bool ReadSwitchRecord(QSqlDatabase db, const QString& where, const QVariantList& values,
                      SwitchRecord* rec, bool* found, QString* error) {
    QSqlQuery q(db);
    if (!ExecBound(q, QStringLiteral("SELECT id_pk, id_pod, n_net, kf_pr FROM k_pk ") + where,
                   values, error))
        return false;
    *found = q.next();
    if (*found)
        *rec = {q.value(0).toLongLong(), q.value(1).toLongLong(), q.value(2).toInt(),
                q.value(3).toInt()};
    return true;
}

bool HasApartments(QSqlDatabase db, qint64 idPod, bool* has, QString* error) {
    return FindsRow(db, QStringLiteral("SELECT 1 FROM k_kvr WHERE id_pod=? AND NOT l_trub LIMIT 1"),
                    {idPod}, has, error);
}

bool ReadSyncEntrance(QSqlDatabase db, const QString& where, const QVariantList& values,
                      SyncEntrance* e, bool* found, QString* error) {
    QSqlQuery q(db);
    if (!ExecBound(q, QStringLiteral("SELECT id_pod, id_net, n1kvr, type_n FROM k_pod ") + where,
                   values, error))
        return false;
    *found = q.next();
    if (*found)
        *e = {q.value(0).toLongLong(), q.value(1).toLongLong(), q.value(2).toInt(),
              q.value(3).toInt() != 0};
    return true;
}

// The entrance a new column's switch serves: the house's entrance numbered
// n_pod, else its n_pod-th entrance in number order. Only an entrance of the
// object counts.
bool FindColumnEntrance(QSqlDatabase db, qint64 idNet, const MatrixColumn& c, SyncEntrance* e,
                        bool* found, QString* error) {
    *found = false;
    bool house = false;
    if (!FindsRow(db, QStringLiteral("SELECT 1 FROM k_dom WHERE id_dom=? AND id_net=?"),
                  {c.idDom, idNet}, &house, error))
        return false;
    if (!house) return true;
    if (!ReadSyncEntrance(db, QStringLiteral("WHERE id_dom=? AND n_pod=? ORDER BY id_pod LIMIT 1"),
                          {c.idDom, c.nPod}, e, found, error))
        return false;
    if (!*found && c.nPod > 0 &&
        !ReadSyncEntrance(db,
                          QStringLiteral("WHERE id_dom=? ORDER BY n_pod, id_pod LIMIT 1 OFFSET ?"),
                          {c.idDom, c.nPod - 1}, e, found, error))
        return false;
    *found = *found && e->idNet == idNet;
    return true;
}

// Per matrix column: its house's name and the entrance number of its switch,
// as the panel names show them.
struct ColumnNaming {
    QString house;  // empty: no house
    int nPod = -1;  // -1: no switch record on the switch list
};

bool ReadColumnNaming(QSqlDatabase db, qint64 idNet, QHash<int, ColumnNaming>* out,
                      QString* error) {
    QSqlQuery q(db);
    if (!ExecBound(q,
                   QStringLiteral("SELECT m.n_pk, d.house FROM m_pk m LEFT JOIN k_dom d "
                                  "ON d.id_dom = m.id_dom AND d.id_net = m.id_net "
                                  "WHERE m.id_net=? ORDER BY m.n_pk, m.rowid"),
                   {idNet}, error))
        return false;
    while (q.next())
        if (!out->contains(q.value(0).toInt()))
            (*out)[q.value(0).toInt()].house = SiteData::TextOf(q.value(1));
    // The switch list pairs a record with a column by network number.
    if (!ExecBound(q,
                   QStringLiteral("SELECT m.n_pk, p.n_pod FROM m_pk m, k_pk k, k_pod p, k_dom d "
                                  "WHERE m.id_net=? AND k.id_pk = m.id_pk AND p.id_pod = k.id_pod "
                                  "AND d.id_dom = p.id_dom AND d.id_net = m.id_net AND EXISTS "
                                  "(SELECT 1 FROM m_pk s WHERE s.id_net = d.id_net "
                                  "AND s.n_net = k.n_net) ORDER BY m.n_pk, m.rowid"),
                   {idNet}, error))
        return false;
    while (q.next()) {
        ColumnNaming& n = (*out)[q.value(0).toInt()];
        if (n.nPod < 0) n.nPod = q.value(1).toInt();
    }
    return true;
}

// The panel's wired switches (link 1 or 3, their entrance and house present):
// the one on the lowest column, and the most apartments among their entrances.
struct PanelWiring {
    qint64 firstSwitch = 0;
    int maxApartments = 0;
};

bool ReadPanelWiring(QSqlDatabase db, qint64 idBv, PanelWiring* w, QString* error) {
    QList<WiredSwitch> wired;
    if (!ReadWiredSwitches(db, idBv, &wired, error)) return false;
    *w = PanelWiring{};
    if (const WiredSwitch* first = FirstByColumn(wired)) w->firstSwitch = first->idPk;
    for (const WiredSwitch& sw : wired) {
        QVariant apartments;
        if (!SelectOne(db, QStringLiteral("SELECT v_kvr FROM k_pod WHERE id_pod=?"), {sw.idPod},
                       &apartments, error))
            return false;
        w->maxApartments = std::max(w->maxApartments, apartments.toInt());
    }
    return true;
}

// ---------------------------------------------------------------- panel matching

// The matrix's panels: its rows grouped by network number, first seen first.
QList<MatrixPanel> GroupPanels(const QList<PanelLinkRow>& rows) {
    QList<MatrixPanel> panels;
    QHash<int, int> byNet;
    for (const PanelLinkRow& row : rows) {
        if (!byNet.contains(row.nNet)) {
            byNet.insert(row.nNet, int(panels.size()));
            panels.append(MatrixPanel{});
        }
        panels[byNet.value(row.nNet)].rows.append(row);
    }
    return panels;
}

// Each panel takes over at most one record and each record serves at most one
// panel: first the records the matrix rows name by id, then, for the panels
// still without one, a record with the panel's network number. A panel that
// was renumbered thus keeps its own record even when a new panel took its
// old number.
void ClaimRecords(QList<MatrixPanel>& panels, const QList<PanelRecord>& records) {
    QSet<qint64> taken;
    auto free = [&](qint64 idBv) { return idBv > 0 && !taken.contains(idBv); };
    for (MatrixPanel& panel : panels)
        for (const PanelLinkRow& row : panel.rows) {
            const bool exists =
                std::any_of(records.cbegin(), records.cend(),
                            [&](const PanelRecord& r) { return r.idBv == row.idBv; });
            if (exists && free(row.idBv)) {
                panel.claimed = row.idBv;
                taken.insert(row.idBv);
                break;
            }
        }
    for (MatrixPanel& panel : panels) {
        if (panel.claimed) continue;
        for (const PanelRecord& r : records)
            if (r.nNet == panel.rows.first().nNet && free(r.idBv)) {
                panel.claimed = r.idBv;
                taken.insert(r.idBv);
                break;
            }
    }
}

const PanelRecord* RecordById(const QList<PanelRecord>& records, qint64 idBv) {
    for (const PanelRecord& r : records)
        if (r.idBv == idBv) return &r;
    return nullptr;
}

// ---------------------------------------------------------------- the run

// The gauge's length: three steps per switch column and per panel row of the
// matrix table, one per link row, and five more.
int GaugeMaximum(QSqlDatabase db, qint64 idNet, int columns) {
    const int panelRows = std::max(MatrixTableRows(db, idNet) - kMatrHeaderRows, 0);
    return 3 * columns + LinkRowCount(db, idNet) + 5 + 3 * panelRows;
}

// One synchronisation, inside the transaction the caller holds. Each step
// returns false with error set, or with declined set at the question.
class SyncRun {
  public:
    SyncRun(QSqlDatabase db, qint64 idNet) : db_(db), idNet_(idNet) {}

    bool Run(const ProgressFn& progress);

    bool declined = false;
    QString error;

  private:
    bool readDefaults();
    bool syncSwitchRecords();
    bool makeColumnRecord(const MatrixColumn& c);
    bool adoptRecord(const MatrixColumn& c, SwitchRecord rec, qint64 idPod);
    bool appendSwitch(const MatrixColumn& c, const SyncEntrance& e, qint64* idPk);
    bool syncLinkedColumn(const MatrixColumn& c, const SwitchRecord& rec);
    bool linkColumn(const MatrixColumn& c, qint64 idPk);
    bool askWhenApartmentsMissing();

    bool SyncBvRecords();
    bool writePanel(const MatrixPanel& panel, const QList<PanelRecord>& records,
                    const QHash<int, ColumnNaming>& naming);
    bool deleteUnclaimedPanels();
    bool indexWiredPanels();
    bool raiseBlato(qint64 idBv, int maxApartments);

    bool finishSwitches();
    void step() {
        if (gauge_) gauge_->Step();
    }

    QSqlDatabase db_;
    qint64 idNet_;
    SyncObjectRow object_;
    int kolTractPK_ = 8;
    QList<MatrixColumn> columns_;
    qint64 idKe_ = 0;
    qint64 idMvv_ = 0;
    qint64 idMot_ = 0;
    bool allHaveApartments_ = true;
    std::unique_ptr<ProgressSteps> gauge_;
};

bool SyncRun::Run(const ProgressFn& progress) {
    if (!ReadObject(db_, idNet_, &object_, &error) || !ReadColumns(db_, idNet_, &columns_, &error))
        return false;
    if (columns_.isEmpty()) return true;
    const int maximum = GaugeMaximum(db_, idNet_, int(columns_.size()));
    gauge_ = std::make_unique<ProgressSteps>(progress, maximum);
    if (!readDefaults() || !syncSwitchRecords() || !askWhenApartmentsMissing() ||
        !SyncBvRecords() || !finishSwitches() ||
        !ObjectState::Apply(db_, idNet_, ObjectState::AfterSwitchRecordsMade, &error))
        return false;
    // The tracts given show in the saved matrix. A refill refused (its own
    // part undone) is left to the matrix screen, which tells why.
    FollowSavedMatrix(db_, idNet_, Globals().nmBVk);
    gauge_->MoveTo(maximum);
    return true;
}

// The recommended parameter set (made when missing), the standard melodies
// and the installation's tract count, for new switches.
bool SyncRun::readDefaults() {
    kolTractPK_ = TractCount(db_);
    idKe_ = EnsureRecommendedParamSet(db_, &error);
    if (idKe_ == 0) return false;
    idMvv_ = FindSwitchMelody(db_, kStandardCallMelody);
    idMot_ = FindSwitchMelody(db_, kStandardRingBackMelody);
    return true;
}

bool SyncRun::askWhenApartmentsMissing() {
    if (allHaveApartments_) return true;
    declined =
        Dialogs::Message(DeviceSyncTexts::kQuestionCaption, DeviceSyncTexts::kMissingApartments,
                         DlgButtons::YesNo, DlgIcon::Question) != DlgAnswer::Yes;
    return !declined;
}

// ---------------------------------------------------------------- switch records

bool SyncRun::syncSwitchRecords() {
    for (const MatrixColumn& c : columns_) {
        SwitchRecord rec;
        bool linked = false;
        if (c.idPk != 0 && !ReadSwitchRecord(db_, QStringLiteral("WHERE id_pk=? AND id_net=?"),
                                             {c.idPk, idNet_}, &rec, &linked, &error))
            return false;
        if (!(linked ? syncLinkedColumn(c, rec) : makeColumnRecord(c))) return false;
        step();
    }
    return true;
}

// A linked column brings its switch record in line: the doors of the record's
// entrance, and a new network number, which the device must be told (its file
// changes, and the address it was given by hand no longer holds).
bool SyncRun::syncLinkedColumn(const MatrixColumn& c, const SwitchRecord& rec) {
    QVariant doors;
    if (!SelectOne(db_, QStringLiteral("SELECT v_dvr FROM k_pod WHERE id_pod=?"), {rec.idPod},
                   &doors, &error))
        return false;
    if (doors.isValid()) {
        if (doors.toInt() != c.vDvr &&
            !ExecBound(db_, QStringLiteral("UPDATE k_pod SET v_dvr=? WHERE id_pod=?"),
                       {c.vDvr, rec.idPod}, &error))
            return false;
        bool has = false;
        if (!HasApartments(db_, rec.idPod, &has, &error)) return false;
        allHaveApartments_ = allHaveApartments_ && has;
    }
    if (rec.nNet == c.nNet) return true;
    return ExecBound(db_, QStringLiteral("UPDATE k_pk SET kf_pr=?, n_net=?, ah=0 WHERE id_pk=?"),
                     {KfPrAfterEdit(rec.kfPr), c.nNet, rec.idPk}, &error);
}

bool SyncRun::linkColumn(const MatrixColumn& c, qint64 idPk) {
    return ExecBound(db_, QStringLiteral("UPDATE m_pk SET id_pk=? WHERE rowid=?"), {idPk, c.rowid},
                     &error);
}

// An unlinked column takes over the record of its network number that no
// column holds, or else gets a new record. A column whose entrance is not
// among the object's is left without one.
bool SyncRun::makeColumnRecord(const MatrixColumn& c) {
    SyncEntrance entrance;
    bool found = false;
    if (!FindColumnEntrance(db_, idNet_, c, &entrance, &found, &error)) return false;
    if (!found) return true;

    SwitchRecord rec;
    if (!ReadSwitchRecord(db_,
                          QStringLiteral("WHERE id_net=? AND n_net=? AND id_pk NOT IN (SELECT "
                                         "id_pk FROM m_pk WHERE id_net=? AND id_pk IS NOT NULL) "
                                         "ORDER BY id_pk LIMIT 1"),
                          {idNet_, c.nNet, idNet_}, &rec, &found, &error))
        return false;
    if (found) return adoptRecord(c, rec, entrance.idPod);

    bool has = false;
    if (!HasApartments(db_, entrance.idPod, &has, &error)) return false;
    allHaveApartments_ = allHaveApartments_ && has;
    qint64 idPk = 0;
    return appendSwitch(c, entrance, &idPk) && linkColumn(c, idPk);
}

// A record taken over serves the column's entrance from now on.
bool SyncRun::adoptRecord(const MatrixColumn& c, SwitchRecord rec, qint64 idPod) {
    if (rec.idPod != idPod) {
        rec.kfPr = KfPrAfterEdit(rec.kfPr);
        rec.idPod = idPod;
        if (!ExecBound(db_, QStringLiteral("UPDATE k_pk SET id_pod=?, kf_pr=? WHERE id_pk=?"),
                       {rec.idPod, rec.kfPr, rec.idPk}, &error))
            return false;
    }
    return linkColumn(c, rec.idPk) && syncLinkedColumn(c, rec);
}

bool SyncRun::appendSwitch(const MatrixColumn& c, const SyncEntrance& e, qint64* idPk) {
    const QString mask = NewSwitchCameraMask(c.vDvr, object_.vKal, kolTractPK_);
    QSqlQuery q(db_);
    return InsertReturningKey(
        q,
        QStringLiteral("INSERT INTO k_pk (id_net, n_net, id_pod, id_mvv, id_mot, id_ke, "
                       "type_k, p_fc, type_f, ah, kf_pr, ai, m_vo, m_vb) "
                       "VALUES (?, ?, ?, ?, ?, ?, ?, 1, ?, 0, 0, ?, ?, ?)"),
        {idNet_, c.nNet, e.idPod, idMvv_, idMot_, idKe_, DeviceSyncTexts::kSwitchType,
         e.hotel ? kTerminalsNone : kTerminalsByHundreds,
         NewSwitchFirstApartment(e.hotel, object_.incr, e.n1kvr), mask, mask},
        QStringLiteral("id_pk"), idPk, &error);
}

// Tracts for the panels of every switch on the switch list, then each
// switch's terminals by its own mode.
bool SyncRun::finishSwitches() {
    const QList<SwitchColumn> switches = ObjectSwitchColumns(db_, idNet_, &error);
    if (!error.isEmpty()) return false;
    for (const SwitchColumn& sw : switches) {
        const TractResult r = AssignTracts(db_, sw);
        if (!r.ok) {
            error = r.error;
            return false;
        }
        step();
    }
    for (const SwitchColumn& sw : switches) {
        const TerminalResult r = RecountOwnTerminalsWhenChanged(db_, sw.idPk);
        if (!r.ok) {
            error = r.error;
            return false;
        }
        step();
    }
    return true;
}

// ---------------------------------------------------------------- call-panel records

// One record per panel of the matrix, every link row of the panel pointing to
// it; records no panel claims go. Without link rows the records stay as they are.
bool SyncRun::SyncBvRecords() {
    QList<PanelLinkRow> rows;
    if (!ReadSyncPanelLinks(db_, idNet_, &rows, &error)) return false;
    if (rows.isEmpty()) return true;
    if (!ExecBound(db_, QStringLiteral("UPDATE k_bv SET l_use=0 WHERE id_net=?"), {idNet_}, &error))
        return false;
    QList<PanelRecord> records;
    QHash<int, ColumnNaming> naming;
    if (!ReadPanelRecords(db_, idNet_, &records, &error) ||
        !ReadColumnNaming(db_, idNet_, &naming, &error))
        return false;
    QList<MatrixPanel> panels = GroupPanels(rows);
    ClaimRecords(panels, records);
    for (const MatrixPanel& panel : panels)
        if (!writePanel(panel, records, naming)) return false;
    return deleteUnclaimedPanels() && indexWiredPanels();
}

// The panel's record written from its first link row (appended for a new
// panel), and every link row of the panel pointed at it. A change the device
// must be told of advances kf_pr; the name alone does not.
bool SyncRun::writePanel(const MatrixPanel& panel, const QList<PanelRecord>& records,
                         const QHash<int, ColumnNaming>& naming) {
    const PanelLinkRow& row = panel.rows.first();
    const ColumnNaming column = naming.value(row.nPk);
    const QString name = PanelRecordName({row.nBv, row.nmBv, row.nNt0, column.house, column.nPod});
    qint64 idBv = panel.claimed;
    QSqlQuery q(db_);
    if (const PanelRecord* rec = RecordById(records, idBv)) {
        const bool changed = rec->nNet != row.nNet || rec->nNt0 != row.nNt0 ||
                             rec->bvType != row.bvType || rec->farc != object_.farc;
        if (!ExecBound(q,
                       QStringLiteral("UPDATE k_bv SET n_net=?, n_bv=?, n_nt0=?, bv_type=?, "
                                      "farc=?, l_use=1, kf_pr=? WHERE id_bv=?"),
                       {row.nNet, name, row.nNt0, row.bvType, int(object_.farc),
                        changed ? KfPrAfterEdit(rec->kfPr) : rec->kfPr, idBv},
                       &error))
            return false;
    } else {
        if (!InsertReturningKey(
                q,
                QStringLiteral("INSERT INTO k_bv (id_net, nrcs, l_pok, l_kns, bell, n_net, "
                               "n_bv, n_nt0, bv_type, farc, l_use, kf_pr) "
                               "VALUES (?, ?, ?, 0, ?, ?, ?, ?, ?, ?, 1, 0)"),
                {idNet_, int(object_.lPok), int(object_.lPok), int(object_.Bell()), row.nNet, name,
                 row.nNt0, row.bvType, int(object_.farc)},
                QStringLiteral("id_bv"), &idBv, &error))
            return false;
    }
    for (int i = 0; i < panel.rows.size(); ++i) step();
    return ExecBound(db_, QStringLiteral("UPDATE m_bv SET id_bv=? WHERE id_net=? AND n_net=?"),
                     {idBv, idNet_, row.nNet}, &error);
}

// Panels that left the matrix go, and the keys of a gate panel with them:
// they hold its id_bv, which nothing would explain afterwards.
bool SyncRun::deleteUnclaimedPanels() {
    return ExecBound(db_,
                     QStringLiteral("DELETE FROM k_key WHERE id_kvr=-2 AND id_pod IN (SELECT id_bv "
                                    "FROM k_bv WHERE l_use=0 AND id_net=?)"),
                     {idNet_}, &error) &&
           ExecBound(db_, QStringLiteral("DELETE FROM k_bv WHERE l_use=0 AND id_net=?"), {idNet_},
                     &error);
}

// Every panel wired to a switch gets its handset index through the switch on
// its lowest column; a panel whose console flag disagrees with the object's
// keeps only a concierge. Each gets at least the blato its apartments need.
bool SyncRun::indexWiredPanels() {
    QSqlQuery q(db_);
    if (!ExecBound(q,
                   QStringLiteral("SELECT id_bv, l_pok FROM k_bv WHERE id_net=? "
                                  "ORDER BY bv_type, n_net, id_bv"),
                   {idNet_}, &error))
        return false;
    QList<QPair<qint64, bool>> panels;
    while (q.next()) panels.append({q.value(0).toLongLong(), q.value(1).toInt() != 0});
    for (const auto& [idBv, lPok] : panels) {
        PanelWiring wiring;
        if (!ReadPanelWiring(db_, idBv, &wiring, &error)) return false;
        step();
        if (wiring.firstSwitch == 0) continue;
        const HandsetIndexMode mode =
            lPok != object_.lPok ? HandsetIndexMode::KeepConcierge : HandsetIndexMode::Individual;
        const HandsetIndexResult r = ApplyHandsetIndex(db_, idBv, mode, wiring.firstSwitch);
        if (!r.ok) {
            error = r.error;
            return false;
        }
        if (!raiseBlato(idBv, wiring.maxApartments)) return false;
    }
    return true;
}

// A panel whose entrances grew needs a longer blato, and a new file for it. A
// stored value above the one needed was set by hand and stays.
bool SyncRun::raiseBlato(qint64 idBv, int maxApartments) {
    QSqlQuery q(db_);
    if (!ExecBound(q, QStringLiteral("SELECT blato, kf_pr FROM k_bv WHERE id_bv=?"), {idBv},
                   &error))
        return false;
    if (!q.next()) return true;
    const int needed = PanelBlato(maxApartments);
    if (q.value(0).toInt() >= needed) return true;
    const DeviceWrite w = UpdateAsEdit(db_, QStringLiteral("k_bv"), QStringLiteral("id_bv"), idBv,
                                       q.value(1).toInt(), QStringLiteral("blato=?"), {needed});
    error = w.error;
    return w.ok;
}

}  // namespace

DeviceRecordSync::DeviceRecordSync(QSqlDatabase db, qint64 idNet) : db_(db), idNet_(idNet) {}

DeviceSyncOutcome DeviceRecordSync::SyncPkRecords() {
    DeviceSyncOutcome out;
    SyncRun run(db_, idNet_);
    {
        SqlTransaction tr(db_);
        if (!tr.started()) {
            out.error = tr.LastError();
            return out;
        }
        if (loadSecurityPost_) loadSecurityPost_();
        if (run.Run(progress_) && tr.Commit()) {
            out.result = DeviceChange::Done;
            return out;
        }
        if (run.error.isEmpty() && !run.declined) run.error = tr.LastError();
    }
    out.result = run.declined ? DeviceChange::Declined : DeviceChange::Failed;
    out.error = run.error;
    return out;
}
