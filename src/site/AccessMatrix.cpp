#include "site/AccessMatrix.h"

#include "foundation/BoundSql.h"
#include "foundation/Globals.h"
#include "foundation/TFDM.h"
#include "platform/Dialogs.h"
#include "site/MatrixRules.h"
#include "site/ObjectState.h"
#include "site/SiteData.h"

#include <QSqlQuery>
#include <QSqlRecord>
#include <QVariant>

namespace {

const QString kSwitchPrefix = QStringLiteral("pk_");

// The object list read again on its object; its details (houses, entrances,
// m_pk, m_bv, switches, ...) follow it. Then Q_Matr opens on the object's
// matrix table.
void refreshObject(qint64 idNet) {
    Dataset* net = FDM->Q_Net;
    net->Reopen();
    if (net->FieldByName(QStringLiteral("id_net")).AsLargeInt() != idNet)
        net->Locate(QStringLiteral("id_net"), idNet);
    OpenMatrTable();
}

// ---- reading ---------------------------------------------------------------------

bool readEntranceSlots(QSqlDatabase db, qint64 idNet, QList<EntranceSlot>* out, QString* error) {
    QSqlQuery q(db);
    if (!ExecBound(q,
                   QStringLiteral("SELECT d.id_dom, d.kod_d, p.n_pod, p.nm_pod FROM k_dom d "
                                  "JOIN k_pod p ON p.id_dom = d.id_dom WHERE d.id_net=? "
                                  "ORDER BY d.id_dom, p.n_pod, p.id_pod"),
                   {idNet}, error))
        return false;
    while (q.next())
        out->append({q.value(0).toLongLong(), SiteData::TextOf(q.value(1)), q.value(2).toInt(),
                     SiteData::TextOf(q.value(3))});
    return true;
}

bool readMatrixHouses(QSqlDatabase db, qint64 idNet, QList<HouseEntrances>* out, QString* error) {
    QSqlQuery q(db);
    if (!ExecBound(q,
                   QStringLiteral("SELECT id_dom, v_pod FROM k_dom WHERE id_net=? ORDER BY id_dom"),
                   {idNet}, error))
        return false;
    while (q.next()) out->append({q.value(0).toLongLong(), q.value(1).toInt(), {}});
    q.finish();
    for (HouseEntrances& h : *out) {
        if (!ExecBound(q,
                       QStringLiteral("SELECT id_pod, n_pod, nm_pod FROM k_pod WHERE id_dom=? "
                                      "ORDER BY n_pod, id_pod"),
                       {h.idDom}, error))
            return false;
        while (q.next())
            h.entrances.append(
                {q.value(0).toLongLong(), q.value(1).toInt(), SiteData::TextOf(q.value(2))});
        q.finish();
    }
    return true;
}

// Switch column -> the entrance of its switch record, when the object has
// switch records at all.
bool readColumnOwners(QSqlDatabase db, qint64 idNet, QHash<int, qint64>* out, QString* error) {
    QSqlQuery q(db);
    if (!ExecBound(q,
                   QStringLiteral("SELECT m.n_pk, k.id_pod FROM m_pk m JOIN k_pk k "
                                  "ON k.id_pk = m.id_pk AND k.id_net = m.id_net "
                                  "WHERE m.id_net=? AND m.id_pk > 0"),
                   {idNet}, error))
        return false;
    while (q.next()) out->insert(q.value(0).toInt(), q.value(1).toLongLong());
    return true;
}

// ---- writing -----------------------------------------------------------------------

bool writeRebuild(QSqlDatabase db, qint64 idNet, const LinkTables& plan, QString* error) {
    QSqlQuery q(db);
    bool ok =
        ExecBound(q, QStringLiteral("UPDATE m_pk SET l_del=1 WHERE id_net=?"), {idNet}, error) &&
        ExecBound(q, QStringLiteral("UPDATE m_bv SET l_del=1 WHERE id_net=?"), {idNet}, error);
    for (const SwitchLink& s : plan.switches) {
        if (!ok) break;
        if (s.rowid > 0)
            ok = ExecBound(q,
                           QStringLiteral("UPDATE m_pk SET n_pk=?, n_pod=?, kod_d=?, nm_pod=?, "
                                          "id_dom=?, l_del=0 WHERE rowid=?"),
                           {s.nPk, s.nPod, s.kodD, s.nmPod, s.idDom, s.rowid}, error);
        else
            ok =
                ExecInsert(q,
                           QStringLiteral("INSERT INTO m_pk (id_net, n_pk, n_pod, nm_pod, v_dvr, "
                                          "n_net, id_dom, kod_d, l_del) "
                                          "VALUES (?, ?, ?, ?, ?, ?, ?, ?, 0)"),
                           {idNet, s.nPk, s.nPod, s.nmPod, s.vDvr, s.nNet, s.idDom, s.kodD}, error);
    }
    for (const PanelLink& p : plan.panels) {
        if (!ok) break;
        if (p.rowid > 0)
            ok = ExecBound(q,
                           QStringLiteral("UPDATE m_bv SET n_bv=?, n_pk=?, l_del=0 WHERE rowid=?"),
                           {p.nBv, p.nPk, p.rowid}, error);
        else
            ok = ExecInsert(q,
                            QStringLiteral("INSERT INTO m_bv (id_net, n_bv, bv_type, n_net, n_nt0, "
                                           "plus, n_pk, l_del) VALUES (?, ?, ?, ?, ?, ?, ?, 0)"),
                            {idNet, p.nBv, p.bvType, p.nNt0 + 64, p.nNt0, p.plus, p.nPk}, error);
    }
    return ok &&
           ExecBound(q, QStringLiteral("DELETE FROM m_pk WHERE id_net=? AND l_del=1"), {idNet},
                     error) &&
           ExecBound(q, QStringLiteral("DELETE FROM m_bv WHERE id_net=? AND l_del=1"), {idNet},
                     error);
}

bool writeMatrixCells(QSqlDatabase db, const QString& table, const SavePlan& plan, QString* error) {
    QSqlQuery q(db);
    for (const CellWrite& c : plan.cells)
        if (!ExecBound(q,
                       QStringLiteral("UPDATE ") + table + QStringLiteral(" SET ") +
                           MatrSwitchColumnName(c.column) + QStringLiteral("=? WHERE name=?"),
                       {c.text, c.row}, error))
            return false;
    for (const QString& row : plan.deletedRows)
        if (!ExecBound(q, QStringLiteral("DELETE FROM ") + table + QStringLiteral(" WHERE name=?"),
                       {row}, error))
            return false;
    for (const RowRename& r : plan.renamedRows)
        if (!ExecBound(
                q, QStringLiteral("UPDATE ") + table + QStringLiteral(" SET name=? WHERE name=?"),
                {r.to, r.from}, error))
            return false;
    return true;
}

bool writePanel(QSqlQuery& q, qint64 idNet, const PanelLinkWrite& p, QString* error) {
    if (p.rowid == 0)
        return ExecInsert(q,
                          QStringLiteral("INSERT INTO m_bv (id_net, n_bv, n_pk, bv_type, n_nt0, "
                                         "n_net, plus, tract, nm_bv, l_use) "
                                         "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, 1)"),
                          {idNet, p.nBv, p.nPk, p.bvType, p.nNt0, p.nNt0 + 64, p.plus.value_or(1),
                           p.tract.value_or(0), p.nmBv},
                          error);
    QString sql = QStringLiteral(
        "UPDATE m_bv SET n_bv=?, n_pk=?, bv_type=?, n_nt0=?, n_net=?, nm_bv=?, l_use=1");
    QVariantList values{p.nBv, p.nPk, p.bvType, p.nNt0, p.nNt0 + 64, p.nmBv};
    if (p.plus) {
        sql += QStringLiteral(", plus=?");
        values << *p.plus;
    }
    if (p.tract) {
        sql += QStringLiteral(", tract=?");
        values << *p.tract;
    }
    values << p.rowid;
    return ExecBound(q, sql + QStringLiteral(" WHERE rowid=?"), values, error);
}

bool writeSave(QSqlDatabase db, const MatrixObject& obj, const SavePlan& plan, QString* error) {
    QSqlQuery q(db);
    if (!writeMatrixCells(db, MatrTableName(obj.idNet), plan, error)) return false;
    for (const SwitchHeaderWrite& s : plan.switches)
        if (!ExecBound(q,
                       QStringLiteral("UPDATE m_pk SET nm_pod=?, v_dvr=?, n_net=? WHERE rowid=?"),
                       {s.nmPod, s.vDvr, s.nNet, s.rowid}, error))
            return false;
    if (!ObjectState::Apply(db, obj.idNet, ObjectState::AfterMatrixSaved, error) ||
        !ExecBound(q, QStringLiteral("UPDATE m_bv SET l_use=0 WHERE id_net=?"), {obj.idNet}, error))
        return false;
    for (const PanelLinkWrite& p : plan.panels)
        if (!writePanel(q, obj.idNet, p, error)) return false;
    if (!ExecBound(q, QStringLiteral("DELETE FROM m_bv WHERE l_use=0 AND id_net=?"), {obj.idNet},
                   error))
        return false;
    return plan.vKal == obj.vKal ||
           ExecBound(q, QStringLiteral("UPDATE k_net SET v_kal=? WHERE id_net=?"),
                     {plan.vKal, obj.idNet}, error);
}

bool writeEntry(QSqlDatabase db, qint64 idNet, const EntryPlan& plan, QString* error) {
    QSqlQuery q(db);
    for (const EntranceWrite& w : plan.writes) {
        bool ok = false;
        if (w.idPod == 0)
            ok = ExecInsert(
                q,
                QStringLiteral("INSERT INTO k_pod (id_net, id_dom, n_pod, nm_pod, v_dvr) "
                               "VALUES (?, ?, ?, ?, ?)"),
                {idNet, w.idDom, w.nPod, w.nmPod.value_or(QString()), w.vDvr}, error);
        else if (w.nmPod)
            ok = ExecBound(q, QStringLiteral("UPDATE k_pod SET nm_pod=?, v_dvr=? WHERE id_pod=?"),
                           {*w.nmPod, w.vDvr, w.idPod}, error);
        else
            ok = ExecBound(q, QStringLiteral("UPDATE k_pod SET v_dvr=? WHERE id_pod=?"),
                           {w.vDvr, w.idPod}, error);
        if (!ok) return false;
    }
    return true;
}

}  // namespace

