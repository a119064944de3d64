#include "site/MatrixEditor.h"

#include "foundation/BitAndStr.h"
#include "foundation/BoundSql.h"
#include "foundation/Globals.h"
#include "foundation/MatrTable.h"
#include "foundation/TFDM.h"
#include "platform/Dialogs.h"
#include "site/AccessMatrix.h"
#include "site/ObjectState.h"
#include "site/SiteData.h"

#include <QtCore/qnamespace.h>
#include <QSet>
#include <QSqlQuery>

using namespace MatrixRules;

namespace {

const QString kName = QStringLiteral("name");
const QString kSysN = QStringLiteral("sys_n");
const QString kNmBv = QStringLiteral("nm_bv");

Dataset* matrix() {
    return FDM ? FDM->Q_Matr : nullptr;
}

// The object's matrix, read (through its opener when it is closed); false
// when there is none to read, which is not a matrix without rows.
bool matrixRead() {
    return matrix() && matrix()->EnsureRead();
}

QString matrixCell(int row, const QString& field) {
    const int f = matrix()->FieldIndex(field);
    return f < 0 ? QString() : matrix()->Value(row, f).toString();
}

QString rowName(int row) {
    return matrixCell(row, kName);
}

bool validRow(int row) {
    return matrixRead() && row >= 0 && row < matrix()->RecordCount();
}

void tooManyPanels() {
    Dialogs::Message(MatrixTexts::kTooManyPanelsCaption, MatrixTexts::kTooManyPanels,
                     DlgButtons::Ok, DlgIcon::Warning);
}

// Switch columns of the matrix, 1..n.
QList<int> switchColumns() {
    QList<int> columns;
    for (const QString& field : matrix()->FieldNames())
        if (const int k = MatrixEditor::SwitchColumnOf(field)) columns.append(k);
    return columns;
}

// Writes cells of one row through Q_Matr; a refused write is shown and
// undone.
bool writeCells(int row, const QList<QPair<QString, QString>>& cells) {
    Dataset* m = matrix();
    m->SetRecNo(row + 1);
    if (m->RecNo() != row + 1) return false;
    for (const auto& [field, text] : cells) m->FieldByName(field).SetValue(text);
    if (m->Post()) return true;
    ShowMatrixFailure(QStringLiteral("Матрица не изменена."), m->LastError());
    m->Cancel();
    return false;
}

// The object's state after an edit of the matrix, posted on its row.
void markEdited() {
    const std::optional<MatrixObject> obj = CurrentMatrixObject();
    if (!obj) return;
    const QString next =
        LeftChars(ObjectState::AfterMatrixCellEdited(obj->state), ObjectState::kWidth);
    if (next == obj->state) return;
    Dataset* net = FDM->Q_Net;
    net->FieldByName(QStringLiteral("st_net")).SetValue(next);
    if (net->Post()) return;
    ShowMatrixFailure(QStringLiteral("Состояние объекта не изменено."), net->LastError());
    net->Cancel();
}

// Q_Net read again on its object (after a write to k_net), then Q_Matr on
// the same row.
void refreshAfterWrite(qint64 idNet) {
    FDM->Q_Net->Reopen();
    FDM->Q_Net->Locate(QStringLiteral("id_net"), idNet);
    matrix()->Reopen();
}

QList<QString> panelNumbers() {
    QList<QString> numbers;
    const int f = matrix()->FieldIndex(kSysN);
    for (int r = 0; r < matrix()->RecordCount(); ++r) numbers << matrix()->Value(r, f).toString();
    return numbers;
}

bool rowExists(const QString& name) {
    const int f = matrix()->FieldIndex(kName);
    for (int r = 0; r < matrix()->RecordCount(); ++r)
        if (matrix()->Value(r, f).toString() == name) return true;
    return false;
}

// The stored tract of a gate's link to a switch column, 0 when none.
int storedTract(qint64 idNet, const QString& gate, int column) {
    QSqlQuery q(FDM->ConnectionDB());
    QString error;
    if (!ExecBound(q,
                   QStringLiteral("SELECT tract FROM m_bv WHERE id_net=? AND n_bv=? AND n_pk=? "
                                  "ORDER BY rowid LIMIT 1"),
                   {idNet, gate, column}, &error) ||
        !q.next())
        return 0;
    return q.value(0).toInt();
}

QString updateCell(const QString& table, const QString& field) {
    return QStringLiteral("UPDATE ") + table + QStringLiteral(" SET ") + field +
           QStringLiteral("=? WHERE name=?");
}

// The record id of a device in the object (id above 0 and present), else 0.
qint64 deviceRecord(QSqlQuery& q, const QString& table, const QString& key, qint64 id, qint64 idNet,
                    int* kfPr, QString* name) {
    if (id <= 0) return 0;
    QString error;
    const QString nameColumn = name ? QStringLiteral(", n_bv") : QString();
    if (!ExecBound(q,
                   QStringLiteral("SELECT kf_pr") + nameColumn + QStringLiteral(" FROM ") + table +
                       QStringLiteral(" WHERE ") + key + QStringLiteral("=? AND id_net=?"),
                   {id, idNet}, &error) ||
        !q.next())
        return 0;
    *kfPr = q.value(0).toInt();
    if (name) *name = q.value(1).toString();
    q.finish();
    return id;
}

// One panel row renumbered: the matrix row, its m_bv rows and its record.
bool renumberPanel(QSqlDatabase db, qint64 idNet, const QString& table, int row, int number,
                   QString* error) {
    const QString name = rowName(row);
    const QString oldMark =
        QStringLiteral("БВ") + IntToStrZ(CellNumber(matrixCell(row, kSysN)).value_or(0), 2);
    const QString newMark = QStringLiteral("БВ") + IntToStrZ(number, 2);
    QString shown = matrixCell(row, kNmBv);
    if (NonBlank(shown) && shown.contains(oldMark))
        shown.replace(shown.indexOf(oldMark), 4, newMark);

    QSqlQuery q(db);
    if (!ExecBound(q,
                   QStringLiteral("UPDATE ") + table +
                       QStringLiteral(" SET sys_n=?, nm_bv=? WHERE name=?"),
                   {IntToStrZ(number, 2), shown, name}, error) ||
        !ExecBound(q,
                   QStringLiteral("UPDATE m_bv SET n_nt0=?, n_net=?, nm_bv=? "
                                  "WHERE id_net=? AND n_bv=?"),
                   {number, number + 64, shown, idNet, name}, error) ||
        !ExecBound(q,
                   QStringLiteral("SELECT DISTINCT id_bv FROM m_bv WHERE id_net=? AND n_bv=? "
                                  "AND id_bv > 0"),
                   {idNet, name}, error))
        return false;
    QList<qint64> records;
    while (q.next()) records << q.value(0).toLongLong();
    q.finish();
    for (qint64 idBv : std::as_const(records)) {
        int kfPr = 0;
        QString recordName;
        if (!deviceRecord(q, QStringLiteral("k_bv"), QStringLiteral("id_bv"), idBv, idNet, &kfPr,
                          &recordName))
            continue;
        // A panel without a display name keeps its own name, with its number.
        if (NonBlank(shown))
            recordName = shown;
        else if (recordName.contains(oldMark))
            recordName.replace(recordName.indexOf(oldMark), 4, newMark);
        if (!ExecBound(q,
                       QStringLiteral("UPDATE k_bv SET n_net=?, n_nt0=?, n_bv=?, kf_pr=? "
                                      "WHERE id_bv=?"),
                       {number + 64, number, recordName, KfPrAfterEdit(kfPr), idBv}, error))
            return false;
    }
    return true;
}

bool renumberSwitch(QSqlDatabase db, qint64 idNet, int column, int number, QString* error) {
    QSqlQuery q(db);
    if (!ExecBound(q, QStringLiteral("UPDATE m_pk SET n_net=? WHERE id_net=? AND n_pk=?"),
                   {number, idNet, column}, error) ||
        !ExecBound(q, QStringLiteral("SELECT DISTINCT id_pk FROM m_pk WHERE id_net=? AND n_pk=?"),
                   {idNet, column}, error))
        return false;
    QList<qint64> records;
    while (q.next()) records << q.value(0).toLongLong();
    q.finish();
    for (qint64 idPk : std::as_const(records)) {
        int kfPr = 0;
        if (!deviceRecord(q, QStringLiteral("k_pk"), QStringLiteral("id_pk"), idPk, idNet, &kfPr,
                          nullptr))
            continue;
        if (!ExecBound(q, QStringLiteral("UPDATE k_pk SET n_net=?, kf_pr=? WHERE id_pk=?"),
                       {number, KfPrAfterEdit(kfPr), idPk}, error))
            return false;
    }
    return true;
}

int nextNumber(int number) {
    return number + 1 >= Globals().MaxDevice ? 0 : number + 1;
}

}  // namespace

