#include "site/SiteData.h"

#include "foundation/BoundSql.h"
#include "foundation/CountLimits.h"
#include "foundation/HeldRows.h"
#include "foundation/TFDM.h"
#include "platform/Dialogs.h"
#include "site/ObjectState.h"

namespace SiteData {

bool HasCurrentRow(const Dataset* ds) {
    return ds && ds->RecNo() > 0;
}

qint64 CurrentObjectId() {
    if (!FDM || !HasCurrentRow(FDM->Q_Net)) return 0;
    return FDM->Q_Net->FieldByName(QStringLiteral("id_net")).AsLargeInt();
}

bool QueryValue(QSqlQuery& q, const QString& sql, const QVariantList& values, QVariant* out,
                QString* error) {
    if (!ExecBound(q, sql, values, error)) return false;
    *out = q.next() ? q.value(0) : QVariant();
    q.finish();
    return true;
}

QString TextOf(const QVariant& v) {
    return v.isNull() ? QString() : v.toString();
}

bool MoveStateAfterApartments(qint64 idNet, QString* error) {
    return ObjectState::Apply(FDM->ConnectionDB(), idNet, ObjectState::AfterApartmentsChanged,
                              error);
}

QString ApartmentCountBeyond(bool more) {
    return more ? QStringLiteral("В подъезде не может быть больше %1 квартир.")
                      .arg(CountLimits::kMaxApartmentNumber)
                : QStringLiteral("Количество квартир подъезда не может быть меньше %1.")
                      .arg(CountLimits::kLeastApartmentValue);
}

bool CountApartment(QSqlQuery& q, qint64 idPod, int change, QString* error) {
    QVariant count;
    if (!QueryValue(q, QStringLiteral("SELECT COALESCE(v_kvr, 0) FROM k_pod WHERE id_pod=?"),
                    {idPod}, &count, error))
        return false;
    const qint64 next = count.toLongLong() + change;
    if (!count.isNull() &&
        (next > CountLimits::kMaxApartmentNumber || next < CountLimits::kLeastApartmentValue)) {
        if (error) *error = ApartmentCountBeyond(change > 0);
        return false;
    }
    return ExecBound(q,
                     QStringLiteral("UPDATE k_pod SET v_kvr=COALESCE(v_kvr, 0)+? WHERE id_pod=?"),
                     {change, idPod}, error);
}

QString HighestTerminalPlusOne() {
    // The terminal as CountLimits::Terminal takes it: a text as 0, a number
    // beyond the terminals a switch counts at the nearer end.
    return QStringLiteral(
               "(SELECT MAX(0, MIN(COALESCE(MAX(CAST(p_pk AS INTEGER)), 0), %1))+1 FROM k_kvr "
               "WHERE id_pod=?)")
        .arg(CountLimits::kMaxTerminals);
}

QString RowsPlusOne() {
    return QStringLiteral("(SELECT COUNT(*)+1 FROM k_kvr WHERE id_pod=?)");
}

bool ReadObjectDefaults(QSqlQuery& q, qint64 idNet, ObjectDefaults* out, QString* error) {
    if (!ExecBound(q,
                   QStringLiteral("SELECT v_key, l_obv, flbv, flpo, p_kvr FROM k_net "
                                  "WHERE id_net=?"),
                   {idNet}, error))
        return false;
    if (q.next())
        *out = {q.value(0).toInt(), q.value(1).toInt() != 0, q.value(2).toString(),
                q.value(3).toString(), q.value(4).toString()};
    q.finish();
    return true;
}

void ShowFailure(const QString& what, const QString& reason) {
    Dialogs::Message(QStringLiteral("Ошибка"), what + QLatin1Char('\n') + reason, DlgButtons::Ok,
                     DlgIcon::Error);
}

bool PostCurrentRow(Dataset* ds, const QString& what) {
    if (ds->Post()) return true;
    const QString reason = ds->LastError();
    ds->Cancel();
    ShowFailure(what, reason);
    return false;
}

bool PostCurrentRow(const HeldRows& held, Dataset* ds, const QString& what) {
    QString error;
    const HeldRows::Outcome outcome = held.Write(
        [ds](QString* e) {
            if (ds->Post()) return true;
            *e = ds->LastError();
            return false;
        },
        &error);
    if (outcome == HeldRows::Outcome::Written) return true;
    // A post whose commit failed shows a row the file lacks: it is read anew.
    if (ds->State() == DsState::Edit || ds->State() == DsState::Insert)
        ds->Cancel();
    else
        ds->Reopen();
    if (outcome == HeldRows::Outcome::Failed) ShowFailure(what, error);
    return false;
}

bool EndWrite(SqlTransaction& tr, bool ok, const QString& what, const QString& error) {
    if (ok && tr.Commit()) return true;
    const QString reason = error.isEmpty() ? tr.LastError() : error;
    tr.Rollback();
    ShowFailure(what, reason);
    return false;
}

bool WriteInOneTransaction(const QString& what, const std::function<bool(QString*)>& work) {
    return WriteInOneTransaction(HeldRows(), what, work);
}

bool WriteInOneTransaction(const HeldRows& held, const QString& what,
                           const std::function<bool(QString*)>& work) {
    QString error;
    const HeldRows::Outcome outcome = held.Write(work, &error);
    // A refusal was told; a failure is told here, after the undo.
    if (outcome == HeldRows::Outcome::Failed) ShowFailure(what, error);
    return outcome == HeldRows::Outcome::Written;
}

void ReopenOnSameRow(Dataset* ds, const QString& keyField) {
    if (!ds || !ds->IsOpen()) return;
    const int recNo = ds->RecNo();
    const QVariant key = recNo > 0 ? ds->FieldByName(keyField).Value() : QVariant();
    // The detail datasets follow once, on the row it ends on.
    ds->DisableControls();
    ds->Close();
    if (ds->Open() && (key.isNull() || !ds->Locate(keyField, key))) ds->SetRecNo(recNo);
    ds->EnableControls();
}

namespace {
// The place kept across the reopen: a list not read yet is read with the
// object, and reading it here first would read it twice.
QVariant currentValue(Dataset* ds, const QString& field) {
    return ds->IsOpen() && HasCurrentRow(ds) ? ds->FieldByName(field).Value() : QVariant();
}
}  // namespace

void ReopenObjectKeepingPlace() {
    if (!FDM) return;
    const QString domKey = QStringLiteral("id_dom");
    const QString podKey = QStringLiteral("id_pod");
    const QVariant house = currentValue(FDM->Q_Dom, domKey);
    const QVariant entrance = currentValue(FDM->Q_DPd, podKey);
    ReopenOnSameRow(FDM->Q_Net, QStringLiteral("id_net"));
    if (!house.isNull()) FDM->Q_Dom->Locate(domKey, house);
    if (!entrance.isNull()) FDM->Q_DPd->Locate(podKey, entrance);
}

}  // namespace SiteData