// ---- shared -------------------------------------------------------------------------

std::optional<MatrixObject> CurrentMatrixObject() {
    if (!FDM || FDM->Q_Net->IsEmpty()) return std::nullopt;
    Dataset* net = FDM->Q_Net;
    return MatrixObject{net->FieldByName(QStringLiteral("id_net")).AsLargeInt(),
                        net->FieldByName(QStringLiteral("st_net")).AsString(),
                        net->FieldByName(QStringLiteral("v_pod")).AsInt(),
                        net->FieldByName(QStringLiteral("v_kal")).AsInt()};
}

MatrixNaming ProgramPanelNaming() {
    return {Globals().nmBVp, Globals().nmBVk};
}

bool ReadMatrixTable(QSqlDatabase db, qint64 idNet, QList<MatrRow>* rows, int* switchCount,
                     QString* error) {
    const QString table = MatrTableName(idNet);
    if (!MatrTableExists(db, table)) {
        if (error) *error = QStringLiteral("Нет таблицы ") + table;
        return false;
    }
    QSqlQuery q(db);
    if (!ExecBound(q, QStringLiteral("SELECT * FROM ") + table + QStringLiteral(" ORDER BY name"),
                   {}, error))
        return false;
    const QSqlRecord record = q.record();
    QHash<int, int> columnOf;  // field index -> switch column
    for (int i = 0; i < record.count(); ++i) {
        const QString field = record.fieldName(i).toLower();
        if (field.startsWith(kSwitchPrefix)) columnOf.insert(i, field.mid(3).toInt());
    }
    *switchCount = int(columnOf.size());
    const int name = record.indexOf(QStringLiteral("name"));
    const int sysN = record.indexOf(QStringLiteral("sys_n"));
    const int nmBv = record.indexOf(QStringLiteral("nm_bv"));
    while (q.next()) {
        MatrRow row{SiteData::TextOf(q.value(name)),
                    sysN >= 0 ? SiteData::TextOf(q.value(sysN)) : QString(),
                    nmBv >= 0 ? SiteData::TextOf(q.value(nmBv)) : QString(),
                    {}};
        for (auto it = columnOf.begin(); it != columnOf.end(); ++it)
            row.cells.insert(it.value(), SiteData::TextOf(q.value(it.key())));
        rows->append(row);
    }
    return true;
}