int MatrixEditor::SwitchColumnOf(const QString& field) {
    if (!field.startsWith(QStringLiteral("pk_"), Qt::CaseInsensitive)) return 0;
    return field.mid(3).toInt();
}

int MatrixEditor::PanelTotal() {
    return matrixRead() ? matrix()->RecordCount() - kMatrHeaderRows : 0;
}

// ---- cells ------------------------------------------------------------------------

MatrixEdit MatrixEditor::DblClick(int row, const QString& field) {
    if (!validRow(row)) return {};
    const int column = SwitchColumnOf(field);
    if (!column) return {};
    const QString name = rowName(row);
    if (IsGateRow(name)) return cycleGateCell(row, field, column);
    if (HeaderRowOf(name) == 3) return doorCountByClick(row, column);
    return {};
}

MatrixEdit MatrixEditor::KeyPress(int row, const QString& field, QChar key) {
    if (!validRow(row)) return {};
    const QString name = rowName(row);
    const int header = HeaderRowOf(name);
    const int column = SwitchColumnOf(field);
    const QString cell = matrixCell(row, field);
    std::optional<QString> typed;
    if (column && IsGateRow(name)) {
        if (IsSpaceOrEnter(key)) return cycleGateCell(row, field, column);
        return {};
    }
    if (column && header == 3) return doorCountByKey(row, column, key);
    if ((column && header == 4) || (field == kSysN && IsPanelRow(name)))
        typed = TypedNumber(cell, key);
    else if (column && header == 0)
        typed = TypedEntranceName(cell, key);
    else if (field == kNmBv && header < 0)
        typed = TypedPanelName(cell, key);
    if (!typed || *typed == cell || !writeCells(row, {{field, *typed}})) return {};
    markEdited();
    return {true, false};
}

