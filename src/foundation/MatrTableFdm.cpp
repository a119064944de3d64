// The matrix-table operations as the data module runs them: on the current
// object of Q_Net, keeping Q_Net and Q_Matr in step with what was written.

#include "foundation/BoundSql.h"
#include "foundation/Globals.h"
#include "foundation/MatrTable.h"
#include "foundation/TFDM.h"
#include "platform/Dialogs.h"

#include <QSqlQuery>
#include <QVariant>

namespace {

QString g_error;          // reason of the last failed open or refill inside it
bool g_reported = false;  // g_error already shown to the operator

struct CurrentObject {
    qint64 idNet = 0;
    int vPod = 0;
    QString state;
};

bool ReadCurrentObject(CurrentObject* out) {
    if (!FDM || FDM->Q_Net->IsEmpty()) return false;
    out->idNet = FDM->Q_Net->FieldByName(QStringLiteral("id_net")).AsLargeInt();
    out->vPod = FDM->Q_Net->FieldByName(QStringLiteral("v_pod")).AsInt();
    out->state = FDM->Q_Net->FieldByName(QStringLiteral("st_net")).AsString();
    return true;
}

// Q_Net shows k_net as read; after a write to the object's row it is read again.
void RefreshObjects(const MatrResult& r) {
    if (r.objectChanged && FDM->Q_Net->IsOpen()) FDM->Q_Net->Reopen();
}

bool HasHouses(qint64 idNet) {
    QSqlQuery q(FDM->ConnectionDB());
    QString error;
    return ExecBound(q, QStringLiteral("SELECT 1 FROM k_dom WHERE id_net=? LIMIT 1"), {idNet},
                     &error) &&
           q.next();
}

bool MatrFdmFailed(const QString& error) {
    g_error = error;
    g_reported = false;
    return false;
}

}  // namespace

bool CreateMatrTable(const QString& name) {
    CurrentObject obj;
    if (!ReadCurrentObject(&obj)) return false;
    FDM->Q_Matr->Close();
    const MatrResult r = CreateMatrTable(FDM->ConnectionDB(), obj.idNet, name);
    if (!r.ok) return MatrFdmFailed(r.error);
    RefreshObjects(r);
    return true;
}

bool RebuildMatrTable() {
    CurrentObject obj;
    if (!ReadCurrentObject(&obj)) return false;
    // The matrix screen refills the table right after opening it; a grid
    // that showed the table shows the new rows (or the kept ones) afterwards.
    const bool wasShown = FDM->Q_Matr->IsOpen();
    FDM->Q_Matr->Close();
    const MatrResult r = RebuildMatrTable(FDM->ConnectionDB(), obj.idNet, Globals().nmBVk);
    if (wasShown) FDM->Q_Matr->Open();
    if (!r.ok) {
        MatrFdmFailed(r.error);
        ReportMatrTableError();
        return false;
    }
    RefreshObjects(r);
    return true;
}

bool OpenMatrTable() {
    g_error.clear();
    CurrentObject obj;
    if (!ReadCurrentObject(&obj) || !HasHouses(obj.idNet)) return false;
    QSqlDatabase db = FDM->ConnectionDB();
    const QString name = MatrTableName(obj.idNet);

    FDM->Q_Matr->Close();
    const bool exists = MatrTableExists(db, name);
    if (obj.state == kMatrStateEmpty || !exists) {
        const MatrResult created = CreateMatrTable(db, obj.idNet, name);
        if (!created.ok) return MatrFdmFailed(created.error);
        // A table of an object past "пусто" that had gone missing is filled
        // from the saved matrix; a refused refill leaves it empty but usable.
        MatrResult filled{true, {}, false};
        if (!exists && obj.state != kMatrStateEmpty) {
            filled = RebuildMatrTable(db, obj.idNet, Globals().nmBVk);
            if (!filled.ok) MatrFdmFailed(filled.error);
        }
        RefreshObjects({true, {}, created.objectChanged || filled.objectChanged});
    }

    const MatrResult named = AddMatrNameColumn(db, name, QStringLiteral("VARCHAR(30)"));
    if (!named.ok) return MatrFdmFailed(named.error);
    FDM->Q_Matr->SetSql(MatrSelectSql(name, obj.vPod));
    FDM->Q_Matr->SetUpdateTable(name, QStringLiteral("name"));
    if (!FDM->Q_Matr->Open()) return MatrFdmFailed(FDM->Q_Matr->LastError());
    return true;
}

void FollowSavedMatrix() {
    CurrentObject obj;
    if (!ReadCurrentObject(&obj)) return;
    const bool wasShown = FDM->Q_Matr->IsOpen();
    FDM->Q_Matr->Close();
    const MatrResult r = FollowSavedMatrix(FDM->ConnectionDB(), obj.idNet, Globals().nmBVk);
    if (wasShown) FDM->Q_Matr->Open();
    if (!r.ok) MatrFdmFailed(r.error);
    RefreshObjects(r);
}

QString MatrTableError() {
    return g_error;
}

bool ReportMatrTableError() {
    if (g_error.isEmpty() || g_reported) return false;
    g_reported = true;
    Dialogs::Error(QStringLiteral("Ошибка"), QStringLiteral("Ошибка матрицы!\n") + g_error);
    return true;
}

void InstallMatrTableHook() {
    FDM->SetOpenMatrTableHook([](QString*) {
        OpenMatrTable();
        return true;
    });
}