bool ReadLinkTables(QSqlDatabase db, qint64 idNet, LinkTables* out, QString* error) {
    QSqlQuery q(db);
    if (!ExecBound(q,
                   QStringLiteral("SELECT rowid, n_pk, n_pod, kod_d, v_dvr, n_net, id_dom, nm_pod "
                                  "FROM m_pk WHERE id_net=? ORDER BY n_pk, rowid"),
                   {idNet}, error))
        return false;
    while (q.next())
        out->switches.append(
            {{q.value(1).toInt(), q.value(2).toInt(), SiteData::TextOf(q.value(3)),
              q.value(4).toInt(), q.value(5).toInt(), SiteData::TextOf(q.value(7))},
             q.value(0).toLongLong(),
             q.value(6).toLongLong()});
    q.finish();
    if (!ExecBound(q,
                   QStringLiteral("SELECT rowid, n_bv, n_pk, bv_type, n_nt0, plus, tract, nm_bv "
                                  "FROM m_bv WHERE id_net=? ORDER BY rowid"),
                   {idNet}, error))
        return false;
    while (q.next())
        out->panels.append({{SiteData::TextOf(q.value(1)), q.value(2).toInt(), q.value(3).toInt(),
                             q.value(4).toInt(), q.value(5).toInt(), q.value(6).toInt(),
                             SiteData::TextOf(q.value(7))},
                            q.value(0).toLongLong()});
    return true;
}