bool MatrixEditor::KeyDown(int row, const QString& field, int key) {
    if (key != Qt::Key_Backspace && key != Qt::Key_Delete) return false;
    if (!validRow(row)) return false;
    const bool entranceName = SwitchColumnOf(field) && HeaderRowOf(rowName(row)) == 0;
    const bool displayName = field == kNmBv && row >= 1;
    if (!entranceName && !displayName) return false;
    const QString cell = matrixCell(row, field);
    const QString edited = key == Qt::Key_Delete ? QString() : cell.left(cell.size() - 1);
    if (edited != cell) writeCells(row, {{field, edited}});
    return true;
}

bool MatrixEditor::GateClick(int row, const QString& field) {
    const int column = SwitchColumnOf(field);
    if (!validRow(row) || !column || !IsGateRow(rowName(row))) return false;
    const QString next = GateCellClicked(matrixCell(row, field));
    QList<QPair<QString, QString>> cells;
    for (int k : switchColumns())
        if (k >= column) cells.append({MatrSwitchColumnName(k), next});
    return writeCells(row, cells);
}

MatrixEdit MatrixEditor::cycleGateCell(int row, const QString& field, int column) {
    const std::optional<MatrixObject> obj = CurrentMatrixObject();
    if (!obj) return {};
    const QString cell = matrixCell(row, field);
    const QString next = GateCellCycled(cell, storedTract(obj->idNet, rowName(row), column));
    if (next == cell || !writeCells(row, {{field, next}})) return {};
    markEdited();
    return {true, false};
}

// ---- door counts ---------------------------------------------------------------------

MatrixEdit MatrixEditor::doorCountByClick(int row, int column) {
    const int most = qMin(emax_, Globals().KolTractPK);
    const int current = CellNumber(matrixCell(row, MatrSwitchColumnName(column))).value_or(0);
    if (current >= most) return setDoors(row, column, current, 1);
    if (PanelTotal() >= Globals().MaxDevice) {
        tooManyPanels();
        return {};
    }
    return setDoors(row, column, current, current + 1);
}

MatrixEdit MatrixEditor::doorCountByKey(int row, int column, QChar key) {
    const int current = CellNumber(matrixCell(row, MatrSwitchColumnName(column))).value_or(0);
    std::optional<int> target = TypedDoorCount(current, key, emax_);
    if (!target) return {};
    if (*target > current) {
        // Cut back so that the object keeps within MaxDevice panels.
        const int room = qMax(0, Globals().MaxDevice - PanelTotal());
        if (*target - current > room) {
            tooManyPanels();
            target = current + room;
        }
        if (*target > Globals().KolTractPK) {
            tooManyPanels();
            target = Globals().KolTractPK;
        }
    }
    return setDoors(row, column, current, *target);
}

// The door count of a column from current to target: door rows added with
// free numbers or removed, and the count written, in one transaction.
MatrixEdit MatrixEditor::setDoors(int row, int column, int current, int target) {
    const std::optional<MatrixObject> obj = CurrentMatrixObject();
    const QString field = MatrSwitchColumnName(column);
    if (!obj || (target == current && matrixCell(row, field) == QString::number(target))) return {};
    const QString table = MatrTableName(obj->idNet);
    const QString countRow = rowName(row);
    QSqlDatabase db = FDM->ConnectionDB();
    int reached = qMin(current, target);
    bool full = false;  // told once the write has ended
    auto work = [&](QString* error) {
        QSqlQuery q(db);
        QList<QString> numbers = panelNumbers();
        for (int d = current + 1; d <= target; ++d) {
            const QString name = EntrancePanelName(Globals().nmBVp, column, d);
            if (!rowExists(name)) {
                const std::optional<int> n =
                    MatrixRules::FindFreePanelNumber(numbers, Globals().MaxDevice);
                if (!n) {
                    full = true;
                    break;
                }
                secret_ = *n;
                numbers << IntToStrZ(*n, 2);
                if (!ExecInsert(q,
                                QStringLiteral("INSERT INTO ") + table +
                                    QStringLiteral(" (name, sys_n, ") + field +
                                    QStringLiteral(") VALUES (?, ?, '+')"),
                                {name, IntToStrZ(*n, 2)}, error))
                    return false;
            }
            reached = d;
        }
        for (int d = target + 1; d <= current; ++d)
            if (!ExecBound(q,
                           QStringLiteral("DELETE FROM ") + table + QStringLiteral(" WHERE name=?"),
                           {EntrancePanelName(Globals().nmBVp, column, d)}, error))
                return false;
        return ExecBound(q, updateCell(table, field), {QString::number(reached), countRow}, error);
    };
    const bool ok = WriteInOneTransaction(QStringLiteral("Матрица не изменена."), work);
    if (full) tooManyPanels();
    matrix()->Reopen();
    if (!ok || reached == current) return {false, true};
    markEdited();
    return {true, true};
}

// ---- gates and numbers -----------------------------------------------------------------

std::optional<int> MatrixEditor::FindFreePanelNumber() {
    secret_ = 0;
    if (!matrixRead()) return std::nullopt;
    const std::optional<int> n =
        MatrixRules::FindFreePanelNumber(panelNumbers(), Globals().MaxDevice);
    if (!n) {
        tooManyPanels();
        return std::nullopt;
    }
    secret_ = *n;
    return n;
}

namespace {

// One gate row with "+" in every switch column, and the object's v_kal. The
// gates are counted as the file holds them, gates another copy of the
// program added included.
bool addGate(QSqlDatabase db, const MatrixObject& obj, int number, QString* error) {
    QSqlQuery q(db);
    QVariant stored, held;
    if (!SiteData::QueryValue(q, QStringLiteral("SELECT v_kal FROM k_net WHERE id_net=?"),
                              {obj.idNet}, &stored, error))
        return false;
    const int gates = stored.toInt() + 1;
    const QString name = GatePanelName(Globals().nmBVk, gates);
    if (!SiteData::QueryValue(q,
                              QStringLiteral("SELECT 1 FROM ") + MatrTableName(obj.idNet) +
                                  QStringLiteral(" WHERE name=?"),
                              {name}, &held, error))
        return false;
    QStringList columns{kName, kSysN};
    QVariantList values{name, IntToStrZ(number, 2)};
    for (int k : switchColumns()) {
        columns << MatrSwitchColumnName(k);
        values << QStringLiteral("+");
    }
    QStringList marks;
    for (int m = 0; m < columns.size(); ++m) marks << QStringLiteral("?");
    // A row of that name left over is taken as the gate's row.
    return (!held.isNull() ||
            ExecInsert(q,
                       QStringLiteral("INSERT INTO ") + MatrTableName(obj.idNet) +
                           QStringLiteral(" (") + columns.join(QStringLiteral(", ")) +
                           QStringLiteral(") VALUES (") + marks.join(QStringLiteral(", ")) +
                           QLatin1Char(')'),
                       values, error)) &&
           ExecBound(q, QStringLiteral("UPDATE k_net SET v_kal=? WHERE id_net=?"),
                     {gates, obj.idNet}, error) &&
           // The new gate reaches m_bv with the next save: until then the
           // matrix counts as edited, so that leaving the screen asks to save.
           ObjectState::Apply(db, obj.idNet, ObjectState::AfterMatrixCellEdited, error);
}

}  // namespace