// ---- operations -----------------------------------------------------------------------

void ShowMatrixFailure(const QString& what, const QString& reason) {
    SiteData::ShowFailure(what, reason);
}

namespace {

bool carry(const MatrResult& r, QString* error) {
    if (!r.ok && error) *error = r.error;
    return r.ok;
}

}  // namespace

bool RebuildMatrixOn(QSqlDatabase db, const MatrixObject& obj, QString* error) {
    QList<EntranceSlot> entrances;
    LinkTables links;
    return carry(CreateMatrTable(db, obj.idNet, MatrTableName(obj.idNet)), error) &&
           readEntranceSlots(db, obj.idNet, &entrances, error) &&
           ReadLinkTables(db, obj.idNet, &links, error) &&
           // v_kal as the object has it: the entrance save does not change it.
           writeRebuild(
               db, obj.idNet,
               PlanRebuild(entrances, links, obj.vKal, Globals().MaxDevice, ProgramPanelNaming()),
               error) &&
           carry(RebuildMatrTable(db, obj.idNet, Globals().nmBVk), error) &&
           ObjectState::Apply(db, obj.idNet, ObjectState::AfterMatrixRebuilt, error);
}

namespace {

bool readEntryPlan(QSqlDatabase db, const MatrixObject& obj, EntryPlan* plan, QString* error) {
    QList<MatrRow> rows;
    int switchCount = 0;
    QList<HouseEntrances> houses;
    QHash<int, qint64> owners;
    if (!ReadMatrixTable(db, obj.idNet, &rows, &switchCount, error) ||
        !readMatrixHouses(db, obj.idNet, &houses, error) ||
        !readColumnOwners(db, obj.idNet, &owners, error))
        return false;
    *plan = PlanEntranceEntry(rows, qMin(obj.vPod, switchCount), houses, owners);
    if (error) *error = plan->error;
    return plan->error.isEmpty();
}

}  // namespace