int MatrixEditor::AddGates(int count) {
    int added = 0;
    for (int i = 0; i < count; ++i) {
        const std::optional<MatrixObject> obj = CurrentMatrixObject();
        if (!obj || !matrixRead()) break;
        const std::optional<int> number = FindFreePanelNumber();
        if (!number) break;
        QSqlDatabase db = FDM->ConnectionDB();
        const bool ok =
            WriteInOneTransaction(QStringLiteral("Калитка не добавлена."),
                                  [&](QString* e) { return addGate(db, *obj, *number, e); });
        refreshAfterWrite(obj->idNet);
        if (!ok) break;
        ++added;
    }
    return added;
}

bool MatrixEditor::RenumberCallBlocks(int start) {
    const std::optional<MatrixObject> obj = CurrentMatrixObject();
    if (!obj || !matrixRead()) return false;
    QSqlDatabase db = FDM->ConnectionDB();
    const QString table = MatrTableName(obj->idNet);
    auto work = [&](QString* error) {
        int number = start;
        for (int row = 0; row < matrix()->RecordCount(); ++row) {
            if (!IsPanelRow(rowName(row))) continue;
            if (!renumberPanel(db, obj->idNet, table, row, number, error)) return false;
            number = nextNumber(number);
        }
        return true;
    };
    const bool ok =
        WriteInOneTransaction(QStringLiteral("Нумерация блоков вызова не изменена."), work);
    matrix()->Reopen();
    FDM->Q_mbv->Reopen();
    FDM->ReopenCallBlocks();
    return ok;
}

bool MatrixEditor::RenumberSwitches(int start) {
    const std::optional<MatrixObject> obj = CurrentMatrixObject();
    if (!obj || !matrixRead()) return false;
    int row = -1;
    for (int r = 0; r < matrix()->RecordCount() && row < 0; ++r)
        if (HeaderRowOf(rowName(r)) == 4) row = r;
    if (row < 0) return false;
    QSqlDatabase db = FDM->ConnectionDB();
    const QString table = MatrTableName(obj->idNet);
    auto work = [&](QString* error) {
        QSqlQuery q(db);
        int number = start;
        for (int k : switchColumns()) {
            if (!ExecBound(q, updateCell(table, MatrSwitchColumnName(k)),
                           {IntToStrZ(number, 2), rowName(row)}, error) ||
                !renumberSwitch(db, obj->idNet, k, number, error))
                return false;
            number = nextNumber(number);
        }
        return true;
    };
    const bool ok =
        WriteInOneTransaction(QStringLiteral("Нумерация коммутаторов не изменена."), work);
    matrix()->Reopen();
    FDM->Q_mpk->Reopen();
    FDM->ReopenSwitches();
    return ok;
}

// ---- checks and save ---------------------------------------------------------------------

NumberCheck MatrixEditor::CheckCallBlockNumbers() const {
    if (!matrixRead()) return {};
    QList<MatrixRowNumbers> rows;
    for (int r = 0; r < matrix()->RecordCount(); ++r)
        rows.append({rowName(r), matrixCell(r, kSysN)});
    return MatrixRules::CheckCallBlockNumbers(rows, Globals().MaxDevice);
}

NumberCheck MatrixEditor::CheckSwitchNumbers() const {
    // The row at the position of the last header row.
    const int row = Globals().Shapka - 1;
    if (!validRow(row)) return {};
    QList<QString> cells;
    for (int k : switchColumns()) cells.append(matrixCell(row, MatrSwitchColumnName(k)));
    return MatrixRules::CheckSwitchNumbers(rowName(row), cells, Globals().MaxDevice);
}

bool MatrixEditor::SaveMatrix(const HeldRows& held) {
    if (!matrixRead()) return false;
    NumberCheck check = CheckCallBlockNumbers();
    if (check.result == '2') {
        Dialogs::Message(MatrixTexts::kError, MatrixTexts::kPanelNumberRepeated, DlgButtons::Ok,
                         DlgIcon::Error);
        return false;
    }
    if (check.result == '0') {
        check = CheckSwitchNumbers();
        if (check.result == '2')
            Dialogs::Message(MatrixTexts::kError, MatrixTexts::kSwitchNumberRepeated,
                             DlgButtons::Ok, DlgIcon::Error);
    }
    if (check.result == '1')
        Dialogs::Message(MatrixTexts::kErrorExcl, check.message, DlgButtons::Ok, DlgIcon::Error);
    if (check.result != '0') return false;
    AccessMatrix access;
    const bool saved = access.BtnSaveClick(held) && access.VvodObjClick(held);
    // A matrix closed by the save opens on its first row anyway.
    if (matrix()->IsOpen()) matrix()->First();
    return saved;
}