bool AccessMatrix::RebuildDevices() {
    const std::optional<MatrixObject> obj = CurrentMatrixObject();
    if (!obj) return false;
    QSqlDatabase db = FDM->ConnectionDB();
    // The table is dropped and made again; nothing may hold it open.
    FDM->Q_Matr->Close();
    const bool ok = WriteInOneTransaction(QStringLiteral("Матрица не перестроена."),
                                          [&](QString* e) { return RebuildMatrixOn(db, *obj, e); });
    refreshObject(obj->idNet);
    return ok;
}

bool AccessMatrix::BtnSaveClick(const HeldRows& held) {
    const std::optional<MatrixObject> obj = CurrentMatrixObject();
    if (!obj) return false;
    QSqlDatabase db = FDM->ConnectionDB();
    QString error;
    QList<MatrRow> rows;
    int switchCount = 0;
    LinkTables links;
    if (!ReadMatrixTable(db, obj->idNet, &rows, &switchCount, &error) ||
        !ReadLinkTables(db, obj->idNet, &links, &error)) {
        ShowMatrixFailure(QStringLiteral("Матрица не сохранена."), error);
        return false;
    }
    const SavePlan plan = PlanMatrixSave(rows, switchCount, links, obj->vKal, ProgramPanelNaming());
    if (!plan.saved) return true;
    if (!plan.error.isEmpty()) {
        ShowMatrixFailure(QStringLiteral("Матрица не сохранена."), plan.error);
        return false;
    }
    const bool ok = WriteInOneTransaction(held, QStringLiteral("Матрица не сохранена."),
                                          [&](QString* e) { return writeSave(db, *obj, plan, e); });
    refreshObject(obj->idNet);
    return ok;
}

bool AccessMatrix::VvodObjClick(const HeldRows& held) {
    const std::optional<MatrixObject> obj = CurrentMatrixObject();
    if (!obj || !ObjectState::EntersEntrances(obj->state)) return true;
    if (!OpenMatrTable()) {
        const QString reason = MatrTableError();
        Dialogs::Message(MatrixTexts::kError,
                         reason.isEmpty() ? MatrixTexts::kMatrixOpenFailed
                                          : MatrixTexts::kMatrixOpenFailed + '\n' + reason,
                         DlgButtons::Ok, DlgIcon::Error);
        return false;
    }
    QSqlDatabase db = FDM->ConnectionDB();
    const bool ok =
        WriteInOneTransaction(held, QStringLiteral("Подъезды не изменены."), [&](QString* e) {
            EntryPlan plan;
            return readEntryPlan(db, *obj, &plan, e) && writeEntry(db, obj->idNet, plan, e);
        });
    FDM->Q_Pod->Reopen();
    FDM->Q_DPd->Reopen();
    return ok;
}

bool AccessMatrix::BtnRetryClick() {
    const std::optional<MatrixObject> obj = CurrentMatrixObject();
    if (!obj) return false;
    if (!ObjectState::RestoreAllowed(obj->state)) {
        Dialogs::Message(MatrixTexts::kError, MatrixTexts::kNothingSaved, DlgButtons::Ok,
                         DlgIcon::Information);
        return false;
    }
    QSqlDatabase db = FDM->ConnectionDB();
    FDM->Q_Matr->Close();
    const bool ok =
        WriteInOneTransaction(QStringLiteral("Матрица не восстановлена."), [&](QString* e) {
            return carry(RebuildMatrTable(db, obj->idNet, Globals().nmBVk), e) &&
                   ObjectState::Apply(db, obj->idNet, ObjectState::AfterMatrixRestored, e);
        });
    refreshObject(obj->idNet);
    return ok;
}

MatrixTotals AccessMatrix::ShowMatrixTotals() {
    Dataset* matrix = FDM ? FDM->Q_Matr : nullptr;
    // A matrix that cannot be read has no totals (its header rows would count below zero).
    if (!matrix || !matrix->EnsureRead()) return {};
    return {matrix->FieldCount() - 3, matrix->RecordCount() - kMatrHeaderRows};
}
